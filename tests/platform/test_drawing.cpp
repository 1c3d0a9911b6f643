#include "PlatformTestUtil.h"

#include <gtest/gtest.h>

namespace {

// Bounding box of the pixels that differ from white inside an area.
QRect InkBox(const CView& view, const QRect& area) {
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (PixelAt(view, x, y) != kWhite)
                box |= QRect(x, y, 1, 1);
    return box;
}

class Drawing : public ::testing::Test {
  protected:
    void SetUp() override { ShowView(m_view, 300, 200); }
    CTestView m_view;
};

} // namespace

TEST_F(Drawing, FillRectExcludesRightAndBottom) {
    CBrush red(RGB(255, 0, 0));
    {
        CClientDC dc(&m_view);
        RECT r{10, 20, 30, 25};
        dc.FillRect(&r, &red);
        RECT empty{50, 50, 50, 60};
        dc.FillRect(&empty, &red);
    }
    EXPECT_EQ(InkBox(m_view, QRect(0, 0, 300, 200)), QRect(10, 20, 20, 5));
    EXPECT_EQ(PixelAt(m_view, 29, 24), RGB(255, 0, 0));
}

TEST_F(Drawing, LineToLeavesOutTheEndPoint) {
    CPen blue(PS_SOLID, 1, RGB(0, 0, 255));
    {
        CClientDC dc(&m_view);
        dc.SelectObject(&blue);
        dc.MoveTo(10, 10);
        dc.LineTo(20, 10); // horizontal, rightwards
        dc.MoveTo(40, 30);
        dc.LineTo(40, 20); // vertical, upwards
        dc.MoveTo(100, 100);
        dc.LineTo(110, 105); // diagonal
    }
    EXPECT_EQ(InkBox(m_view, QRect(0, 0, 35, 15)), QRect(10, 10, 10, 1));
    EXPECT_EQ(PixelAt(m_view, 19, 10), RGB(0, 0, 255));
    EXPECT_EQ(InkBox(m_view, QRect(35, 15, 20, 20)), QRect(40, 21, 1, 10));
    EXPECT_EQ(PixelAt(m_view, 100, 100), RGB(0, 0, 255));
    EXPECT_EQ(PixelAt(m_view, 110, 105), kWhite);
}

TEST_F(Drawing, EllipseStaysInsideItsRectWithPenAndBrushColours) {
    const COLORREF pen = RGB(255, 145, 60), fill = RGB(255, 135, 55);
    CPen outline(PS_SOLID, 1, pen);
    CBrush brush(fill);
    {
        CClientDC dc(&m_view);
        dc.SelectObject(&outline);
        dc.SelectObject(&brush);
        RECT r{50, 40, 100, 90};
        dc.Ellipse(&r);
    }
    EXPECT_TRUE(QRect(50, 40, 50, 50).contains(InkBox(m_view, QRect(0, 0, 300, 200))));
    EXPECT_EQ(InkBox(m_view, QRect(0, 0, 300, 200)).width(), 50);
    EXPECT_EQ(PixelAt(m_view, 75, 65), fill);
    EXPECT_EQ(PixelAt(m_view, 50, 65), pen);
    EXPECT_EQ(PixelAt(m_view, 99, 65), pen);
    EXPECT_EQ(PixelAt(m_view, 75, 40), pen);
    EXPECT_EQ(PixelAt(m_view, 75, 89), pen);
    EXPECT_EQ(PixelAt(m_view, 50, 40), kWhite); // corners stay outside the ellipse
}

TEST_F(Drawing, StretchBltScalesWithoutSmoothing) {
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateBitmap(2, 1));
    {
        CDC mem;
        mem.CreateCompatibleDC(nullptr);
        mem.SelectObject(&bitmap);
        RECT left{0, 0, 1, 1};
        CBrush black(RGB(0, 0, 0));
        mem.FillRect(&left, &black); // pixel 0 black, pixel 1 white
        CClientDC dc(&m_view);
        dc.SetStretchBltMode(COLORONCOLOR);
        dc.StretchBlt(10, 10, 68, 34, &mem, 0, 0, 2, 1, SRCCOPY);
    }
    for (int x = 10; x < 78; ++x) {
        COLORREF c = PixelAt(m_view, x, 20);
        EXPECT_TRUE(c == RGB(0, 0, 0) || c == kWhite) << x; // no blended greys
    }
    EXPECT_EQ(PixelAt(m_view, 10, 10), RGB(0, 0, 0));
    EXPECT_EQ(PixelAt(m_view, 42, 43), RGB(0, 0, 0));
    EXPECT_EQ(PixelAt(m_view, 46, 43), kWhite);
    EXPECT_EQ(PixelAt(m_view, 42, 44), kWhite); // below the target
}

TEST_F(Drawing, TextOutPutsTheCellTopLeftAtThePoint) {
    CFont font;
    font.CreateSimple(30, "Arial Bold");
    {
        CClientDC dc(&m_view);
        dc.SelectObject(&font);
        dc.SetBkMode(TRANSPARENT);
        dc.TextOut(40, 50, "H", 1);
    }
    QRect ink = InkBox(m_view, QRect(0, 0, 300, 200));
    ASSERT_FALSE(ink.isEmpty());
    // The glyph sits inside its cell: below y and above y + height, starting near x.
    EXPECT_GE(ink.top(), 50);
    EXPECT_LT(ink.top(), 50 + 12);
    EXPECT_LE(ink.bottom(), 50 + 30);
    EXPECT_GE(ink.left(), 40);
    EXPECT_LT(ink.left(), 40 + 6);
}

TEST_F(Drawing, OpaqueTextPaintsTheBackgroundAndTransparentDoesNot) {
    CFont font;
    font.CreateSimple(20, "Arial");
    CBrush grey(RGB(128, 128, 128));
    RECT area{0, 0, 300, 200};
    {
        CClientDC dc(&m_view);
        dc.FillRect(&area, &grey);
        dc.SelectObject(&font);
        dc.TextOut(10, 10, ".", 1); // default: opaque white behind the text cell
        dc.SetBkMode(TRANSPARENT);
        dc.TextOut(10, 100, ".", 1);
    }
    EXPECT_EQ(PixelAt(m_view, 10, 10), kWhite);
    EXPECT_EQ(PixelAt(m_view, 10, 29), kWhite);
    EXPECT_EQ(PixelAt(m_view, 10, 30), RGB(128, 128, 128));
    EXPECT_EQ(PixelAt(m_view, 10, 100), RGB(128, 128, 128));
}

TEST_F(Drawing, DrawTextCentresASingleLine) {
    CFont font;
    font.CreateSimple(24, "Arial Bold");
    RECT r{100, 50, 200, 150};
    int width = 0;
    {
        CClientDC dc(&m_view);
        dc.SelectObject(&font);
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(RGB(255, 0, 0));
        width = dc.GetTextExtent("8", 1).cx;
        dc.DrawText("8", 1, &r, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    }
    QRect ink = InkBox(m_view, QRect(0, 0, 300, 200));
    ASSERT_FALSE(ink.isEmpty());
    const int cellTop = (50 + 150 - 24) / 2, cellLeft = (100 + 200 - width) / 2;
    EXPECT_GE(ink.top(), cellTop);
    EXPECT_LE(ink.bottom(), cellTop + 24);
    EXPECT_GE(ink.left(), cellLeft);
    EXPECT_LE(ink.right(), cellLeft + width);
    EXPECT_NEAR(ink.center().x(), 150, 2);
    int red = 0;
    for (int y = ink.top(); y <= ink.bottom(); ++y)
        for (int x = ink.left(); x <= ink.right(); ++x)
            red += PixelAt(m_view, x, y) == RGB(255, 0, 0);
    EXPECT_GT(red, 10); // solid glyph pixels in the exact text colour
}

TEST_F(Drawing, DrawTextRightAlignsAndClips) {
    CFont font;
    font.CreateSimple(20, "Arial");
    RECT r{50, 10, 150, 30};
    RECT clipped{50, 100, 70, 120};
    {
        CClientDC dc(&m_view);
        dc.SelectObject(&font);
        dc.SetBkMode(TRANSPARENT);
        dc.DrawText("Page", -1, &r, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
        dc.DrawText("WWWWWWWWWW", -1, &clipped, DT_SINGLELINE);
    }
    QRect ink = InkBox(m_view, QRect(0, 0, 300, 50));
    EXPECT_LE(ink.right(), 149);
    EXPECT_GE(ink.right(), 145);
    EXPECT_GT(ink.left(), 90);
    EXPECT_TRUE(QRect(50, 100, 20, 20).contains(InkBox(m_view, QRect(0, 90, 300, 40))));
}

TEST_F(Drawing, WordBreakWrapsAtSpacesHonoursNewlinesAndClips) {
    CFont font;
    font.CreateSimple(20, "Arial");
    RECT r{10, 10, 130, 190};
    int lines = 0;
    {
        CClientDC dc(&m_view);
        dc.SelectObject(&font);
        dc.SetBkMode(TRANSPARENT);
        lines = dc.DrawText("one two three four five six\n\nseven", -1, &r, DT_WORDBREAK) / 20;
    }
    // Wider than 120 px on one line, so at least two lines, then an empty line, then "seven".
    EXPECT_GE(lines, 4);
    QRect ink = InkBox(m_view, QRect(0, 0, 300, 200));
    EXPECT_TRUE(QRect(10, 10, 120, 180).contains(ink));
    // The line before "seven" is empty: no ink in that row of cells.
    int emptyRowTop = 10 + (lines - 2) * 20;
    EXPECT_TRUE(InkBox(m_view, QRect(10, emptyRowTop + 2, 120, 16)).isEmpty());
    EXPECT_FALSE(InkBox(m_view, QRect(10, emptyRowTop + 20, 120, 20)).isEmpty());

    // Clipped to the rectangle: text below it is not drawn.
    {
        CClientDC dc(&m_view);
        dc.SelectObject(&font);
        RECT small{150, 10, 290, 35};
        dc.DrawText("alpha beta gamma delta epsilon zeta eta theta", -1, &small, DT_WORDBREAK);
    }
    EXPECT_TRUE(QRect(150, 10, 140, 25).contains(InkBox(m_view, QRect(140, 0, 160, 200))));
}

TEST(ViewDrawing, OnDrawRunsOnShowResizeAndInvalidateButNotOnPresentation) {
    CTestView view;
    CBrush green(RGB(0, 128, 0));
    view.m_draw = [&](CDC* dc) {
        RECT r{0, 0, 10, 10};
        dc->FillRect(&r, &green);
    };
    ShowView(view, 200, 100);
    EXPECT_EQ(view.m_drawCount, 1);
    EXPECT_EQ(PixelAt(view, 5, 5), RGB(0, 128, 0));
    EXPECT_EQ(view.BackingImage().size(), QSize(200, 100));

    view.PresentNow();
    view.Widget()->update();
    QApplication::processEvents();
    EXPECT_EQ(view.m_drawCount, 1);
    { CClientDC dc(&view); }
    QApplication::processEvents();
    EXPECT_EQ(view.m_drawCount, 1);

    view.Widget()->resize(240, 130);
    QApplication::processEvents();
    EXPECT_EQ(view.m_drawCount, 2);
    EXPECT_EQ(view.BackingImage().size(), QSize(240, 130));
    RECT client;
    view.GetClientRect(&client);
    EXPECT_EQ(client.right, 240);
    EXPECT_EQ(client.bottom, 130);

    view.Invalidate();
    view.Invalidate(); // requests coalesce
    QApplication::processEvents();
    EXPECT_EQ(view.m_drawCount, 3);

    view.Invalidate();
    view.UpdateWindow(); // synchronous
    EXPECT_EQ(view.m_drawCount, 4);
}

// A text drawn over a rectangle just filled comes out the same however often it is drawn (after
// the first draws it is set from a kept picture): with another colour, another text, a line of the
// text's colour drawn between the fill and an opaque text (whose background must cover it), and an
// opaque background of another colour (three colours, not kept), each draws its own pixels, the
// same every time.
TEST_F(Drawing, TextOverAFillIsTheSameAtEveryDraw) {
    CFont font;
    font.CreateSimple(16, "Arial");
    const COLORREF yellow = RGB(255, 255, 200), blue = RGB(0, 0, 255);
    CBrush fill(yellow);
    CPen pen(PS_SOLID, 1, blue);
    struct CVariant {
        const char* text;
        COLORREF colour;
        bool line;
        int bkMode;
        COLORREF bk;
    };
    const char* const help = "To populate a square, drag a number from one of the baskets below the grid.";
    const CVariant variants[] = {
        {help, blue, false, TRANSPARENT, yellow},
        {help, RGB(255, 0, 0), false, TRANSPARENT, yellow},
        {"Any time you hear a 'brrr' sound, something is not allowed.", blue, false, TRANSPARENT, yellow},
        {help, blue, true, OPAQUE, yellow},
        {help, blue, false, OPAQUE, RGB(0, 255, 0)},
    };
    auto draw = [&](const CVariant& v) {
        {
            CClientDC dc(&m_view);
            RECT r{20, 30, 220, 150};
            dc.FillRect(&r, &fill);
            if (v.line) {
                dc.SelectObject(&pen);
                dc.MoveTo(100, 31); // under the text's lines and below them
                dc.LineTo(100, 148);
            }
            dc.SelectObject(&font);
            dc.SetTextColor(v.colour);
            dc.SetBkMode(v.bkMode);
            dc.SetBkColor(v.bk);
            dc.DrawText(v.text, -1, &r, DT_WORDBREAK);
        }
        return m_view.BackingImage().copy();
    };
    std::vector<QImage> firsts;
    for (const CVariant& v : variants) {
        const QImage first = draw(v);
        for (int again = 1; again <= 3; ++again) {
            EXPECT_TRUE(draw(v) == first) << v.text << ", drawn again " << again << " times";
        }
        for (const QImage& other : firsts) {
            EXPECT_FALSE(other == first) << "two variants drew the same";
        }
        firsts.push_back(first);
    }
}
