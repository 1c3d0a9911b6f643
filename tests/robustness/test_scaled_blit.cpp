// Scaled blits reuse a copy of the bitmap scaled once. They must draw exactly what scaling in
// place draws, wherever the target lies (also partly outside the destination), and follow the
// bitmap when it changes. On a surface of twice the pixel density, where the kept copies are
// blitted in device pixels, every pixel of that picture (fills and lines too) is a block of two by
// two, as it always was.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "platform/Afx.h"
#include "platform/AfxInternal.h"

namespace {

// A bitmap with a pattern that shows any sampling difference.
void Paint(CBitmap& bitmap, int salt) {
    QImage& image = *bitmap.Image();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, y, qRgb((x * 37 + salt) & 255, (y * 53) & 255, ((x ^ y) * 11 + salt) & 255));
        }
    }
}

struct CBlit {
    int x, y, width, height;
    QRect source;
};

// Rectangles filled over the blits, and the edges of the first one drawn as lines.
const RECT kFills[] = {{30, 40, 75, 52}, {0, 0, 400, 3}, {390, 100, 400, 300}};
const COLORREF kFillColour = RGB(0, 128, 128);

QImage ByDC(CBitmap& bitmap, const std::vector<CBlit>& blits, QSize canvas, qreal ratio = 1) {
    CBitmap target;
    target.CreateBitmap(qRound(canvas.width() * ratio), qRound(canvas.height() * ratio));
    target.Image()->setDevicePixelRatio(ratio);
    {
        CDC dc, mem;
        dc.CreateCompatibleDC(nullptr);
        dc.SelectObject(&target);
        dc.SetStretchBltMode(COLORONCOLOR);
        mem.CreateCompatibleDC(&dc);
        mem.SelectObject(&bitmap);
        for (const CBlit& b : blits) {
            dc.StretchBlt(b.x, b.y, b.width, b.height, &mem, b.source.x(), b.source.y(), b.source.width(),
                          b.source.height(), SRCCOPY);
        }
        CPen pen(PS_SOLID, 1, RGB(0, 0, 128));
        dc.SelectObject(&pen);
        for (const RECT& r : kFills) {
            dc.FillSolidRect(&r, kFillColour);
        }
        dc.MoveTo(kFills[0].left, kFills[0].bottom);
        dc.LineTo(kFills[0].right, kFills[0].bottom);
        dc.LineTo(kFills[0].right, kFills[0].top);
    }
    QImage picture = *target.Image();
    picture.setDevicePixelRatio(1);
    return picture;
}

QImage InPlace(const CBitmap& bitmap, const std::vector<CBlit>& blits, QSize canvas) {
    QImage expected(canvas, QImage::Format_RGB32);
    expected.fill(Qt::white);
    QPainter p(&expected);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    for (const CBlit& b : blits) {
        p.drawImage(QRect(b.x, b.y, b.width, b.height), *bitmap.Image(), b.source);
    }
    for (const RECT& r : kFills) {
        p.fillRect(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top), QColor(0, 128, 128));
    }
    // The line leaves out its end point.
    p.fillRect(QRect(kFills[0].left, kFills[0].bottom, kFills[0].right - kFills[0].left, 1),
               QColor(0, 0, 128));
    p.fillRect(QRect(kFills[0].right, kFills[0].top + 1, 1, kFills[0].bottom - kFills[0].top),
               QColor(0, 0, 128));
    return expected;
}

QImage Blocks(const QImage& image, int factor) {
    QImage blocks(image.size() * factor, image.format());
    for (int y = 0; y < blocks.height(); ++y) {
        for (int x = 0; x < blocks.width(); ++x) {
            blocks.setPixel(x, y, image.pixel(x / factor, y / factor));
        }
    }
    return blocks;
}

} // namespace

class ScaledBlitAtRatio : public ::testing::TestWithParam<int> {};

TEST_P(ScaledBlitAtRatio, DrawsWhatScalingInPlaceDraws) {
    const int ratio = GetParam();
    CBitmap basket;
    ASSERT_TRUE(basket.CreateBitmap(68, 68));
    Paint(basket, 0);
    const QSize canvas(400, 300);
    const QRect whole(0, 0, 68, 68);
    // Up and down, odd sizes, the same size at several places, partly outside on every side, and
    // a part of the bitmap.
    const std::vector<CBlit> blits = {
        {10, 10, 90, 90, whole},   {150, 12, 90, 90, whole},
        {7, 160, 45, 45, whole},   {260, 150, 131, 97, whole},
        {-30, -20, 90, 90, whole}, {350, 250, 90, 90, whole},
        {-5, 240, 70, 70, whole},  {120, 200, 50, 33, QRect(10, 20, 30, 40)},
    };
    const QImage first = ByDC(basket, blits, canvas, ratio);
    EXPECT_TRUE(first == Blocks(InPlace(basket, blits, canvas), ratio));
    // Again, now from the kept copies.
    EXPECT_TRUE(ByDC(basket, blits, canvas, ratio) == first);

    // The bitmap changes: the next blits show the change.
    Paint(basket, 99);
    const QImage changed = ByDC(basket, blits, canvas, ratio);
    EXPECT_FALSE(changed == first);
    EXPECT_TRUE(changed == Blocks(InPlace(basket, blits, canvas), ratio));
}

INSTANTIATE_TEST_SUITE_P(PixelRatios, ScaledBlitAtRatio, ::testing::Values(1, 2));

// Drawn on through a DC, the bitmap is a new picture as well. The game's own panel bitmap, of 256
// colours, is kept at a byte a pixel until then, and at 32 bits after.
TEST(ScaledBlit, FollowsDrawingOnTheSourceBitmap) {
    for (const bool loaded : {false, true}) {
        SCOPED_TRACE(loaded ? "the panel bitmap" : "a bitmap of 32 bits");
        CBitmap panel;
        if (loaded) {
            ASSERT_TRUE(panel.LoadBitmap(141));
            EXPECT_EQ(panel.Image()->format(), QImage::Format_Indexed8);
        } else {
            ASSERT_TRUE(panel.CreateBitmap(108, 58));
            Paint(panel, 5);
        }
        ASSERT_EQ(panel.Image()->size(), QSize(108, 58));
        const std::vector<CBlit> blits = {{3, 4, 216, 116, QRect(0, 0, 108, 58)}};
        const QSize canvas(230, 130);
        const QImage before = ByDC(panel, blits, canvas);
        EXPECT_TRUE(before == InPlace(panel, blits, canvas));
        {
            CDC dc;
            dc.CreateCompatibleDC(nullptr);
            dc.SelectObject(&panel);
            RECT r{17, 16, 91, 41};
            dc.FillSolidRect(&r, RGB(0, 0, 255));
        }
        EXPECT_EQ(panel.Image()->format(), QImage::Format_RGB32);
        const QImage after = ByDC(panel, blits, canvas);
        EXPECT_FALSE(after == before);
        EXPECT_TRUE(after == InPlace(panel, blits, canvas));
    }
}
