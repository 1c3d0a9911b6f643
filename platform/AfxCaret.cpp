// The caret: one per program, owned by one window, drawn inverted over the owner's image when it
// is presented.

#include "platform/AfxInternal.h"

#include <QApplication>
#include <QTimer>
#include <QtMath>

#include <algorithm>

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

void RefreshCaret() {
    if (g_caret.owner && g_caret.owner->Widget())
        g_caret.owner->Widget()->update();
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
    if (g_caret.owner)
        RefreshCaret();
    g_caret.owner = this;
    g_caret.shape = *bitmap->Image();
    g_caret.hideCount = 1;
    RestartBlink();
    return TRUE;
}

void CWnd::SetCaretPos(int x, int y) {
    if (!g_caret.owner)
        return;
    RefreshCaret();
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

void AfxDrawCaretOverlay(QWidget* widget, QPainter& painter, const QImage& image) {
    if (!g_caret.owner || g_caret.owner->Widget() != widget || g_caret.hideCount != 0 || !g_caret.blinkOn)
        return;
    // The caret's shape is in logical pixels; the image may have more pixels than that (a
    // high-density screen), and each of them is inverted by the shape pixel it lies in.
    const qreal ratio = image.devicePixelRatio();
    const QRect area = QRect(qFloor(g_caret.x * ratio), qFloor(g_caret.y * ratio),
                             qCeil(g_caret.shape.width() * ratio), qCeil(g_caret.shape.height() * ratio))
                           .intersected(QRect(QPoint(0, 0), image.size()));
    if (area.isEmpty())
        return;
    QImage piece = image.copy(area);
    for (int y = 0; y < piece.height(); ++y) {
        auto* dst = reinterpret_cast<QRgb*>(piece.scanLine(y));
        const int my = std::clamp(qFloor((y + area.y()) / ratio) - g_caret.y, 0, g_caret.shape.height() - 1);
        const auto* mask = reinterpret_cast<const QRgb*>(g_caret.shape.constScanLine(my));
        for (int x = 0; x < piece.width(); ++x) {
            const int mx =
                std::clamp(qFloor((x + area.x()) / ratio) - g_caret.x, 0, g_caret.shape.width() - 1);
            dst[x] = 0xFF000000u | ((dst[x] ^ mask[mx]) & 0x00FFFFFFu);
        }
    }
    piece.setDevicePixelRatio(ratio);
    painter.drawImage(QPointF(area.x() / ratio, area.y() / ratio), piece);
}
