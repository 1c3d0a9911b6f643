#include "shell/QuillmoorApp.h"

#include "common/MenuIds.h"
#include "common/SoundCues.h"
#include "screen/QuillmoorView.h"
#include "shell/MainFrame.h"

CQuillmoorApp::CQuillmoorApp() : CWinApp("Cellwright") {
    OnCommand(ID_APP_ABOUT, &CQuillmoorApp::OnAppAbout);
}

// The game stores no settings and opens no files: it starts with a new, empty document, which
// holds nothing of the game.
BOOL CQuillmoorApp::InitInstance() {
    RegisterAppResources();
    AddDocTemplate(CSingleDocTemplate::Create<CDocument, CMainFrame, CQuillmoorView>(IDR_MAINFRAME));
    if (!OnFileNew()) {
        return FALSE;
    }
    m_pMainWnd->ShowWindow(SW_SHOWMAXIMIZED);
    m_pMainWnd->UpdateWindow();
    NameSoundCues();
    return TRUE;
}

void CQuillmoorApp::OnAppAbout() {
    CDialog about(IDD_ABOUTBOX);
    about.DoModal();
}
