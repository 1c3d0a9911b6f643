#pragma once
// The document: the game keeps no files, so it holds nothing.

#include "platform/Afx.h"

class CQuillmoorDoc : public CDocument {
  public:
    BOOL OnNewDocument() override;
    void Serialize(CArchive& ar) override;
};
