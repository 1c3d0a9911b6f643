#include "shell/MainFrame.h"

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs) {
    if (!CFrameWnd::PreCreateWindow(cs)) {
        return FALSE;
    }
    // A caption but no system menu and no caption buttons, no sizing border; it starts
    // maximised and only File > Exit closes it.
    cs.style = WS_MAXIMIZE | WS_CAPTION | FWS_ADDTOTITLE;
    return TRUE;
}
