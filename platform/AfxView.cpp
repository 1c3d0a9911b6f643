// The view: its widget with the surface every DC draws into, the translation of mouse and key
// events to its handlers, redrawing and presenting, and the DCs of a window.

#include "platform/AfxInternal.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QScopedValueRollback>
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

} // namespace

// ---------------------------------------------------------------------------------------------
// The view's widget

CViewWidget::CViewWidget(CView* view) : m_surface(std::make_shared<CViewSurface>(this)), m_view(view) {
    AfxInstallViewAccessibility();
    setFocusPolicy(Qt::StrongFocus);
    // Qt paints nothing of its own under the view, so what the view drew stays in the store.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_InputMethodEnabled, false);
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

void CViewWidget::SchedulePresent() {
    if (m_presentPosted)
        return;
    m_presentPosted = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_presentPosted = false;
            m_surface->Present();
        },
        Qt::QueuedConnection);
}

void CViewWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (m_surface->PaintsStore(p)) {
        // The view's pixels are in the store already, unless it no longer holds them where the
        // view is (shown for the first time, a new size, another screen's pixel density): then
        // white until the view has drawn again.
        if (!m_surface->Holds()) {
            p.fillRect(rect(), Qt::white);
            m_surface->Adopted();
            RequestDraw();
        }
        return;
    }
    // Painted somewhere else (a grab): a copy of the pixels, with the caret as it is seen.
    QImage picture = m_surface->Snapshot();
    CCaretPicture caret;
    if (AfxWantedCaret(this, &caret))
        AfxInvertCaret(picture, caret);
    p.drawImage(0, 0, picture);
}

void CViewWidget::resizeEvent(QResizeEvent*) {
    m_resizedSinceDraw = true;
    if (isVisible())
        RequestDraw();
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
    m_view->NotifyAccessibleChanges();
}

// Not QWidget's default, which would report a second press: the order stays press, release,
// double-click, release.
void CViewWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    if (!m_view)
        return;
    if (e->button() == Qt::LeftButton)
        m_view->OnLButtonDblClk(MouseFlags(e), ClientPoint(e));
}

void CViewWidget::keyPressEvent(QKeyEvent* e) {
    UINT vk = AfxVirtualKeyFromQt(e);
    if (!m_view || vk == 0) {
        e->ignore();
        return;
    }
    AfxBeginKeyMessage(e);
    m_view->OnKeyDown(vk, 1, e->isAutoRepeat() ? 0x4000u : 0u);
    AfxEndKeyMessage();
    m_view->NotifyAccessibleChanges();
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

CViewWidget* CView::ViewWidget() {
    if (!m_viewWidget) {
        m_viewWidget = new CViewWidget(this);
        m_widget = m_viewWidget;
    }
    return m_viewWidget;
}

const QImage& CView::BackingImage() const {
    static const QImage empty;
    return m_viewWidget ? m_viewWidget->m_surface->Snapshot() : empty;
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
void CView::OnKeyDown(UINT, UINT, UINT) {}

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
    if (w->m_drawing) {
        // Asked from the event loop of a box the drawing under way has opened: the view draws
        // again once that drawing has ended, never inside it (one box, one painter).
        w->m_drawPending = true;
        return;
    }
    w->m_drawPending = false;
    {
        QScopedValueRollback<bool> drawing(w->m_drawing, true);
        CPaintDC dc(this);
        OnDraw(&dc);
    }
    if (w->m_drawPending)
        w->RequestDraw();
    w->SchedulePresent();
    NotifyAccessibleChanges();
    w->m_resizedSinceDraw = false;
}

void CView::UpdateWindow() {
    if (DrawPending())
        RunDraw();
    PresentNow();
}

void CView::PresentNow() {
    if (m_viewWidget && m_viewWidget->isVisible())
        m_viewWidget->m_surface->Present();
}

void CView::SchedulePresent() {
    if (m_viewWidget)
        m_viewWidget->SchedulePresent();
}

void AfxPresentAllViews() {
    for (CView* v : ViewList())
        v->PresentNow();
}

void AfxViewsUncovered() {
    for (CView* v : ViewList())
        v->Invalidate(TRUE);
    AfxFocusMainView();
}

// ---------------------------------------------------------------------------------------------
// Window DCs

CClientDC::CClientDC(CView* view) : m_view(view) {
    AttachSurface(view->ViewWidget()->m_surface);
}

CClientDC::~CClientDC() {
    DetachSurface();
    m_view->SchedulePresent();
}

CPaintDC::CPaintDC(CView* view) : CClientDC(view) {}
CPaintDC::~CPaintDC() = default;
