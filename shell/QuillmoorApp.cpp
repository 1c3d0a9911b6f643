#include "shell/QuillmoorApp.h"

#include "common/MenuIds.h"
#include "common/SoundCues.h"
#include "screen/QuillmoorView.h"
#include "shell/AboutDialog.h"
#include "shell/MainFrame.h"
#include "shell/QuillmoorDoc.h"

CQuillmoorApp::CQuillmoorApp() : CWinApp("Cellwright") {
    OnCommand(ID_APP_ABOUT, &CQuillmoorApp::OnAppAbout);
}

BOOL CQuillmoorApp::InitInstance() {
    AfxEnableControlContainer();
    Enable3dControlsStatic();
    // The game stores no settings, so there is no profile to open.
    RegisterAppResources();

    AddDocTemplate(CSingleDocTemplate::Create<CQuillmoorDoc, CMainFrame, CQuillmoorView>(IDR_MAINFRAME));

    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    if (!ProcessShellCommand(cmdInfo)) {
        return FALSE;
    }
    m_pMainWnd->ShowWindow(SW_SHOWMAXIMIZED);
    m_pMainWnd->UpdateWindow();
    // After the first frame, which it would otherwise hold up while the sound server answers.
    PreloadSoundCues();
    return TRUE;
}

void CQuillmoorApp::OnAppAbout() {
    CAboutDialog about;
    about.DoModal();
}
