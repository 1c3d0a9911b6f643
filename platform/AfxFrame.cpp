#include "platform/AfxInternal.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QIcon>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>

#include "platform/AfxX11.h"

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
            QMenu* m = menuBar()->addMenu(AfxTextToQt(popup.text));
            // Separators show where the menu puts them, also one that opens the menu.
            m->setSeparatorsCollapsible(false);
            for (const CMenuEntry& item : popup.items) {
                if (!item.text) {
                    m->addSeparator();
                    continue;
                }
                // "Text\tShortcut": the shortcut is shown as the menu shows shortcuts and is what
                // assistive technologies read as the item's key, while the accelerator table keeps
                // firing it; the item's name is the text alone.
                const QString text = AfxTextToQt(item.text);
                const qsizetype tab = text.indexOf(QLatin1Char('\t'));
                QAction* a = m->addAction(tab < 0 ? text : text.left(tab));
                if (tab >= 0) {
                    a->setShortcut(QKeySequence(text.mid(tab + 1)));
                    a->setShortcutContext(Qt::WidgetShortcut);
                }
                const UINT id = item.id;
                a->setData(id);
                QObject::connect(a, &QAction::triggered, [this, id] {
                    m_frame->RouteCommand(id);
                    AfxFocusMainView(); // also when the menu was opened with the keyboard
                });
            }
            QObject::connect(m, &QMenu::aboutToShow, [this, m] { UpdateMenu(m); });
            // A menu closed without a choice (Escape, a click elsewhere) leaves the menu bar
            // holding the keyboard; the board gets it back, unless another menu opened instead.
            QObject::connect(m, &QMenu::aboutToHide, [] { AfxFocusMainView(); });
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

    // A maximised window without a sizing border keeps covering the work area: whatever a
    // window manager does to it (unmaximise, move, resize), it asks to be maximised again, and
    // where nobody maximises windows (a bare X server) it takes the work area itself. Minimised
    // it is left alone; restored, it comes back as it was.
    void KeepCoveringWorkArea(const CWindowManagerHints& hints) {
        m_coverWorkArea = true;
        m_hints = hints;
        m_coverTimer.setSingleShot(true);
        QObject::connect(&m_coverTimer, &QTimer::timeout, this, [this] { CoverWorkArea(); });
    }
    void WriteHints() { AfxWriteWindowManagerHints(this, m_hints); }
    void ShowCoveringWorkArea();
    bool CoversWorkArea();
    // The frame around the client area, as far as Qt knows it (none without a window manager).
    QMargins FrameMargins() const {
        const QRect outer = frameGeometry(), inner = geometry();
        return QMargins(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                        outer.bottom() - inner.bottom());
    }

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

    void changeEvent(QEvent* e) override {
        QMainWindow::changeEvent(e);
        if (e->type() == QEvent::WindowStateChange)
            ScheduleCover();
    }
    void moveEvent(QMoveEvent* e) override {
        QMainWindow::moveEvent(e);
        ScheduleCover();
    }
    void resizeEvent(QResizeEvent* e) override {
        QMainWindow::resizeEvent(e);
        ScheduleCover();
    }
    void showEvent(QShowEvent* e) override {
        QMainWindow::showEvent(e);
        if (m_coverWorkArea)
            WriteHints(); // mapping may have rewritten them
        ScheduleCover();
    }
    // A close button that a desktop shows anyway ends the program as File > Exit does.
    void closeEvent(QCloseEvent* e) override {
        if (!e->spontaneous() || !m_coverWorkArea) {
            QMainWindow::closeEvent(e);
            return;
        }
        e->ignore();
        QTimer::singleShot(0, this, [this] { m_frame->RouteCommand(ID_APP_EXIT); });
    }

  private:
    void ScheduleCover() {
        if (m_coverWorkArea && isVisible() && !m_coverTimer.isActive())
            m_coverTimer.start(kCoverDelayMs);
    }
    void CoverWorkArea();

    // Window managers send a burst of moves and resizes; the frame looks once they have settled.
    static constexpr int kCoverDelayMs = 100;
    static constexpr int kSettleMs = 250;
    // At most this many corrections a second, so a window manager that insists is not fought.
    static constexpr int kCoverBudget = 5;

    CFrameWnd* m_frame;
    bool m_coverWorkArea = false;
    CWindowManagerHints m_hints;
    QTimer m_coverTimer;
    QElapsedTimer m_budgetClock;
    int m_corrections = 0;
    bool m_askedToMaximize = false;
    bool m_uncovered = false; // found not covering at the last look
    QRect m_maximizedClient;  // the client area a window manager gave the maximised window
};

bool CFrameWidget::CoversWorkArea() {
    const QScreen* s = screen();
    if (!s)
        return true;
    // Where the window really is (Qt's record may hold a request that was not granted).
    const QRect client = AfxClientAreaOnScreen(this);
    if (client.marginsAdded(FrameMargins()) == s->availableGeometry())
        return true;
    // Maximised by a window manager, which knows the panels it keeps clear better than the
    // screen's work area says: the client area it gave, all of it on the screen. (The frame's
    // outline is no guide there: some managers count invisible shadows into it.) A client area
    // that changed afterwards while the state stayed (some managers let a program resize a
    // maximised window) is not the one it gave.
    if (!AfxWindowManagerMaximized(this) || !s->geometry().contains(client))
        return false;
    if (!m_maximizedClient.isValid() || m_askedToMaximize)
        m_maximizedClient = client;
    return client == m_maximizedClient;
}

void CFrameWidget::ShowCoveringWorkArea() {
    QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    const QRect work = s ? s->availableGeometry() : QRect();
    // Where nobody maximises windows or gives them a frame, the client area is the work area.
    // Elsewhere this is the size until the manager answers: the first paint may come first and
    // must not find a client area smaller than the work area allows.
    if (work.isValid() && !AfxWindowManagerRunning())
        setGeometry(work);
    else if (work.isValid())
        resize(work.size());
    showMaximized();
    WriteHints();
    if (s) {
        QObject::connect(s, &QScreen::availableGeometryChanged, this, [this] {
            m_maximizedClient = QRect(); // the window manager will give another
            ScheduleCover();
        });
    }
}

void CFrameWidget::CoverWorkArea() {
    if (!m_coverWorkArea || !isVisible() || isMinimized())
        return;
    if (CoversWorkArea()) {
        m_askedToMaximize = false;
        m_uncovered = false;
        return;
    }
    // Window managers pass through odd places on their way to where they put a window: act only
    // on what is still wrong a little later.
    if (!m_uncovered) {
        m_uncovered = true;
        m_coverTimer.start(kSettleMs);
        return;
    }
    m_uncovered = false;
    if (!m_budgetClock.isValid() || m_budgetClock.elapsed() > 1000) {
        m_budgetClock.start();
        m_corrections = 0;
    }
    if (++m_corrections > kCoverBudget) {
        m_coverTimer.start(1000); // look again later
        return;
    }
    if (AfxWindowManagerRunning() && !m_askedToMaximize) {
        // Ask to be maximised; the window manager's answer brings us back here. Maximised yet
        // partly off the screen (moved while maximised): leave the state and take it again,
        // which makes the window manager place the window anew.
        if (AfxWindowManagerMaximized(this))
            AfxAskToMaximize(this, false);
        AfxAskToMaximize(this);
        m_askedToMaximize = true;
    } else {
        // Asked and not answered: nobody maximises windows here, or this manager will not.
        // Take the work area by hand, frame included.
        setGeometry(screen()->availableGeometry().marginsRemoved(FrameMargins()));
        m_askedToMaximize = false;
    }
    m_coverTimer.start(kCoverDelayMs * 3);
}

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
    if ((m_style & WS_MAXIMIZE) && !(m_style & WS_THICKFRAME)) {
        CWindowManagerHints hints;
        hints.title = (m_style & WS_CAPTION) == WS_CAPTION;
        hints.systemMenu = hints.closeButton = (m_style & WS_SYSMENU) != 0;
        hints.minimizeButton = (m_style & WS_MINIMIZEBOX) != 0;
        hints.maximizeButton = (m_style & WS_MAXIMIZEBOX) != 0;
        m_frameWidget->KeepCoveringWorkArea(hints);
    }

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
        m_frameWidget->setWindowTitle(AfxTextToQt(cs.lpszName));
    } else if (m_style & FWS_ADDTOTITLE) {
        CString title = doc ? doc->GetTitle() : CString("Untitled");
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
    if (cmd == SW_HIDE) {
        m_frameWidget->hide();
        return was;
    }
    if (cmd == SW_SHOWMAXIMIZED || (m_style & WS_MAXIMIZE)) {
        m_frameWidget->ShowCoveringWorkArea();
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
    const BOOL handled = OnCmdMsg(id, nullptr);
    if (m_view)
        m_view->NotifyAccessibleChanges();
    return handled;
}

QWidget* AfxMainWidget() {
    CWnd* main = AfxGetMainWnd();
    return main ? main->Widget() : nullptr;
}
