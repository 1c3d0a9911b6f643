// The play screen as painted after a puzzle is put on the board: lines, numerals, baskets,
// buttons, panels, possibles and the caret, read back from the view's pixels.

#include <QImage>
#include <gtest/gtest.h>

#include "ViewHarness.h"
#include "common/MenuIds.h"

namespace {

const int kW = 800, kH = 600, S = 50, L = 175;

std::unique_ptr<CQuillmoorView> StartGame(unsigned option, int width = kW, int height = kH,
                                          unsigned seed = 7) {
    auto view = MakePaintedView(width, height, seed);
    EXPECT_TRUE(view->OnCmdMsg(option, nullptr));
    ProcessEvents();
    return view;
}

// The first empty square in row order, or -1.
int FirstEmptySquare(const CQuillmoorView& view, int skip = 0) {
    for (int s = 0; s < 81; ++s) {
        if (view.m_grid[s / 9][s % 9] == 0 && view.m_squares[s].value == 0 && skip-- == 0) {
            return s;
        }
    }
    return -1;
}

int ExpectedInitialPoints(int empty) {
    if (empty >= 46) {
        return 300 + 3 * (empty - 46) * (empty - 45);
    }
    return 300 - 3 * (46 - empty) * (47 - empty);
}

CRect Inside(const RECT& r) {
    return CRect(r.left + 1, r.top + 1, r.right - 1, r.bottom - 1);
}

void SetPossibles(CQuillmoorView& view, int s, std::initializer_list<int> values) {
    SquareRecord& sq = view.m_squares[s];
    sq.possiblesPaid = 1;
    int i = 0;
    for (int v : values) {
        sq.possibles[i++] = v;
    }
    while (i < 9) {
        sq.possibles[i++] = 0;
    }
}

} // namespace

class BoardAfterStart : public ::testing::TestWithParam<unsigned> {};

TEST_P(BoardAfterStart, ShowsGridCluesButtonAndInitialPoints) {
    auto view = StartGame(GetParam());
    const CQuillmoorView& v = *view;
    ASSERT_GT(v.m_givenCount, 0);
    EXPECT_EQ(v.m_option, GetParam() == ID_OPTIONS_EASY ? 1 : 2);

    // Square lines light blue, box lines blue over them, the last line on the basket row.
    EXPECT_TRUE(IsColour(PixelAt(v, L + 25, 2 * S), 155, 155, 255));
    EXPECT_TRUE(IsColour(PixelAt(v, L + S, S + 25), 155, 155, 255));
    EXPECT_TRUE(IsColour(PixelAt(v, L + 25, 4 * S), 0, 0, 255));
    EXPECT_TRUE(IsColour(PixelAt(v, L + 3 * S, S + 25), 0, 0, 255));
    EXPECT_TRUE(IsColour(PixelAt(v, L + 25, 10 * S + 1), 0, 0, 255));
    EXPECT_TRUE(IsColour(PixelAt(v, L + 25, 10 * S), 255, 255, 255));
    EXPECT_TRUE(IsColour(PixelAt(v, L + S, 10 * S), 155, 155, 255));         // verticals reach 10S
    EXPECT_TRUE(IsColour(PixelAt(v, L + 9 * S, 10 * S + 1), 255, 255, 255)); // ... and end there
    EXPECT_TRUE(IsColour(PixelAt(v, L + 9 * S - 1, S), 0, 0, 255));          // horizontals end at L + 9S
    EXPECT_TRUE(IsColour(PixelAt(v, L + 9 * S + 1, S), 255, 255, 255));

    // Every clue is red; every empty square is blank inside its lines.
    for (int s = 0; s < 81; ++s) {
        const CRect sq = v.m_squareRect[s / 9][s % 9];
        if (v.m_grid[s / 9][s % 9] > 0) {
            EXPECT_GT(CountColour(v, Inside(sq), 255, 0, 0), 0) << "clue at " << s;
        } else {
            EXPECT_TRUE(AllWhite(v, Inside(sq))) << "empty square " << s;
        }
    }

    // The orange DONE circle: filled inside, outlined, and the corners of its square left white.
    const CRect done = v.m_doneButtonRect;
    const int cx = (done.left + done.right) / 2;
    EXPECT_TRUE(IsColour(PixelAt(v, cx, done.top + 4), 255, 135, 55));
    EXPECT_GT(CountColour(v, CRect(cx - 2, done.top, cx + 3, done.top + 3), 255, 145, 60), 0);
    EXPECT_TRUE(IsColour(PixelAt(v, done.left, done.top), 255, 255, 255));
    EXPECT_GT(CountColour(v, Inside(done), 0, 0, 0), 0); // its caption
    EXPECT_TRUE(AllWhite(v, v.m_againButtonRect));       // no AGAIN while playing

    // The score of the new puzzle came into being at its first paint and is on the panel.
    const int empty = 81 - v.m_givenCount;
    EXPECT_EQ(v.m_emptyCount, empty);
    EXPECT_EQ(v.m_points, ExpectedInitialPoints(empty));
    EXPECT_EQ(v.m_initialPoints, v.m_points);
    EXPECT_GT(CountColour(v, v.m_pointsNumberRect, 192, 0, 0), 0);
    EXPECT_GT(CountColour(v, v.m_pointsLabelRect, 0, 0, 0), 0);
    EXPECT_TRUE(AllWhite(v, v.m_performancePanelRect));

    // Program name, both text panels, and no verdict line.
    EXPECT_GT(CountColour(v, v.m_titleRect, 0, 0, 0), 0);
    EXPECT_GT(CountColour(v, v.m_helpPanelRect, 0, 0, 0), 0);
    EXPECT_GT(CountColour(v, v.m_optionPanelRect, 0, 0, 0), 0);
    EXPECT_TRUE(AllWhite(v, v.m_messageRect));

    // The caret blinks in the centre cell of square (0, 0).
    const CCaretState caret = AfxGetCaretState();
    EXPECT_TRUE(caret.exists);
    EXPECT_TRUE(caret.visible);
    EXPECT_EQ(caret.x, v.m_possibleRect[0][4].left + 2);
    EXPECT_EQ(caret.y, v.m_possibleRect[0][4].top + 2);
    EXPECT_EQ(v.m_caretShowCount, 1);
}

INSTANTIATE_TEST_SUITE_P(EasyAndHard, BoardAfterStart, ::testing::Values(ID_OPTIONS_EASY, ID_OPTIONS_HARD));

TEST(BoardPainting, BasketsAreCopiedOnePixelBelowTheirRectangles) {
    // At a square side of 68 pixels the baskets are copied at their own size, pixel for pixel.
    auto view = StartGame(ID_OPTIONS_EASY, 1100, 816);
    const CQuillmoorView& v = *view;
    ASSERT_EQ(v.m_squareHeight, 68);
    for (int k = 0; k < 9; ++k) {
        const QImage basket =
            QImage(QString(":/res/bitmap/%1.bmp").arg(132 + k)).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(basket.size(), QSize(68, 68));
        const int x0 = v.m_squareRect[9][k].left, y0 = v.m_squareRect[9][k].top + 1;
        EXPECT_EQ(y0, 10 * 68 + 2);
        int mismatches = 0;
        for (int y = 0; y < 68; ++y) {
            for (int x = 0; x < 68; ++x) {
                mismatches += (PixelAt(v, x0 + x, y0 + y) & 0xFFFFFF) != (basket.pixel(x, y) & 0xFFFFFF);
            }
        }
        EXPECT_EQ(mismatches, 0) << "basket " << k + 1;
    }
}

TEST(BoardPainting, NumeralsInTheirColours) {
    auto view = StartGame(ID_OPTIONS_EASY);
    const int green = FirstEmptySquare(*view, 0), blue = FirstEmptySquare(*view, 1);
    view->m_squares[green].value = 4;
    view->m_squares[blue].value = 6;
    view->m_squares[blue].fixed = 1;
    view->PaintBoard();
    const CRect g = Inside(view->m_squareRect[green / 9][green % 9]);
    const CRect b = Inside(view->m_squareRect[blue / 9][blue % 9]);
    EXPECT_GT(CountColour(*view, g, 0, 128, 128), 0);
    EXPECT_EQ(CountColour(*view, g, 0, 0, 128), 0);
    EXPECT_GT(CountColour(*view, b, 0, 0, 128), 0);
    EXPECT_EQ(CountColour(*view, b, 0, 128, 128), 0);
    // A player's numeral is smaller than an original one.
    const int clue = [&] {
        for (int s = 0; s < 81; ++s) {
            if (view->m_grid[s / 9][s % 9] > 0) {
                return s;
            }
        }
        return 0;
    }();
    EXPECT_LT(InkShape(*view, g).size(),
              InkShape(*view, Inside(view->m_squareRect[clue / 9][clue % 9])).size());
}

TEST(BoardPainting, PossiblesGoAlongTheEdgesInOrderAndClearTheNextCell) {
    auto view = StartGame(ID_OPTIONS_EASY);
    CQuillmoorView& v = *view;
    const int few = FirstEmptySquare(v, 0), all = FirstEmptySquare(v, 1);
    // Draw something in every cell of the first square so the clearing is visible.
    SetPossibles(v, few, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    v.PaintBoard();
    SetPossibles(v, few, {2, 5, 7});
    SetPossibles(v, all, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    v.DrawSquarePossibles(few / 9, few % 9);
    v.DrawSquarePossibles(all / 9, all % 9);

    const CRect* fewCells = v.m_possibleRect[(few / 9) * 10 + few % 9];
    const CRect* allCells = v.m_possibleRect[(all / 9) * 10 + all % 9];
    // Reading order along the edges, centre last: the k-th possible goes to these cells.
    const int placement[9] = {0, 1, 2, 3, 5, 6, 7, 8, 4};
    for (int k = 0; k < 9; ++k) {
        EXPECT_GT(CountColour(v, allCells[placement[k]], 160, 160, 160), 0) << "cell " << placement[k];
    }
    // 2, 5 and 7 in the top row; the middle-left cell, the one after them, is cleared. The cells
    // further on keep what was there (the list has only one more cell to clear).
    EXPECT_EQ(InkShape(v, fewCells[0]), InkShape(v, allCells[1])); // the 2
    EXPECT_EQ(InkShape(v, fewCells[1]), InkShape(v, allCells[5])); // the 5
    EXPECT_EQ(InkShape(v, fewCells[2]), InkShape(v, allCells[7])); // the 7
    EXPECT_NE(InkShape(v, fewCells[0]), InkShape(v, fewCells[1]));
    EXPECT_TRUE(AllWhite(v, fewCells[3]));
    EXPECT_GT(CountColour(v, fewCells[5], 160, 160, 160), 0);

    // A full repaint shows only the three.
    v.PaintBoard();
    for (int cell = 3; cell < 9; ++cell) {
        EXPECT_TRUE(AllWhite(v, fewCells[cell])) << cell;
    }
    // Possibles are drawn only for paid squares without a numeral.
    v.m_squares[all].possiblesPaid = 0;
    v.m_squares[few].value = 3;
    v.PaintBoard();
    EXPECT_TRUE(AllWhite(v, Inside(v.m_squareRect[all / 9][all % 9])));
    EXPECT_EQ(CountColour(v, Inside(v.m_squareRect[few / 9][few % 9]), 160, 160, 160), 0);
}

TEST(BoardPainting, RecomputingWithEraseClearsTheCellsButNotANumeral) {
    auto view = StartGame(ID_OPTIONS_EASY);
    CQuillmoorView& v = *view;
    const int s = FirstEmptySquare(v);
    const int r = s / 9, c = s % 9;
    SetPossibles(v, s, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    v.PaintBoard();
    const CRect* cells = v.m_possibleRect[r * 10 + c];

    // A numeral arrives: the outer cells are erased, the centre (where it stands) is not.
    v.m_squares[s].value = 5;
    v.RecomputePossibles(r, c, 1);
    for (int cell = 0; cell < 9; ++cell) {
        if (cell != 4) {
            EXPECT_TRUE(AllWhite(v, cells[cell])) << cell;
        }
    }
    EXPECT_GT(CountColour(v, cells[4], 160, 160, 160), 0);

    // An empty square has its centre erased too, and the refresh draws the new possibles.
    v.m_squares[s].value = 0;
    v.RecomputePossibles(r, c, 1);
    EXPECT_TRUE(AllWhite(v, Inside(v.m_squareRect[r][c])));
    v.RefreshAllPossibles(1);
    EXPECT_GT(CountColour(v, cells[0], 160, 160, 160), 0);
}

TEST(BoardPainting, FinishedGameShowsHomeAgainBothPanelsAndTheVerdict) {
    auto view = StartGame(ID_OPTIONS_HARD);
    CQuillmoorView& v = *view;
    v.m_phase = 2;
    v.m_verdict = CQuillmoorView::kVerdictCorrect;
    v.m_points = v.m_initialPoints - v.m_emptyCount; // a perfect game
    v.HideCaretCompletely();
    v.PaintBoard();

    const CRect home = v.m_doneButtonRect, again = v.m_againButtonRect;
    EXPECT_TRUE(IsColour(PixelAt(v, (home.left + home.right) / 2, home.top + 4), 111, 255, 43));
    EXPECT_TRUE(IsColour(PixelAt(v, (again.left + again.right) / 2, again.top + 4), 255, 140, 255));
    EXPECT_EQ(CountColour(v, Inside(home), 255, 135, 55), 0);
    EXPECT_GT(CountColour(v, Inside(again), 0, 0, 0), 0);
    EXPECT_FALSE(AllWhite(v, v.m_performancePanelRect));
    EXPECT_GT(CountColour(v, v.m_performanceNumberRect, 0, 148, 0), 0);
    EXPECT_EQ(v.m_performance, 100);
    EXPECT_GT(CountColour(v, v.m_messageRect, 255, 0, 0), 0);
    EXPECT_FALSE(AfxGetCaretState().visible);
    EXPECT_EQ(v.m_caretShowCount, 0);

    // A wrong grid: no verdict line, performance 0.
    v.m_verdict = CQuillmoorView::kVerdictWrong;
    v.m_points = 0;
    v.PaintBoard();
    EXPECT_TRUE(AllWhite(v, v.m_messageRect));
    EXPECT_EQ(v.m_performance, 0);
    EXPECT_GT(CountColour(v, v.m_performanceNumberRect, 0, 148, 0), 0);
}

TEST(BoardPainting, NothingIsDrawnWithoutAPuzzle) {
    auto view = MakePaintedView(kW, kH, 3);
    view->Srand(3);
    view->m_givenCount = 0;
    CClientDC(view.get()).FillRect(&view->m_clientRect, &view->m_homeBrush);
    view->PaintBoard();
    EXPECT_TRUE(IsColour(PixelAt(*view, 400, 300), 111, 255, 43));
}

TEST(BoardPainting, InstructionsOverAGameHideTheCaretAndTheBoard) {
    auto view = StartGame(ID_OPTIONS_EASY);
    CQuillmoorView& v = *view;
    ASSERT_TRUE(AfxGetCaretState().visible);
    v.m_helpShown = 1;
    ShowAndPaint(v, kW, kH);
    EXPECT_FALSE(AfxGetCaretState().visible);
    EXPECT_EQ(v.m_caretShowCount, 0);
    EXPECT_TRUE(IsColour(PixelAt(v, L + 25, 4 * S), 255, 255, 255)); // no grid on the page

    // Painted directly, the board still draws, but the caret stays hidden.
    v.PaintBoard();
    EXPECT_TRUE(IsColour(PixelAt(v, L + 25, 4 * S), 0, 0, 255));
    EXPECT_FALSE(AfxGetCaretState().visible);
}
