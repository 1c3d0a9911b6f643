#pragma once

#include "platform/Afx.h"
#include "platform/AfxInternal.h"

#include <QApplication>
#include <QImage>
#include <QWidget>

#include <functional>

// A view whose OnDraw runs a test-supplied function, shown offscreen at a fixed client size.
class CTestView : public CView {
  public:
    std::function<void(CDC*)> m_draw;
    int m_drawCount = 0;
    void OnDraw(CDC* pDC) override {
        ++m_drawCount;
        if (m_draw)
            m_draw(pDC);
    }
};

inline void ShowView(CView& view, int width, int height) {
    QWidget* w = view.ViewWidget();
    w->resize(width, height);
    w->show();
    QApplication::processEvents();
}

inline COLORREF PixelAt(const CView& view, int x, int y) {
    QRgb c = view.BackingImage().pixel(x, y);
    return RGB(qRed(c), qGreen(c), qBlue(c));
}

inline const COLORREF kWhite = RGB(255, 255, 255);
