// The view's pixels in its window's backing store: painting on the view's part of the store,
// presenting it, the caret inverted in place, and copies for grabs and tests.

#include "platform/AfxInternal.h"

#include <QPaintEngine>
#include <QWindow>
#include <QtMath>

CViewSurface::~CViewSurface() {
    EndPainting();
}

CViewSurface::CPlacement CViewSurface::Placement() const {
    CPlacement p;
    if (!m_widget)
        return p;
    QWidget* window = m_widget->window();
    p.window = window->size();
    p.offset = m_widget->mapTo(window, QPoint(0, 0));
    p.size = m_widget->size();
    p.ratio = m_widget->devicePixelRatioF();
    return p;
}

QBackingStore* CViewSurface::Store() const {
    if (!m_widget || !m_widget->isVisible())
        return nullptr;
    QWidget* window = m_widget->window();
    return window->windowHandle() ? window->backingStore() : nullptr;
}

bool CViewSurface::Holds() const {
    QBackingStore* store = Store();
    return store && m_holds && store->size() == m_widget->window()->size() && m_placement == Placement();
}

bool CViewSurface::BeginStore(const QRect& rect) {
    QBackingStore* store = Store();
    if (!store)
        return false;
    const CPlacement placement = Placement();
    store->beginPaint(QRegion(rect.translated(placement.offset)));
    QPaintDevice* device = store->paintDevice();
    QImage* whole = device && device->devType() == QInternal::Image ? static_cast<QImage*>(device) : nullptr;
    const int bytes = whole ? whole->depth() / 8 : 0;
    if (bytes < 2) {
        store->endPaint();
        return false;
    }
    const qreal ratio = whole->devicePixelRatio();
    const QRect part = QRect(qRound(placement.offset.x() * ratio), qRound(placement.offset.y() * ratio),
                             qCeil(placement.size.width() * ratio), qCeil(placement.size.height() * ratio))
                           .intersected(whole->rect());
    if (part.isEmpty()) {
        store->endPaint();
        return false;
    }
    uchar* bits = whole->bits() + part.y() * whole->bytesPerLine() + part.x() * bytes;
    m_part = QImage(bits, part.width(), part.height(), whole->bytesPerLine(), whole->format());
    m_part.setDevicePixelRatio(ratio);
    m_store = store;
    return true;
}

void CViewSurface::EndStore() {
    if (!m_store)
        return;
    m_part = QImage();
    m_store->endPaint();
    m_store = nullptr;
}

QPaintDevice* CViewSurface::Device() {
    QBackingStore* store = Store();
    if (!store)
        return nullptr;
    QWidget* window = m_widget->window();
    if (store->size() != window->size()) {
        // Qt sizes its store when it next paints the window, and then paints all of it; the view
        // draws now, so the store is sized now and the rest of the window painted then.
        store->resize(window->size());
        window->update();
    }
    if (!BeginStore(m_widget->rect()))
        return nullptr;
    const CPlacement placement = Placement();
    if (!m_holds || !(m_placement == placement)) {
        m_part.fill(Qt::white);
        m_holds = true;
        m_placement = placement;
        m_caretDrawn = false;
    } else if (m_caretDrawn) {
        AfxInvertCaret(m_part, m_caret);
        m_caretDrawn = false;
    }
    m_dirty = true;
    return &m_part;
}

void CViewSurface::DeviceDone() {
    EndStore();
}

QRect CViewSurface::SyncCaret() {
    ForgetFilled();
    CCaretPicture wanted;
    const bool want = AfxWantedCaret(m_widget, &wanted);
    if (want == m_caretDrawn && (!want || wanted == m_caret))
        return QRect();
    QRect changed;
    if (m_caretDrawn) {
        AfxInvertCaret(m_part, m_caret);
        changed = m_caret.Rect();
    }
    m_caretDrawn = want;
    if (want) {
        m_caret = wanted;
        AfxInvertCaret(m_part, m_caret);
        changed |= m_caret.Rect();
    }
    return changed;
}

void CViewSurface::Flush(const QRect& rect) {
    QBackingStore* store = Store();
    QWidget* window = m_widget ? m_widget->window() : nullptr;
    if (!store || rect.isEmpty() || !window->windowHandle()->isExposed())
        return;
    store->flush(QRegion(rect.translated(m_placement.offset)), window->windowHandle());
}

void CViewSurface::Present() {
    EndPainting();
    if (!Holds())
        return;
    QRect changed;
    if (BeginStore(m_widget->rect())) {
        changed = SyncCaret();
        EndStore();
    }
    Flush(m_dirty ? m_widget->rect() : changed);
    m_dirty = false;
}

void CViewSurface::ShowCaretChange() {
    if (Painting() || !Holds())
        return;
    CCaretPicture wanted;
    const bool want = AfxWantedCaret(m_widget, &wanted);
    const QRect area = (m_caretDrawn ? m_caret.Rect() : QRect()) | (want ? wanted.Rect() : QRect());
    if (area.isEmpty() || !BeginStore(area))
        return;
    const QRect changed = SyncCaret();
    EndStore();
    Flush(changed);
}

bool CViewSurface::PaintsStore(QPainter& painter) const {
    QPaintEngine* engine = painter.paintEngine();
    QPaintDevice* device = engine ? engine->paintDevice() : nullptr;
    QBackingStore* store = Store();
    QPaintDevice* storeDevice = store ? store->paintDevice() : nullptr;
    if (!device || !storeDevice)
        return false;
    if (device == storeDevice)
        return true;
    return device->devType() == QInternal::Image && storeDevice->devType() == QInternal::Image &&
           static_cast<QImage*>(device)->constBits() == static_cast<QImage*>(storeDevice)->constBits();
}

void CViewSurface::Adopted() {
    m_holds = true;
    m_placement = Placement();
    m_caretDrawn = false;
    m_dirty = false;
    m_snapshotOf = kNothing;
}

const QImage& CViewSurface::Snapshot() {
    const bool holds = Holds();
    if (holds && m_snapshotOf == kStore && m_snapshotChanges == Changes())
        return m_snapshot;
    if (holds && (m_store || BeginStore(m_widget->rect()))) {
        const bool painting = Painting(); // then the caret is out already
        m_snapshot = m_part.copy();
        if (!painting) {
            EndStore();
            if (m_caretDrawn)
                AfxInvertCaret(m_snapshot, m_caret);
        }
        m_snapshotOf = kStore;
        m_snapshotChanges = Changes();
        return m_snapshot;
    }
    // Nothing of the view in the store (hidden, not painted yet): white, as a new window is.
    const qreal ratio = m_widget ? m_widget->devicePixelRatioF() : 1.0;
    const QSize size = m_widget ? m_widget->size() : QSize();
    const QSize pixels(qCeil(size.width() * ratio), qCeil(size.height() * ratio));
    if (m_snapshotOf != kWhite || m_snapshot.size() != pixels ||
        !qFuzzyCompare(m_snapshot.devicePixelRatio(), ratio)) {
        m_snapshot = QImage(pixels, QImage::Format_RGB32);
        m_snapshot.setDevicePixelRatio(ratio);
        m_snapshot.fill(Qt::white);
        m_snapshotOf = kWhite;
    }
    return m_snapshot;
}
