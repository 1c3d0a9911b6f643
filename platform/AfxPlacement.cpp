#include "platform/AfxPlacement.h"

#include "platform/AfxX11.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {
// Window managers send a burst of moves and resizes; the frame looks once they have settled.
constexpr int kCoverDelayMs = 100;
constexpr int kSettleMs = 250;
// At most this many corrections a second, so a window manager that insists is not fought.
constexpr int kCoverBudget = 5;
} // namespace

CWorkAreaKeeper::CWorkAreaKeeper(QWidget* window, bool caption, std::function<void()> onClose)
    : QObject(window), m_window(window), m_caption(caption), m_onClose(std::move(onClose)) {
    m_coverTimer.setSingleShot(true);
    QObject::connect(&m_coverTimer, &QTimer::timeout, this, [this] { CoverWorkArea(); });
    window->installEventFilter(this);
}

bool CWorkAreaKeeper::eventFilter(QObject* watched, QEvent* e) {
    if (watched != m_window)
        return false;
    switch (e->type()) {
    case QEvent::Show:
        AfxWriteWindowManagerHints(m_window, m_caption); // mapping may have rewritten them
        ScheduleCover();
        break;
    case QEvent::WindowStateChange:
    case QEvent::Move:
    case QEvent::Resize:
        ScheduleCover();
        break;
    case QEvent::Close:
        if (e->spontaneous()) {
            e->ignore();
            QTimer::singleShot(0, this, [this] { m_onClose(); });
            return true;
        }
        break;
    default:
        break;
    }
    return false;
}

QMargins CWorkAreaKeeper::FrameMargins() const {
    const QRect outer = m_window->frameGeometry(), inner = m_window->geometry();
    return QMargins(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                    outer.bottom() - inner.bottom());
}

void CWorkAreaKeeper::ScheduleCover() {
    if (m_window->isVisible() && !m_coverTimer.isActive())
        m_coverTimer.start(kCoverDelayMs);
}

bool CWorkAreaKeeper::CoversWorkArea() {
    const QScreen* s = m_window->screen();
    if (!s)
        return true;
    // Where the window really is (Qt's record may hold a request that was not granted).
    const QRect client = AfxClientAreaOnScreen(m_window);
    if (client.marginsAdded(FrameMargins()) == s->availableGeometry())
        return true;
    // Maximised by a window manager, which knows the panels it keeps clear better than the
    // screen's work area says: the client area it gave, all of it on the screen. (The frame's
    // outline is no guide there: some managers count invisible shadows into it.) A client area
    // that changed afterwards while the state stayed (some managers let a program resize a
    // maximised window) is not the one it gave. Asked again, the manager gives its new area, or
    // no less than before: weston, asked to maximise a window a program had shrunk while it was
    // maximised, now and then sets the state again and leaves the window small.
    if (!AfxWindowManagerMaximized(m_window) || !s->geometry().contains(client))
        return false;
    if (!m_maximizedClient.isValid() || (m_askedToMaximize && client.width() >= m_maximizedClient.width() &&
                                         client.height() >= m_maximizedClient.height()))
        m_maximizedClient = client;
    return client == m_maximizedClient;
}

void CWorkAreaKeeper::Show() {
    QScreen* s = m_window->screen() ? m_window->screen() : QGuiApplication::primaryScreen();
    const QRect work = s ? s->availableGeometry() : QRect();
    // Where nobody maximises windows or gives them a frame, the client area is the work area.
    // Elsewhere this is the size until the manager answers: the first paint may come first and
    // must not find a client area smaller than the work area allows.
    if (work.isValid() && !AfxWindowManagerRunning())
        m_window->setGeometry(work);
    else if (work.isValid())
        m_window->resize(work.size());
    m_window->showMaximized();
    AfxWriteWindowManagerHints(m_window, m_caption);
    if (s) {
        QObject::connect(s, &QScreen::availableGeometryChanged, this, [this] {
            m_maximizedClient = QRect(); // the window manager will give another
            ScheduleCover();
        });
    }
}

void CWorkAreaKeeper::CoverWorkArea() {
    if (!m_window->isVisible() || m_window->isMinimized())
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
        if (AfxWindowManagerMaximized(m_window))
            AfxAskToMaximize(m_window, false);
        AfxAskToMaximize(m_window);
        m_askedToMaximize = true;
    } else {
        // Asked and not answered: nobody maximises windows here, or this manager will not.
        // Take the work area by hand, frame included; under a manager that shows the window
        // maximised, the client area it gave a maximised window.
        const bool stateOnly = AfxWindowManagerMaximized(m_window) && m_maximizedClient.isValid();
        m_window->setGeometry(stateOnly
                                  ? m_maximizedClient
                                  : m_window->screen()->availableGeometry().marginsRemoved(FrameMargins()));
        m_askedToMaximize = false;
    }
    m_coverTimer.start(kCoverDelayMs * 3);
}
