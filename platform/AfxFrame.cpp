// The frame: the main window with its menu bar, the view as its client area, and command routing
// view -> document -> frame -> application.

#include "platform/AfxInternal.h"
#include "platform/AfxPlacement.h"

#include <QApplication>
#include <QIcon>
#include <QMainWindow>

CFrameWnd::CFrameWnd() = default;

CFrameWnd::~CFrameWnd() {
    if (m_frameWidget && m_view && m_view->Widget() && m_view->Widget()->parent() == m_frameWidget.get()) {
        // The view deletes its own widget; take it out of the window first.
        m_view->Widget()->setParent(nullptr);
    }
    m_widget = nullptr;
}

QMainWindow* CFrameWnd::MainWindow() const {
    return m_frameWidget.get();
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs) {
    if (cs.style == 0)
        cs.style = WS_CAPTION | FWS_ADDTOTITLE;
    return TRUE;
}

BOOL CFrameWnd::LoadFrame(UINT resourceId, CView* view, CDocument* doc) {
    CREATESTRUCT cs;
    if (!PreCreateWindow(cs))
        return FALSE;
    m_style = cs.style;
    m_frameWidget = std::make_unique<QMainWindow>();
    m_widget = m_frameWidget.get();

    const bool caption = (m_style & WS_CAPTION) == WS_CAPTION;
    m_frameWidget->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint |
                                  (caption ? Qt::WindowTitleHint : Qt::WindowFlags()));
    if (m_style & WS_MAXIMIZE)
        m_keeper = new CWorkAreaKeeper(m_frameWidget.get(), caption, [this] { RouteCommand(ID_APP_EXIT); });

    AfxInstallMenuAndAccelerators(m_frameWidget.get(), this, resourceId);
    // The frame's icon shares the resource id of its menu, as the window system expects.
    const QIcon icon(QString(":/res/icon/%1.png").arg(resourceId));
    if (!icon.availableSizes().isEmpty()) {
        m_frameWidget->setWindowIcon(icon);
        QApplication::setWindowIcon(icon);
    }

    if (view) {
        m_view = view;
        m_frameWidget->setCentralWidget(view->ViewWidget());
        view->ViewWidget()->setFocus(Qt::OtherFocusReason);
        if (doc)
            doc->AddView(view);
    }
    if (m_style & FWS_ADDTOTITLE) {
        CString title = "Untitled";
        CWinApp* app = AfxGetApp();
        if (app && !app->m_pszAppName.IsEmpty())
            title += CString(" - ") + app->m_pszAppName;
        m_frameWidget->setWindowTitle(AfxTextToQt(title.GetString()));
    }
    return TRUE;
}

BOOL CFrameWnd::ShowWindow(int cmd) {
    if (!m_frameWidget)
        return FALSE;
    BOOL was = m_frameWidget->isVisible();
    if (m_keeper)
        m_keeper->Show();
    else if (cmd == SW_SHOWMAXIMIZED)
        m_frameWidget->showMaximized();
    else
        m_frameWidget->show();
    if (m_view && m_view->Widget())
        m_view->Widget()->setFocus(Qt::OtherFocusReason);
    // Where no window manager gives the new window the keyboard, it takes it as it does after a
    // menu or dialog: a screen reader reads only an active window (Orca 48 ignores the rest).
    AfxFocusMainView();
    return was;
}

void CFrameWnd::UpdateWindow() {
    if (m_view)
        m_view->UpdateWindow();
}

BOOL CFrameWnd::OnCmdMsg(UINT id, CCmdUI* updateOrNull) {
    if (m_view && m_view->OnCmdMsg(id, updateOrNull))
        return TRUE;
    if (DispatchOwn(id, updateOrNull))
        return TRUE;
    CWinApp* app = AfxGetApp();
    return app ? app->OnCmdMsg(id, updateOrNull) : FALSE;
}

BOOL CFrameWnd::QueryCommandEnabled(UINT id) {
    CCmdUI ui(id);
    OnCmdMsg(id, &ui); // no handler anywhere: stays enabled and does nothing when chosen
    return ui.m_bEnabled;
}

BOOL CFrameWnd::RouteCommand(UINT id) {
    if (!QueryCommandEnabled(id))
        return FALSE;
    const BOOL handled = OnCmdMsg(id, nullptr);
    if (m_view)
        m_view->NotifyAccessibleChanges();
    return handled;
}

QWidget* AfxMainWidget() {
    CWnd* main = AfxGetMainWnd();
    return main ? main->Widget() : nullptr;
}
