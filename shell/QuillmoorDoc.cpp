#include "shell/QuillmoorDoc.h"

BOOL CQuillmoorDoc::OnNewDocument() {
    return CDocument::OnNewDocument();
}

void CQuillmoorDoc::Serialize(CArchive&) {
    // Nothing of the game is read or written.
}
