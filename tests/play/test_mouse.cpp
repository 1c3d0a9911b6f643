// The mouse on the test puzzle's board: every row of the outcome table with its points and
// sounds, the strict hit tests, the double click, the possibles, and what is ignored.

#include <QtTest/QTest>
#include <algorithm>
#include <gtest/gtest.h>

#include "PlayHarness.h"

namespace {

const std::vector<int> kNoSound;

// A numeral from a basket onto square (r, c).
void Drop(CQuillmoorView& view, int numeral, int r, int c) {
    Drag(view, BasketCentre(view, numeral), SquareCentre(view, r, c));
}

CPoint OffTheGrid(const CQuillmoorView& view) {
    return RectCentre(view.m_titleRect);
}

int Value(const CQuillmoorView& view, int r, int c) {
    return Square(view, r, c).value;
}

} // namespace

TEST(MousePlay, BasketDropFillsOrReplacesGreenForOnePointEach) {
    auto view = TestPuzzleGame();
    ASSERT_EQ(view->m_option, 3);
    ASSERT_EQ(view->m_points, 300); // 46 empty squares

    Drop(*view, 5, 0, 0);
    EXPECT_EQ(Value(*view, 0, 0), 5);
    EXPECT_EQ(Square(*view, 0, 0).fixed, 0);
    EXPECT_TRUE(ShowsGreen(*view, 0, 0));
    EXPECT_EQ(view->m_points, 299);

    Drop(*view, 7, 0, 0);
    EXPECT_EQ(Value(*view, 0, 0), 7);
    EXPECT_EQ(view->m_points, 298);
    EXPECT_EQ(Sounds(), kNoSound);
}

TEST(MousePlay, BasketDropsThatAreRefusedChangeNothing) {
    auto view = TestPuzzleGame();
    Drop(*view, 5, 0, 0);
    Click(*view, SquareCentre(*view, 0, 0)); // now blue
    ASSERT_EQ(Square(*view, 0, 0).fixed, 1);
    ClearSounds();
    const int points = view->m_points;

    Drop(*view, 3, 0, 1);                                              // an original number
    Drop(*view, 3, 0, 0);                                              // a blue numeral
    Drag(*view, BasketCentre(*view, 3), OffTheGrid(*view));            // off the grid
    Drag(*view, BasketCentre(*view, 3), BasketCentre(*view, 3));       // back on its basket
    Drag(*view, BasketCentre(*view, 3), GridLineRightOf(*view, 0, 2)); // on a grid line

    EXPECT_EQ(Sounds(), std::vector<int>(5, 103));
    EXPECT_EQ(view->m_points, points);
    EXPECT_EQ(view->m_grid[0][1], 8);
    EXPECT_EQ(Value(*view, 0, 0), 5);
    EXPECT_EQ(Value(*view, 0, 3), 0);
    EXPECT_EQ(Value(*view, 0, 2), 0);
}

TEST(MousePlay, ClickFixesAndUnfixesForFreeAndADoubleClickFixesOnce) {
    auto view = TestPuzzleGame();
    Drop(*view, 5, 0, 0);
    const int points = view->m_points;

    Click(*view, SquareCentre(*view, 0, 0));
    EXPECT_EQ(Square(*view, 0, 0).fixed, 1);
    EXPECT_TRUE(ShowsBlue(*view, 0, 0));
    EXPECT_FALSE(ShowsGreen(*view, 0, 0));

    Click(*view, SquareCentre(*view, 0, 0));
    EXPECT_EQ(Square(*view, 0, 0).fixed, 0);
    EXPECT_TRUE(ShowsGreen(*view, 0, 0));

    DoubleClick(*view, SquareCentre(*view, 0, 0));
    EXPECT_EQ(Square(*view, 0, 0).fixed, 1);
    EXPECT_EQ(view->m_doubleClickPending, 0);

    // The swallowed second click leaves the next click working normally.
    Click(*view, SquareCentre(*view, 0, 0));
    EXPECT_EQ(Square(*view, 0, 0).fixed, 0);
    EXPECT_EQ(view->m_points, points);
    EXPECT_EQ(Sounds(), kNoSound);
}

TEST(MousePlay, DoubleClickOnABasketGivesOneBrrr) {
    auto view = TestPuzzleGame();
    DoubleClick(*view, BasketCentre(*view, 4));
    EXPECT_EQ(Sounds(), std::vector<int>{103});
    EXPECT_EQ(view->m_points, 300);
}

TEST(MousePlay, GreenNumeralsMoveSwapAndLeaveTheGridForFree) {
    auto view = TestPuzzleGame();
    Drop(*view, 5, 0, 0);
    Drop(*view, 3, 0, 3);
    ASSERT_EQ(view->m_points, 298);

    Drag(*view, SquareCentre(*view, 0, 0), SquareCentre(*view, 1, 0)); // to an empty square
    EXPECT_EQ(Value(*view, 0, 0), 0);
    EXPECT_EQ(Value(*view, 1, 0), 5);
    EXPECT_FALSE(ShowsGreen(*view, 0, 0));
    EXPECT_TRUE(ShowsGreen(*view, 1, 0));

    Drag(*view, SquareCentre(*view, 1, 0), SquareCentre(*view, 0, 3)); // onto another green
    EXPECT_EQ(Value(*view, 1, 0), 3);
    EXPECT_EQ(Value(*view, 0, 3), 5);

    Drag(*view, SquareCentre(*view, 0, 3), OffTheGrid(*view));
    EXPECT_EQ(Value(*view, 0, 3), 0);
    EXPECT_FALSE(ShowsGreen(*view, 0, 3));

    // Released on a grid line counts as off the grid.
    Drag(*view, SquareCentre(*view, 1, 0), GridLineRightOf(*view, 1, 0));
    EXPECT_EQ(Value(*view, 1, 0), 0);

    EXPECT_EQ(view->m_points, 298);
    EXPECT_EQ(Sounds(), kNoSound);
}

TEST(MousePlay, MovesOntoProtectedSquaresAndMovesOfBlueNumeralsAreRefused) {
    auto view = TestPuzzleGame();
    Drop(*view, 5, 0, 0); // green
    Drop(*view, 3, 0, 3); // to be blue
    Click(*view, SquareCentre(*view, 0, 3));
    ClearSounds();

    Drag(*view, SquareCentre(*view, 0, 0), SquareCentre(*view, 0, 1)); // green onto an original
    Drag(*view, SquareCentre(*view, 0, 0), SquareCentre(*view, 0, 3)); // green onto blue
    Drag(*view, SquareCentre(*view, 0, 3), SquareCentre(*view, 1, 0)); // blue onto an empty square
    Drag(*view, SquareCentre(*view, 0, 3), SquareCentre(*view, 0, 0)); // blue onto green
    Drag(*view, SquareCentre(*view, 0, 3), OffTheGrid(*view));         // blue off the grid

    EXPECT_EQ(Sounds(), std::vector<int>(5, 103));
    EXPECT_EQ(Value(*view, 0, 0), 5);
    EXPECT_EQ(Value(*view, 0, 3), 3);
    EXPECT_EQ(Square(*view, 0, 3).fixed, 1);
    EXPECT_EQ(Value(*view, 1, 0), 0);
    EXPECT_EQ(view->m_grid[0][1], 8);
    EXPECT_EQ(view->m_points, 298);
}

TEST(MousePlay, APressOnAGridLineHitsNothing) {
    auto view = TestPuzzleGame();
    Drop(*view, 5, 0, 0);
    ClearSounds();
    // On the line between a green numeral and an original number: neither is pressed.
    Drag(*view, GridLineRightOf(*view, 0, 0), SquareCentre(*view, 1, 0));
    EXPECT_EQ(Sounds(), kNoSound);
    EXPECT_EQ(Value(*view, 0, 0), 5);
    EXPECT_EQ(Value(*view, 1, 0), 0);
}

TEST(MousePlay, PressOnAnEmptySquareWithoutPossiblesOrOnAnOriginalIsRefusedAtThePress) {
    auto view = TestPuzzleGame();
    LeftPress(*view, SquareCentre(*view, 0, 0));
    EXPECT_EQ(Sounds(), std::vector<int>{103});
    LeftRelease(*view, SquareCentre(*view, 0, 0));
    LeftPress(*view, SquareCentre(*view, 0, 1));
    EXPECT_EQ(Sounds(), (std::vector<int>{103, 103}));
    LeftRelease(*view, SquareCentre(*view, 1, 0));
    EXPECT_EQ(Sounds(), (std::vector<int>{103, 103}));
    EXPECT_EQ(Value(*view, 1, 0), 0);
}

TEST(MousePlay, RightClickBuysPossiblesOnceForFivePoints) {
    auto view = TestPuzzleGame();
    RightClick(*view, SquareCentre(*view, 2, 0));
    const SquareRecord& sq = Square(*view, 2, 0);
    EXPECT_EQ(sq.possiblesPaid, 1);
    EXPECT_EQ(view->m_points, 295);
    // Row 2, column 0 and box 0 leave 1, 2, 3 and 7 (the solution has 2 here).
    EXPECT_EQ(std::vector<int>(sq.possibles, sq.possibles + 5), (std::vector<int>{1, 2, 3, 7, 0}));
    EXPECT_TRUE(ShowsGray(*view, 2, 0));

    RightClick(*view, SquareCentre(*view, 2, 0));
    EXPECT_EQ(view->m_points, 295);
    EXPECT_EQ(Sounds(), std::vector<int>{103});
}

TEST(MousePlay, RightClickIsRefusedOnOriginalGreenAndBlueNumeralsAndOffTheGridIgnored) {
    auto view = TestPuzzleGame();
    Drop(*view, 5, 0, 0);
    Drop(*view, 3, 0, 3);
    Click(*view, SquareCentre(*view, 0, 3));
    ClearSounds();

    RightClick(*view, SquareCentre(*view, 0, 1)); // original
    RightClick(*view, SquareCentre(*view, 0, 0)); // green
    RightClick(*view, SquareCentre(*view, 0, 3)); // blue
    EXPECT_EQ(Sounds(), std::vector<int>(3, 103));
    RightClick(*view, OffTheGrid(*view));
    RightClick(*view, GridLineRightOf(*view, 2, 0));
    EXPECT_EQ(Sounds(), std::vector<int>(3, 103));

    EXPECT_EQ(view->m_points, 298);
    EXPECT_EQ(Square(*view, 0, 0).possiblesPaid, 0);
    EXPECT_EQ(Value(*view, 0, 0), 5);
}

TEST(MousePlay, ClickingAPossiblePlacesItAndUpdatesTheOtherBoughtSquares) {
    auto view = TestPuzzleGame();
    RightClick(*view, SquareCentre(*view, 2, 0)); // 1 2 3 7
    RightClick(*view, SquareCentre(*view, 2, 1)); // same row and box
    RightClick(*view, SquareCentre(*view, 7, 0)); // same column
    ASSERT_EQ(view->m_points, 285);
    auto has = [&](int r, int c, int v) {
        const int* p = Square(*view, r, c).possibles;
        return std::find(p, p + 9, v) != p + 9;
    };
    ASSERT_TRUE(has(2, 1, 1));
    ASSERT_TRUE(has(7, 0, 1));

    // 1 is the first possible of (2, 0): the top-left cell.
    Click(*view, SlotCentre(*view, 2, 0, CQuillmoorView::kPossibleSlot[0]));
    EXPECT_EQ(Value(*view, 2, 0), 1);
    EXPECT_EQ(view->m_points, 284);
    EXPECT_TRUE(ShowsGreen(*view, 2, 0));
    EXPECT_FALSE(ShowsGray(*view, 2, 0));
    EXPECT_FALSE(has(2, 1, 1));
    EXPECT_FALSE(has(7, 0, 1));
    EXPECT_EQ(Sounds(), kNoSound);
}

TEST(MousePlay, PossibleClicksOnEmptyCellsOrReleasedElsewhereAreRefused) {
    auto view = TestPuzzleGame();
    RightClick(*view, SquareCentre(*view, 2, 0)); // four possibles: cells 0, 1, 2, 3
    RightClick(*view, SquareCentre(*view, 2, 1));
    ClearSounds();
    const int points = view->m_points;

    Click(*view, SlotCentre(*view, 2, 0, 4)); // the centre holds the ninth possible: none here
    Drag(*view, SlotCentre(*view, 2, 0, 0), SlotCentre(*view, 2, 1, 0)); // same slot, other square
    Drag(*view, SlotCentre(*view, 2, 0, 0), SlotCentre(*view, 2, 0, 1)); // other slot
    // On the line between two cells of the pressed square.
    const RECT& cell = view->m_possibleRect[2 * 10 + 0][0];
    Drag(*view, SlotCentre(*view, 2, 0, 0), CPoint(cell.right, (cell.top + cell.bottom) / 2));

    EXPECT_EQ(Sounds(), std::vector<int>(4, 103));
    EXPECT_EQ(Value(*view, 2, 0), 0);
    EXPECT_EQ(Value(*view, 2, 1), 0);
    EXPECT_EQ(view->m_points, points);
}

TEST(MousePlay, PossiblesHideUnderANumeralAndComeBackWithoutANewCharge) {
    auto view = TestPuzzleGame();
    RightClick(*view, SquareCentre(*view, 2, 0));
    ASSERT_TRUE(ShowsGray(*view, 2, 0));

    Drop(*view, 7, 2, 0);
    EXPECT_FALSE(ShowsGray(*view, 2, 0));
    EXPECT_EQ(Square(*view, 2, 0).possibles[0], 0);
    EXPECT_EQ(view->m_points, 294);

    // A press on the numeral drags it, it does not pick a possible.
    Drag(*view, SquareCentre(*view, 2, 0), OffTheGrid(*view));
    EXPECT_EQ(Value(*view, 2, 0), 0);
    EXPECT_TRUE(ShowsGray(*view, 2, 0));
    EXPECT_EQ(Square(*view, 2, 0).possibles[3], 7);
    EXPECT_EQ(view->m_points, 294);
    EXPECT_EQ(Sounds(), kNoSound);
}

TEST(MousePlay, ReleaseWithoutAPressInTheViewIsIgnored) {
    auto view = TestPuzzleGame();
    Drop(*view, 5, 0, 0);
    StrayRelease(*view, SquareCentre(*view, 1, 0));
    TypeAt(*view, 0, 3, 4); // a typed digit is noted like a drop at the caret
    StrayRelease(*view, SquareCentre(*view, 1, 0));
    EXPECT_EQ(Value(*view, 0, 3), 4);
    EXPECT_EQ(Value(*view, 1, 0), 0);
    EXPECT_EQ(view->m_points, 298);
    EXPECT_EQ(Sounds(), kNoSound);
}

TEST(MousePlay, ButtonsAreIgnoredWhileTheInstructionsAreShownAndAfterDone) {
    auto view = TestPuzzleGame();
    Key(*view, Qt::Key_F1);
    ASSERT_EQ(view->m_helpShown, 1);
    Drop(*view, 5, 0, 0);
    RightClick(*view, SquareCentre(*view, 2, 0));
    Click(*view, RectCentre(view->m_doneButtonRect));
    EXPECT_EQ(view->m_phase, 0);
    Key(*view, Qt::Key_End);

    Drop(*view, 5, 0, 0);
    Click(*view, RectCentre(view->m_doneButtonRect));
    ASSERT_EQ(view->m_phase, 2);
    ClearSounds();
    RightClick(*view, SquareCentre(*view, 2, 0));
    Drop(*view, 5, 0, 3);
    Drag(*view, SquareCentre(*view, 0, 0), OffTheGrid(*view));
    EXPECT_EQ(Square(*view, 2, 0).possiblesPaid, 0);
    EXPECT_EQ(Value(*view, 0, 3), 0);
    EXPECT_EQ(Value(*view, 0, 0), 5);
    EXPECT_EQ(view->m_phase, 2);
    EXPECT_EQ(Sounds(), kNoSound);
}

// A game ended by keys leaves the digit last typed noted like a drop. The click on HOME is let go
// over the instruction page, and a later click lands where a square of the game was: neither
// drops that numeral, nor sounds, nor draws.
TEST(MousePlay, AClickThatWentHomeOrFellOnTheHomePageDropsNothing) {
    auto view = TestPuzzleGame();
    TypeAt(*view, 0, 0, 5);
    Key(*view, Qt::Key_D);
    ASSERT_EQ(view->m_phase, 2);
    ClearSounds();
    LeftPress(*view, RectCentre(view->m_doneButtonRect)); // HOME
    ASSERT_EQ(view->m_option, 0);
    ProcessEvents();
    const QImage home = view->BackingImage().copy();
    LeftRelease(*view, SquareCentre(*view, 0, 3));
    Click(*view, SquareCentre(*view, 0, 6));
    ProcessEvents();
    EXPECT_EQ(Value(*view, 0, 3), 0);
    EXPECT_EQ(Value(*view, 0, 6), 0);
    EXPECT_TRUE(view->BackingImage() == home);
    EXPECT_EQ(Sounds(), kNoSound);
}
