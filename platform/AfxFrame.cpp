#include "platform/AfxInternal.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>

// The frame's window: a QMainWindow with a menu bar and the view as its central widget. The
// accelerator table is translated here, before the focus widget sees the key, as Win32's
// TranslateAccelerator does; update handlers run first and a disabled command does not fire.
class CFrameWidget : public QMainWindow {
  public:
    explicit CFrameWidget(CFrameWnd* frame) : m_frame(frame) { qApp->installEventFilter(this); }
    ~CFrameWidget() override {
        if (qApp)
            qApp->removeEventFilter(this);
    }

    void BuildMenu(const CMenuTemplate& menu) {
        for (const CMenuPopup& popup : menu) {
            QMenu* m = menuBar()->addMenu(QString::fromLatin1(popup.text ? popup.text : ""));
            // Separators show where the menu puts them, also one that opens the menu.
            m->setSeparatorsCollapsible(false);
            for (const CMenuEntry& item : popup.items) {
                if (!item.text) {
                    m->addSeparator();
                    continue;
                }
                QAction* a = m->addAction(QString::fromLatin1(item.text));
                const UINT id = item.id;
                a->setData(id);
                QObject::connect(a, &QAction::triggered, [this, id] { m_frame->RouteCommand(id); });
            }
            QObject::connect(m, &QMenu::aboutToShow, [this, m] { UpdateMenu(m); });
        }
    }

    void UpdateMenu(QMenu* menu) {
        for (QAction* a : menu->actions()) {
            if (a->isSeparator() || !a->data().isValid())
                continue;
            int check = 0;
            a->setEnabled(m_frame->QueryCommandEnabled(a->data().toUInt(), &check) != 0);
            a->setCheckable(check != 0);
            a->setChecked(check == 1);
        }
    }

    CAccelTable m_accels;
    bool m_lockSize = false;

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() != QEvent::KeyPress || m_accels.empty())
            return false;
        auto* w = qobject_cast<QWidget*>(watched);
        if (!w || w->window() != this || QApplication::activePopupWidget() ||
            QApplication::activeModalWidget())
            return false;
        auto* k = static_cast<QKeyEvent*>(e);
        UINT vk = AfxVirtualKeyFromQt(k);
        if (vk == 0)
            return false;
        UINT mods = 0;
        if (k->modifiers() & Qt::ShiftModifier)
            mods |= FSHIFT;
        if (k->modifiers() & Qt::ControlModifier)
            mods |= FCONTROL;
        if (k->modifiers() & Qt::AltModifier)
            mods |= FALT;
        for (const CAccelEntry& a : m_accels) {
            if (a.key == vk && (a.modifiers & (FSHIFT | FCONTROL | FALT)) == mods) {
                m_frame->RouteCommand(a.id);
                return true;
            }
        }
        return false;
    }

    void resizeEvent(QResizeEvent* e) override {
        QMainWindow::resizeEvent(e);
        // Not resizable by the user: once shown at its size the window keeps it.
        if (m_lockSize && isVisible())
            setFixedSize(size());
    }

  private:
    CFrameWnd* m_frame;
};

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
        cs.style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE;
    return TRUE;
}

BOOL CFrameWnd::LoadFrame(UINT resourceId, CView* view, CDocument* doc) {
    CREATESTRUCT cs;
    if (!PreCreateWindow(cs))
        return FALSE;
    if (view) {
        CREATESTRUCT vcs;
        if (!view->PreCreateWindow(vcs))
            return FALSE;
    }
    m_style = cs.style;
    m_frameWidget = std::make_unique<CFrameWidget>(this);
    m_widget = m_frameWidget.get();

    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint;
    if ((m_style & WS_CAPTION) == WS_CAPTION)
        flags |= Qt::WindowTitleHint;
    if (m_style & WS_SYSMENU)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (m_style & WS_MINIMIZEBOX)
        flags |= Qt::WindowMinimizeButtonHint;
    if (m_style & WS_MAXIMIZEBOX)
        flags |= Qt::WindowMaximizeButtonHint;
    m_frameWidget->setWindowFlags(flags);
    m_frameWidget->m_lockSize = !(m_style & WS_THICKFRAME);

    if (const CMenuTemplate* menu = AfxFindMenu(resourceId))
        m_frameWidget->BuildMenu(*menu);
    if (const CAccelTable* accels = AfxFindAccelerators(resourceId))
        m_frameWidget->m_accels = *accels;
    // The frame's icon shares the resource id of its menu, as the window system expects.
    const QIcon icon(QString(":/res/icon/%1.png").arg(resourceId));
    if (!icon.availableSizes().isEmpty()) {
        m_frameWidget->setWindowIcon(icon);
        QApplication::setWindowIcon(icon);
    }

    if (view) {
        m_view = view;
        view->SetParentWnd(this);
        m_frameWidget->setCentralWidget(view->ViewWidget());
        view->ViewWidget()->setFocus(Qt::OtherFocusReason);
        if (doc)
            doc->AddView(view);
    }
    if (cs.lpszName) {
        m_frameWidget->setWindowTitle(QString::fromLatin1(cs.lpszName));
    } else if (m_style & FWS_ADDTOTITLE) {
        CString title = doc ? doc->GetTitle() : CString("Untitled");
        CWinApp* app = AfxGetApp();
        if (app && !app->m_pszAppName.IsEmpty())
            title += CString(" - ") + app->m_pszAppName;
        m_frameWidget->setWindowTitle(QString::fromLatin1(title.GetString()));
    }
    return TRUE;
}

BOOL CFrameWnd::ShowWindow(int cmd) {
    if (!m_frameWidget)
        return FALSE;
    BOOL was = m_frameWidget->isVisible();
    if (cmd == SW_HIDE) {
        m_frameWidget->hide();
        return was;
    }
    if (cmd == SW_SHOWMAXIMIZED || (m_style & WS_MAXIMIZE)) {
        // Without a window manager nobody acts on "maximised": cover the available area first.
        if (QScreen* screen = QGuiApplication::primaryScreen())
            m_frameWidget->setGeometry(screen->availableGeometry());
        m_frameWidget->showMaximized();
    } else {
        m_frameWidget->show();
    }
    if (m_view && m_view->Widget())
        m_view->Widget()->setFocus(Qt::OtherFocusReason);
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

BOOL CFrameWnd::QueryCommandEnabled(UINT id, int* checkOrNull) {
    CCmdUI ui(id);
    OnCmdMsg(id, &ui); // no handler anywhere: stays enabled and does nothing when chosen
    if (checkOrNull)
        *checkOrNull = ui.m_nCheck;
    return ui.m_bEnabled;
}

BOOL CFrameWnd::RouteCommand(UINT id) {
    if (!QueryCommandEnabled(id))
        return FALSE;
    return OnCmdMsg(id, nullptr);
}

QWidget* AfxMainWidget() {
    CWnd* main = AfxGetMainWnd();
    return main ? main->Widget() : nullptr;
}
