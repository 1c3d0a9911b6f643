// The document and the single-document template that makes document, frame and view.

#include "platform/AfxInternal.h"

#include <algorithm>

CDocument::CDocument() {
    OnCommand(ID_FILE_SAVE, [this] { DoFileSave(); });
}

CDocument::~CDocument() {
    for (CView* v : m_views)
        v->SetDocument(nullptr);
}

BOOL CDocument::OnNewDocument() {
    return TRUE;
}

BOOL CDocument::DoFileSave() {
    CModalCover cover;
    int result = IDCANCEL;
    if (!AfxCallModalHook("filesave", nullptr, "All Files (*.*)", &result)) {
        QString name = AfxFileDialog(true);
        result = name.isEmpty() ? IDCANCEL : IDOK;
    }
    // The document holds nothing of the game, so nothing is written.
    return result == IDOK;
}

BOOL CDocument::OnCmdMsg(UINT id, CCmdUI* updateOrNull) {
    return DispatchOwn(id, updateOrNull);
}

void CDocument::AddView(CView* view) {
    if (view && std::find(m_views.begin(), m_views.end(), view) == m_views.end()) {
        m_views.push_back(view);
        view->SetDocument(this);
    }
}

void CDocument::RemoveView(CView* view) {
    auto it = std::find(m_views.begin(), m_views.end(), view);
    if (it != m_views.end()) {
        m_views.erase(it);
        view->SetDocument(nullptr);
    }
}

// ---------------------------------------------------------------------------------------------

CSingleDocTemplate::~CSingleDocTemplate() {
    // The frame first: it takes the view's widget (which the view owns) out of its window
    // while the view still exists. Then the view, then the document its destructor leaves.
    delete m_frame;
    delete m_view;
    delete m_doc;
}

CDocument* CSingleDocTemplate::OpenDocumentFile(const char*) {
    if (!m_doc) {
        m_doc = m_makeDoc();
        m_frame = m_makeFrame();
        m_view = m_makeView();
        if (!m_doc || !m_frame || !m_view || !m_frame->LoadFrame(m_resourceId, m_view, m_doc))
            return nullptr;
    }
    // A new document in the one window: the document starts again and the view repaints.
    if (!m_doc->OnNewDocument())
        return nullptr;
    m_view->Invalidate();
    return m_doc;
}
