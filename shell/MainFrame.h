#pragma once
// The main window: caption and menu bar, maximised, no tool or status bar.

#include "platform/Afx.h"

class CMainFrame : public CFrameWnd {
  public:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
};
