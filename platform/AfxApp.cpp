// The application object: start-up, the event loop, the framework's own commands (new document,
// open, print setup, exit) and the one printer.

#include "platform/AfxInternal.h"

#include <QApplication>
#include <QPageSetupDialog>
#include <QPrinter>

namespace {
CWinApp* g_app = nullptr;
}

CWinApp* AfxGetApp() {
    return g_app;
}
CFrameWnd* AfxGetMainWnd() {
    return g_app ? g_app->m_pMainWnd : nullptr;
}

CWinApp::CWinApp(const char* appName) : m_pszAppName(appName) {
    g_app = this;
    OnCommand(ID_FILE_NEW, [this] { OnFileNew(); });
    OnCommand(ID_FILE_OPEN, [this] { OnFileOpen(); });
    OnCommand(ID_FILE_PRINT_SETUP, [this] { OnFilePrintSetup(); });
    OnCommand(ID_APP_EXIT, [this] { OnAppExit(); });
}

CWinApp::~CWinApp() {
    DestroyDocuments();
    if (g_app == this)
        g_app = nullptr;
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

// The program ends with status 0 however its event loop ended.
int CWinApp::Run() {
    if (qApp)
        QApplication::exec();
    return 0;
}

BOOL CWinApp::OnCmdMsg(UINT id, CCmdUI* updateOrNull) {
    return DispatchOwn(id, updateOrNull);
}

void CWinApp::AddDocTemplate(CSingleDocTemplate* tmpl) {
    m_template.reset(tmpl);
}

BOOL CWinApp::OnFileNew() {
    if (!m_template || !m_template->OpenDocumentFile(nullptr))
        return FALSE;
    if (!m_pMainWnd)
        m_pMainWnd = m_template->Frame();
    return TRUE;
}

void CWinApp::OnFileOpen() {
    CModalCover cover;
    int result = IDCANCEL;
    if (!AfxCallModalHook("fileopen", nullptr, "All Files (*.*)", &result))
        AfxFileDialog(false);
    // The document keeps nothing, so there is nothing to read.
}

QPrinter* CWinApp::GetPrinter() {
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return m_printer.get();
}

void CWinApp::OnFilePrintSetup() {
    if (!qApp)
        return;
    CModalCover cover;
    QPageSetupDialog dialog(GetPrinter(), AfxMainWidget());
    int result = IDCANCEL;
    if (AfxCallModalHook("pagesetup", &dialog, "Print Setup", &result)) {
        // The dialog hands its choice to the printer only when exec() returns accepted: run it,
        // answered as the hook said before it can wait for anyone.
        QMetaObject::invokeMethod(
            &dialog, [&dialog, result] { result == IDOK ? dialog.accept() : dialog.reject(); },
            Qt::QueuedConnection);
        dialog.exec();
        return;
    }
    dialog.exec();
}

void CWinApp::OnAppExit() {
    if (m_pMainWnd && m_pMainWnd->Widget())
        m_pMainWnd->Widget()->close();
    QCoreApplication::quit();
}

void CWinApp::DestroyDocuments() {
    if (m_template) {
        m_pMainWnd = nullptr;
        m_template.reset();
    }
    m_printer.reset();
}

namespace {
// On a Wayland desktop the frame goes through the desktop's X11 compatibility server when there
// is one: there the desktop's window manager draws a caption with only the buttons the frame
// asks for and reports the maximised state, while Qt's own Wayland caption always carries
// minimise, maximise and close, and a minimised Wayland window may have no way back. A
// platform the player chose (QT_QPA_PLATFORM, -platform) is left alone.
void ChooseWindowSystem(int argc, char** argv) {
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return;
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "-platform") == 0 || qstrcmp(argv[i], "--platform") == 0)
            return;
    }
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}
} // namespace

int AfxWinMain(int argc, char** argv) {
    ChooseWindowSystem(argc, argv);
    static int s_argc = argc;
    QApplication app(s_argc, argv);
    CWinApp* winApp = AfxGetApp();
    if (!winApp)
        return 1;
    if (!winApp->InitInstance()) {
        winApp->DestroyDocuments();
        return 0;
    }
    int code = winApp->Run();
    winApp->DestroyDocuments();
    return code;
}
