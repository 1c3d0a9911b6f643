// The caret: one per program, owned by one window, inverted into the owner's pixels where it
// stands and inverted back out before anything else draws there.

#include "platform/AfxInternal.h"

#include <QApplication>
#include <QTimer>
#include <QtMath>

#include <algorithm>
#include <cstring>

namespace {
struct CaretGlobal {
    CWnd* owner = nullptr;
    QImage shape; // XOR mask
    int x = 0, y = 0;
    int hideCount = 0;
    bool blinkOn = true;
    QTimer* timer = nullptr;
};
CaretGlobal g_caret;

// Puts the caret on screen as it now stands (or takes it away) in wnd's window.
void RefreshCaretOf(CWnd* wnd) {
    QWidget* widget = wnd ? wnd->Widget() : nullptr;
    if (auto* view = dynamic_cast<CViewWidget*>(widget))
        view->m_surface->ShowCaretChange();
}

void RefreshCaret() {
    RefreshCaretOf(g_caret.owner);
}

void RestartBlink() {
    g_caret.blinkOn = true;
    if (!qApp)
        return;
    if (!g_caret.timer) {
        g_caret.timer = new QTimer(qApp);
        QObject::connect(g_caret.timer, &QTimer::timeout, [] {
            g_caret.blinkOn = !g_caret.blinkOn;
            RefreshCaret();
        });
    }
    int flash = QApplication::cursorFlashTime();
    if (g_caret.owner && g_caret.hideCount == 0 && flash > 0)
        g_caret.timer->start(flash / 2);
    else
        g_caret.timer->stop();
}
} // namespace

BOOL CWnd::CreateCaret(CBitmap* bitmap) {
    if (!bitmap || !bitmap->Image())
        return FALSE;
    CWnd* previous = g_caret.owner;
    g_caret.owner = this;
    g_caret.shape = bitmap->Image()->convertToFormat(QImage::Format_RGB32);
    g_caret.hideCount = 1;
    RestartBlink();
    if (previous != this)
        RefreshCaretOf(previous);
    RefreshCaret();
    return TRUE;
}

void CWnd::SetCaretPos(int x, int y) {
    if (!g_caret.owner)
        return;
    g_caret.x = x;
    g_caret.y = y;
    RestartBlink();
    RefreshCaret();
}

void CWnd::ShowCaret() {
    if (g_caret.owner != this || g_caret.hideCount == 0)
        return;
    if (--g_caret.hideCount == 0)
        RestartBlink();
    RefreshCaret();
}

void CWnd::HideCaret() {
    if (g_caret.owner != this)
        return;
    ++g_caret.hideCount;
    RestartBlink();
    RefreshCaret();
}

void AfxCaretWindowDestroyed(CWnd* wnd) {
    if (g_caret.owner == wnd) {
        g_caret.owner = nullptr;
        g_caret.hideCount = 0;
        if (g_caret.timer)
            g_caret.timer->stop();
    }
}

CCaretState AfxGetCaretState() {
    CCaretState s;
    s.exists = g_caret.owner != nullptr;
    s.owner = g_caret.owner;
    s.hideCount = g_caret.hideCount;
    s.visible = s.exists && g_caret.hideCount == 0;
    s.blinkOn = s.visible && g_caret.blinkOn;
    s.x = g_caret.x;
    s.y = g_caret.y;
    s.width = g_caret.shape.width();
    s.height = g_caret.shape.height();
    return s;
}

bool AfxWantedCaret(const QWidget* widget, CCaretPicture* caret) {
    if (!widget || !g_caret.owner || g_caret.owner->Widget() != widget || g_caret.hideCount != 0 ||
        !g_caret.blinkOn || g_caret.shape.isNull())
        return false;
    caret->pos = QPoint(g_caret.x, g_caret.y);
    caret->shape = g_caret.shape;
    return true;
}

void AfxInvertCaret(QImage& image, const CCaretPicture& caret) {
    // The caret's shape is in logical pixels; the image may have more pixels than that (a
    // high-density screen), and each of them is inverted by the shape pixel it lies in.
    const qreal ratio = image.devicePixelRatio();
    const QRect area = QRect(qFloor(caret.pos.x() * ratio), qFloor(caret.pos.y() * ratio),
                             qCeil(caret.shape.width() * ratio), qCeil(caret.shape.height() * ratio))
                           .intersected(image.rect());
    if (area.isEmpty() || caret.shape.depth() != 32)
        return;
    // Inverted in 32 bits a pixel; an image of another depth is converted there and back.
    const bool wide = image.depth() == 32;
    QImage piece = wide ? QImage() : image.copy(area).convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < area.height(); ++y) {
        auto* dst =
            reinterpret_cast<QRgb*>(wide ? image.scanLine(area.y() + y) + area.x() * 4 : piece.scanLine(y));
        const int my =
            std::clamp(qFloor((y + area.y()) / ratio) - caret.pos.y(), 0, caret.shape.height() - 1);
        const auto* mask = reinterpret_cast<const QRgb*>(caret.shape.constScanLine(my));
        for (int x = 0; x < area.width(); ++x) {
            const int mx =
                std::clamp(qFloor((x + area.x()) / ratio) - caret.pos.x(), 0, caret.shape.width() - 1);
            dst[x] = 0xFF000000u | ((dst[x] ^ mask[mx]) & 0x00FFFFFFu);
        }
    }
    if (wide)
        return;
    piece = piece.convertToFormat(image.format());
    const int bytes = image.depth() / 8;
    for (int y = 0; y < area.height(); ++y)
        std::memcpy(image.scanLine(area.y() + y) + area.x() * bytes, piece.constScanLine(y),
                    static_cast<size_t>(area.width() * bytes));
}
