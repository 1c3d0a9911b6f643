#include "platform/AfxInternal.h"
#include "platform/AfxX11.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QTimer>

#include <algorithm>

namespace {
std::vector<CView*>& ViewList() {
    static std::vector<CView*> views;
    return views;
}

UINT MouseFlags(const QMouseEvent* e) {
    UINT flags = 0;
    if (e->buttons() & Qt::LeftButton)
        flags |= MK_LBUTTON;
    if (e->buttons() & Qt::RightButton)
        flags |= MK_RBUTTON;
    if (e->buttons() & Qt::MiddleButton)
        flags |= MK_MBUTTON;
    if (e->modifiers() & Qt::ShiftModifier)
        flags |= MK_SHIFT;
    if (e->modifiers() & Qt::ControlModifier)
        flags |= MK_CONTROL;
    return flags;
}

CPoint ClientPoint(const QMouseEvent* e) {
    QPoint p = e->position().toPoint();
    return CPoint(p.x(), p.y());
}

// Keys the view takes for itself even where a shortcut or the focus chain would want them.
bool IsViewKey(const QKeyEvent* e) {
    if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    switch (e->key()) {
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Delete:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_F1:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return !(e->modifiers() & Qt::ShiftModifier) || e->key() == Qt::Key_Backtab;
    default: {
        const UINT vk = AfxVirtualKeyFromQt(e);
        return vk >= '0' && vk <= '9';
    }
    }
}

// The modifiers of the key message in hand, for GetKeyState.
bool g_inKeyMessage = false;
Qt::KeyboardModifiers g_keyMessageModifiers;

// xkb keycodes (evdev's plus 8, as X11 and Wayland report them) of the main-row keys 1 to 9 and 0.
constexpr quint32 kMainRowOneKeycode = 10;
constexpr quint32 kMainRowZeroKeycode = 19;
} // namespace

SHORT GetKeyState(int virtualKey) {
    const Qt::KeyboardModifiers mods =
        g_inKeyMessage ? g_keyMessageModifiers : QGuiApplication::queryKeyboardModifiers();
    Qt::KeyboardModifier wanted = Qt::NoModifier;
    switch (virtualKey) {
    case VK_SHIFT:
        wanted = Qt::ShiftModifier;
        break;
    case VK_CONTROL:
        wanted = Qt::ControlModifier;
        break;
    case VK_MENU:
        wanted = Qt::AltModifier;
        break;
    default:
        return 0;
    }
    return (mods & wanted) ? static_cast<SHORT>(0x8000) : 0;
}

UINT AfxVirtualKeyFromQt(const QKeyEvent* e) {
    const int key = e->key();
    const bool keypad = (e->modifiers() & Qt::KeypadModifier) != 0;
    // A digit key is a key, not a character: the main-row keys type their numeral whatever Shift
    // and the layout make of them ("!" on a US layout, "&" on an AZERTY one). Without a scan code
    // (synthesised events) the character decides.
    const quint32 scan = e->nativeScanCode();
    if (!keypad && scan >= kMainRowOneKeycode && scan <= kMainRowZeroKeycode)
        return scan == kMainRowZeroKeycode ? '0' : static_cast<UINT>('1' + (scan - kMainRowOneKeycode));
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return keypad ? VK_NUMPAD0 + static_cast<UINT>(key - Qt::Key_0)
                      : static_cast<UINT>('0' + (key - Qt::Key_0));
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return static_cast<UINT>('A' + (key - Qt::Key_A));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
        return VK_F1 + static_cast<UINT>(key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace:
        return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Shift:
        return VK_SHIFT;
    case Qt::Key_Control:
        return VK_CONTROL;
    case Qt::Key_Alt:
        return VK_MENU;
    case Qt::Key_Pause:
        return VK_PAUSE;
    case Qt::Key_CapsLock:
        return VK_CAPITAL;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Insert:
        return VK_INSERT;
    case Qt::Key_Delete:
        return VK_DELETE;
    case Qt::Key_Asterisk:
        return keypad ? VK_MULTIPLY : 0;
    case Qt::Key_Plus:
        return keypad ? VK_ADD : 0;
    case Qt::Key_Minus:
        return keypad ? VK_SUBTRACT : 0;
    case Qt::Key_Period:
        return keypad ? VK_DECIMAL : 0;
    case Qt::Key_Slash:
        return keypad ? VK_DIVIDE : 0;
    default:
        return 0;
    }
}

// ---------------------------------------------------------------------------------------------
// The view's widget

CViewWidget::CViewWidget(CView* view) : m_surface(std::make_shared<CViewSurface>(view)), m_view(view) {
    AfxInstallViewAccessibility();
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    m_surface->Resize(width(), height(), devicePixelRatioF());
}

CViewWidget::~CViewWidget() {
    m_surface->EndPainting();
}

void CViewWidget::RequestDraw() {
    m_drawPending = true;
    if (m_drawPosted)
        return;
    m_drawPosted = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_drawPosted = false;
            if (m_drawPending && m_view)
                m_view->RunDraw();
        },
        Qt::QueuedConnection);
}

void CViewWidget::paintEvent(QPaintEvent*) {
    if (!m_surface->Fits(width(), height(), devicePixelRatioF())) {
        // Moved to a screen of another pixel density: draw again at its resolution.
        m_surface->Resize(width(), height(), devicePixelRatioF());
        RequestDraw();
    }
    m_surface->EndPainting();
    QPainter p(this);
    p.drawImage(0, 0, m_surface->m_image);
    AfxDrawCaretOverlay(this, p, m_surface->m_image);
}

void CViewWidget::resizeEvent(QResizeEvent*) {
    if (!m_surface->Fits(width(), height(), devicePixelRatioF())) {
        m_surface->Resize(width(), height(), devicePixelRatioF());
        if (isVisible())
            RequestDraw();
    }
}

void CViewWidget::showEvent(QShowEvent*) {
    RequestDraw();
}

void CViewWidget::mousePressEvent(QMouseEvent* e) {
    if (!m_view)
        return;
    if (e->button() == Qt::LeftButton)
        m_view->OnLButtonDown(MouseFlags(e), ClientPoint(e));
    else if (e->button() == Qt::RightButton)
        m_view->OnRButtonDown(MouseFlags(e), ClientPoint(e));
    m_view->NotifyAccessibleChanges();
}

void CViewWidget::mouseReleaseEvent(QMouseEvent* e) {
    if (!m_view)
        return;
    if (e->button() == Qt::LeftButton)
        m_view->OnLButtonUp(MouseFlags(e), ClientPoint(e));
    else if (e->button() == Qt::RightButton)
        m_view->OnRButtonUp(MouseFlags(e), ClientPoint(e));
    m_view->NotifyAccessibleChanges();
}

// Not QWidget's default, which would report a second press: the order stays press, release,
// double-click, release.
void CViewWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    if (!m_view)
        return;
    if (e->button() == Qt::LeftButton)
        m_view->OnLButtonDblClk(MouseFlags(e), ClientPoint(e));
    else if (e->button() == Qt::RightButton)
        m_view->OnRButtonDblClk(MouseFlags(e), ClientPoint(e));
}

void CViewWidget::mouseMoveEvent(QMouseEvent* e) {
    if (m_view)
        m_view->OnMouseMove(MouseFlags(e), ClientPoint(e));
}

void CViewWidget::keyPressEvent(QKeyEvent* e) {
    UINT vk = AfxVirtualKeyFromQt(e);
    if (!m_view || vk == 0) {
        e->ignore();
        return;
    }
    g_inKeyMessage = true;
    g_keyMessageModifiers = e->modifiers();
    m_view->OnKeyDown(vk, 1, e->isAutoRepeat() ? 0x4000u : 0u);
    g_inKeyMessage = false;
    m_view->NotifyAccessibleChanges();
}

void CViewWidget::keyReleaseEvent(QKeyEvent* e) {
    UINT vk = AfxVirtualKeyFromQt(e);
    if (!m_view || vk == 0 || e->isAutoRepeat()) {
        e->ignore();
        return;
    }
    m_view->OnKeyUp(vk, 1, 0xC000u);
}

bool CViewWidget::event(QEvent* e) {
    if (e->type() == QEvent::ShortcutOverride && IsViewKey(static_cast<QKeyEvent*>(e))) {
        e->accept();
        return true;
    }
    if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) {
            keyPressEvent(k);
            return true;
        }
    }
    return QWidget::event(e);
}

bool CViewWidget::focusNextPrevChild(bool) {
    return false;
}

// ---------------------------------------------------------------------------------------------
// CView

CView::CView() {
    ViewList().push_back(this);
}

CView::~CView() {
    auto& list = ViewList();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    if (m_document)
        m_document->RemoveView(this);
    AfxCaretWindowDestroyed(this);
    if (m_viewWidget) {
        m_viewWidget->DetachView();
        delete m_viewWidget;
        m_viewWidget = nullptr;
        m_widget = nullptr;
    }
}

const std::vector<CView*>& CView::AllViews() {
    return ViewList();
}

CViewWidget* CView::ViewWidget() {
    if (!m_viewWidget) {
        m_viewWidget = new CViewWidget(this);
        m_widget = m_viewWidget;
    }
    return m_viewWidget;
}

const QImage& CView::BackingImage() const {
    static const QImage empty;
    return m_viewWidget ? m_viewWidget->m_surface->m_image : empty;
}

BOOL CView::PreCreateWindow(CREATESTRUCT&) {
    return TRUE;
}
void CView::OnInitialUpdate() {
    OnUpdate(nullptr, 0);
}
void CView::OnUpdate(CView*, LPARAM) {
    Invalidate(TRUE);
}

BOOL CView::OnCmdMsg(UINT id, CCmdUI* updateOrNull) {
    if (DispatchOwn(id, updateOrNull))
        return TRUE;
    return m_document ? m_document->OnCmdMsg(id, updateOrNull) : FALSE;
}

void CView::OnLButtonDown(UINT, CPoint) {}
void CView::OnLButtonUp(UINT, CPoint) {}
void CView::OnLButtonDblClk(UINT, CPoint) {}
void CView::OnRButtonDown(UINT, CPoint) {}
void CView::OnRButtonUp(UINT, CPoint) {}
void CView::OnRButtonDblClk(UINT, CPoint) {}
void CView::OnMouseMove(UINT, CPoint) {}
void CView::OnKeyDown(UINT, UINT, UINT) {}
void CView::OnKeyUp(UINT, UINT, UINT) {}

void CView::Invalidate(BOOL) {
    CViewWidget* w = ViewWidget();
    if (w->isVisible())
        w->RequestDraw();
    else
        w->m_drawPending = true; // runs when the view is shown
}

bool CView::DrawPending() const {
    return m_viewWidget && m_viewWidget->m_drawPending;
}

void CView::RunDraw() {
    CViewWidget* w = ViewWidget();
    if (!w->isVisible() || w->width() <= 0 || w->height() <= 0)
        return;
    w->m_drawPending = false;
    {
        CPaintDC dc(this);
        OnDraw(&dc);
    }
    w->update();
    NotifyAccessibleChanges();
}

void CView::UpdateWindow() {
    if (DrawPending())
        RunDraw();
    PresentNow();
}

void CView::PresentNow() {
    if (m_viewWidget && m_viewWidget->isVisible()) {
        m_viewWidget->m_surface->EndPainting();
        m_viewWidget->repaint();
    }
}

void CView::SchedulePresent() {
    if (m_viewWidget)
        m_viewWidget->update();
}

void AfxPresentAllViews() {
    for (CView* v : ViewList())
        v->PresentNow();
}

CModalCover::CModalCover() {
    AfxPresentAllViews();
}

CModalCover::~CModalCover() {
    AfxViewsUncovered();
}

void AfxViewsUncovered() {
    for (CView* v : ViewList())
        v->Invalidate(TRUE);
    AfxFocusMainView();
}

void AfxFocusMainView() {
    if (!qApp)
        return;
    QTimer::singleShot(0, qApp, [] {
        if (QApplication::activeModalWidget() || QApplication::activePopupWidget())
            return;
        auto* frame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
        CView* view = frame ? frame->GetActiveView() : nullptr;
        if (view && view->Widget() && view->Widget()->isVisible()) {
            // Where no window manager hands the keyboard back (a bare X server), the window takes
            // it itself: keys would otherwise reach it only while the pointer is over it, and
            // nothing in it would count as focused. A window manager decides for itself, also
            // when the player has gone to another program meanwhile.
            if (!view->Widget()->window()->isActiveWindow() && !AfxWindowManagerRunning())
                view->Widget()->window()->activateWindow();
            view->Widget()->setFocus(Qt::OtherFocusReason);
        }
    });
}

// ---------------------------------------------------------------------------------------------
// Window DCs

namespace {
// A DC for a window that is not a view draws into a scratch image nobody sees.
std::shared_ptr<CSurface> ScratchSurface() {
    static std::shared_ptr<CSurface> s = std::make_shared<CImageSurface>([] {
        auto img = std::make_shared<QImage>(1, 1, QImage::Format_RGB32);
        img->fill(Qt::white);
        return img;
    }());
    return s;
}
} // namespace

CClientDC::CClientDC(CWnd* wnd) : m_pWnd(wnd) {
    if (auto* view = dynamic_cast<CView*>(wnd))
        AttachSurface(view->ViewWidget()->m_surface);
    else
        AttachSurface(ScratchSurface());
}

CClientDC::~CClientDC() {
    DetachSurface();
    if (auto* view = dynamic_cast<CView*>(m_pWnd))
        view->SchedulePresent();
}

CPaintDC::CPaintDC(CWnd* wnd) : CClientDC(wnd) {}
CPaintDC::~CPaintDC() = default;
