// Screen geometry at the sizes players have, the instruction page metrics, the font sizes and
// the refusal of a client area that is too small.

#include <QCoreApplication>
#include <QProcess>
#include <gtest/gtest.h>

#include "ViewHarness.h"

namespace {

CRect R(int l, int t, int r, int b) {
    return CRect(l, t, r, b);
}

int CellHeight(CQuillmoorView& view, CFont& font) {
    CClientDC dc(&view);
    dc.SelectObject(&font);
    return dc.GetTextExtent("0", 1).cy;
}

} // namespace

TEST(ScreenGeometry, At780x540TheSmallestAcceptedClient) {
    auto view = MakePaintedView(780, 540, 1);
    EXPECT_EQ(view->m_clientRect, R(0, 0, 780, 540));
    EXPECT_EQ(view->m_squareHeight, 45);
    EXPECT_EQ(view->m_squareWidth, 45);
    EXPECT_EQ(view->m_gridTop, 45);
    EXPECT_EQ(view->m_gridLeft, 187);
    EXPECT_EQ(view->m_possibleSize, 15);
    EXPECT_EQ(view->m_panelHeight, 48);
    EXPECT_EQ(view->m_panelInset, 14);
    EXPECT_EQ(view->m_optionPanelRect, R(601, 166, 774, 492));
    EXPECT_EQ(view->m_helpPanelRect, R(9, 45, 178, 540));

    EXPECT_EQ(CellHeight(*view, view->m_verdictFont), 35);
    EXPECT_EQ(CellHeight(*view, view->m_playerFont), 11);
    EXPECT_EQ(CellHeight(*view, view->m_bannerFont), 22);
    EXPECT_EQ(CellHeight(*view, view->m_mainFont), 12);
    view->DrawSquarePossibles(0, 0); // the possibles font is made per square
    EXPECT_EQ(CellHeight(*view, view->m_possiblesFont), 10);
}

TEST(ScreenGeometry, At800x600) {
    auto view = MakePaintedView(800, 600, 1);
    const int S = 50, L = 175;
    EXPECT_EQ(view->m_squareHeight, S);
    EXPECT_EQ(view->m_gridLeft, L);
    EXPECT_EQ(view->m_possibleSize, 16);
    EXPECT_EQ(view->m_panelWidth, 100);
    EXPECT_EQ(view->m_panelHeight, 53);
    EXPECT_EQ(view->m_panelInset, 16);

    // Squares run from y = 50 to 500; every square is S by S and they tile the grid.
    for (int r = 0; r < 9; ++r) {
        for (int c = 0; c < 10; ++c) {
            EXPECT_EQ(view->m_squareRect[r][c], R(L + c * S, S + r * S, L + c * S + S, S + r * S + S))
                << r << "," << c;
        }
    }
    EXPECT_EQ(view->m_squareRect[8][8].bottom, 500);
    // The basket row is shifted one pixel down: 501 to 551.
    for (int c = 0; c < 10; ++c) {
        EXPECT_EQ(view->m_squareRect[9][c], R(L + c * S, 501, L + c * S + S, 551)) << c;
    }
    EXPECT_EQ(view->m_messageRect, R(L, 551, L + 9 * S, 600));
    EXPECT_EQ(view->m_titleRect, R(0, 0, 800, S));

    // Possible-cells: outer ones t wide starting one pixel in, the middle ones take the rest.
    const CRect* cells = view->m_possibleRect[0];
    EXPECT_EQ(cells[0], R(176, 51, 192, 67));
    EXPECT_EQ(cells[1], R(192, 51, 209, 67));
    EXPECT_EQ(cells[2], R(209, 51, 225, 67));
    EXPECT_EQ(cells[4], R(192, 67, 209, 84));
    EXPECT_EQ(cells[6], R(176, 84, 192, 100));
    EXPECT_EQ(cells[8], R(209, 84, 225, 100));
    // Row 9 keeps the cells of the unshifted rectangle.
    EXPECT_EQ(view->m_possibleRect[90][0], R(176, 501, 192, 517));

    EXPECT_EQ(view->m_doneButtonRect, R(748, 548, 798, 598));
    EXPECT_EQ(view->m_againButtonRect, R(696, 548, 746, 598));
    EXPECT_EQ(view->m_pointsPanelRect, R(694, 6, 794, 59));
    EXPECT_EQ(view->m_pointsNumberRect, R(710, 22, 778, 43));
    EXPECT_EQ(view->m_pointsLabelRect, R(694, 6, 794, 20));
    EXPECT_EQ(view->m_performancePanelRect, R(694, 76, 794, 129));
    EXPECT_EQ(view->m_performanceNumberRect, R(710, 92, 778, 113));
    EXPECT_EQ(view->m_performanceLabelRect, R(694, 76, 794, 90));
    EXPECT_EQ(view->m_optionPanelRect, R(635, 182, 794, 547));
    EXPECT_EQ(view->m_helpPanelRect, R(10, 50, 165, 600));

    // The caret position follows the centre cell of the caret square.
    EXPECT_EQ(view->m_caretX, 194);
    EXPECT_EQ(view->m_caretY, 69);
}

TEST(ScreenGeometry, At1024x768WithItsPageMetrics) {
    auto view = MakePaintedView(1024, 768, 1);
    EXPECT_EQ(view->m_squareHeight, 64);
    EXPECT_EQ(view->m_gridLeft, 224);
    EXPECT_EQ(view->m_panelHeight, 68);
    EXPECT_EQ(view->m_panelInset, 21);
    EXPECT_EQ(view->m_panelFontDivisor, 42);
    EXPECT_EQ(view->m_bodyFontDivisor, 31);
    EXPECT_EQ(view->m_panelFontAdjust, 0);
    EXPECT_EQ(view->m_lastClientRect, R(0, 0, 1024, 768));
}

TEST(ScreenGeometry, PageMetricsByClientSize) {
    struct Row {
        int w, h, panel, body, adjust;
    } rows[] = {
        {1200, 680, 32, 30, 0},  {1200, 660, 32, 31, 0},  {1500, 800, 42, 31, 0},   {1024, 2000, 42, 31, 0},
        {1025, 600, 44, 31, 0},  {1152, 600, 44, 31, 0},  {1280, 971, 44, 31, 0},   {1280, 970, 42, 31, 0},
        {1280, 901, 42, 31, 0},  {1280, 900, 34, 31, 0},  {1280, 701, 34, 31, 0},   {1280, 700, 32, 30, 0},
        {1280, 661, 32, 30, 0},  {1360, 1000, 32, 31, 0}, {1600, 1151, 41, 31, -3}, {1361, 1150, 36, 31, -2},
        {1361, 971, 36, 31, -2}, {1600, 970, 32, 31, -1}, {1600, 851, 32, 31, -1},  {1600, 850, 42, 31, 0},
        {1601, 900, 37, 31, 0},  {2560, 1440, 37, 31, 0},
    };
    for (const Row& row : rows) {
        int panel = 0, body = 0, adjust = 99;
        CQuillmoorView::PageMetricsFor(row.w, row.h, &panel, &body, &adjust);
        EXPECT_EQ(panel, row.panel) << row.w << "x" << row.h;
        EXPECT_EQ(body, row.body) << row.w << "x" << row.h;
        EXPECT_EQ(adjust, row.adjust) << row.w << "x" << row.h;
    }
}

TEST(ScreenGeometry, RepaintAtANewSizeLaysOutAgain) {
    auto view = MakePaintedView(800, 600, 1);
    ShowAndPaint(*view, 1024, 768);
    EXPECT_EQ(view->m_squareHeight, 64);
    EXPECT_EQ(view->m_lastClientRect, R(0, 0, 1024, 768));
    EXPECT_EQ(view->m_squareRect[9][0].top, 64 * 10 + 1);
}

// The too-small check ends the program, so it runs in a child copy of this test binary.
namespace {

struct ChildResult {
    bool finished;
    int exitCode;
    QString output;
};

ChildResult PaintInChild(const char* size) {
    QProcess child;
    child.setProcessChannelMode(QProcess::SeparateChannels);
    child.start(QCoreApplication::applicationFilePath(), {QString("--paint-child=") + size});
    const bool finished = child.waitForFinished(20000);
    return {finished && child.exitStatus() == QProcess::NormalExit, child.exitCode(),
            QString::fromUtf8(child.readAllStandardOutput())};
}

const char kAbortText[] = "messagebox: Program Abort: This game needs a minimum screen width of 800 and a "
                          "minimum screen height of 600.";

} // namespace

TEST(ScreenGeometry, TooNarrowOrTooLowClientEndsTheProgramAfterTheMessage) {
    for (const char* size : {"779x600", "800x539"}) {
        const ChildResult result = PaintInChild(size);
        ASSERT_TRUE(result.finished) << size;
        EXPECT_EQ(result.exitCode, 0) << size;
        EXPECT_EQ(result.output.count(kAbortText), 1) << size << ": " << result.output.toStdString();
        EXPECT_FALSE(result.output.contains("painted")) << size;
    }
    const ChildResult accepted = PaintInChild("780x540");
    ASSERT_TRUE(accepted.finished);
    EXPECT_EQ(accepted.exitCode, 3);
    EXPECT_FALSE(accepted.output.contains("messagebox")) << accepted.output.toStdString();
}

// Once the program has started, a window squeezed below the minimum by a window manager (which
// gives the size back) is not painted at all: the game and its geometry stay as they were.
TEST(ScreenGeometry, TooSmallAfterTheFirstPaintIsRefusedWithoutEndingTheGame) {
    auto view = MakePaintedView(1024, 768, 7);
    ASSERT_TRUE(view->OnCmdMsg(32771, nullptr));
    ProcessEvents();
    const int points = view->m_points;
    for (const QSize size : {QSize(700, 500), QSize(1, 32767), QSize(1024, 539)}) {
        ShowAndPaint(*view, size.width(), size.height());
        EXPECT_EQ(view->m_clientRect, CRect(0, 0, 1024, 768)) << size.width() << "x" << size.height();
        EXPECT_EQ(view->m_squareHeight, 64);
        EXPECT_EQ(view->m_option, 1);
        EXPECT_EQ(view->m_points, points);
    }
    ShowAndPaint(*view, 1024, 768);
    EXPECT_EQ(view->m_squareHeight, 64);
    EXPECT_GT(CountColour(*view, view->m_doneButtonRect, 255, 135, 55), 100) << "the board is back";
}

TEST(ViewConstruction, InstructionTextEndsWithItsMarkerAndNothingAfter) {
    CQuillmoorView view;
    EXPECT_EQ(view.m_helpText[0], "[Instructions For Cellwright, : Limited Version QV317 .. ");
    int end = 0;
    while (end < CQuillmoorView::kHelpTextCapacity && view.m_helpText[end] != "???*???") {
        EXPECT_FALSE(view.m_helpText[end].IsEmpty()) << end;
        ++end;
    }
    ASSERT_LT(end, CQuillmoorView::kHelpTextCapacity);
    for (int i = end + 1; i < CQuillmoorView::kHelpTextCapacity; ++i) {
        EXPECT_TRUE(view.m_helpText[i].IsEmpty()) << i;
    }
}

TEST(ScreenGeometry, TallNarrowClientRunsTheGridOffBothSidesWithoutHarm) {
    auto view = MakePaintedView(780, 1800, 5);
    EXPECT_EQ(view->m_gridLeft, -285);
    EXPECT_TRUE(view->m_helpPanelRect.IsRectEmpty());
    ASSERT_TRUE(view->OnCmdMsg(32771, nullptr));
    view->PaintBoard();
    EXPECT_EQ(view->m_option, 1);
}
