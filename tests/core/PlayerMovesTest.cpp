// The player's moves as rules, without any window: what each one refuses, changes and costs.
#include "GameCore.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

// A board with an original 8 at (0, 1), a green 3 at (0, 2), a blue 4 at (0, 3) and the rest of
// row 0 empty, with 100 points.
std::unique_ptr<CGameCore> Board() {
    auto core = std::make_unique<CGameCore>();
    std::memset(core->m_grid, 0, sizeof core->m_grid);
    std::memset(core->m_squares, 0, sizeof core->m_squares);
    core->m_grid[0][1] = 8;
    core->m_squares[2].value = 3;
    core->m_squares[3].value = 4;
    core->m_squares[3].fixed = 1;
    core->m_points = 100;
    return core;
}

bool Unchanged(const CGameCore& a, const CGameCore& b) {
    return std::memcmp(a.m_squares, b.m_squares, sizeof a.m_squares) == 0 &&
           std::memcmp(a.m_grid, b.m_grid, sizeof a.m_grid) == 0 && a.m_points == b.m_points;
}

} // namespace

TEST(PlayerMoves, EachMoveIsRefusedOnOriginalAndBlueNumeralsAndChangesNothingThen) {
    auto core = Board();
    const auto before = Board();
    EXPECT_EQ(core->PlaceNumeral(0, 1, 5), 0);   // original
    EXPECT_EQ(core->PlaceNumeral(0, 3, 5), 0);   // blue
    EXPECT_EQ(core->PlaceNumeral(0, 0, 0), 0);   // no numeral
    EXPECT_EQ(core->RemoveNumeral(0, 3), 0);     // blue
    EXPECT_EQ(core->RemoveNumeral(0, 0), 0);     // nothing there
    EXPECT_EQ(core->RemoveNumeral(0, 1), 0);     // original
    EXPECT_EQ(core->MoveNumeral(0, 2, 0, 1), 0); // onto an original
    EXPECT_EQ(core->MoveNumeral(0, 2, 0, 3), 0); // onto a blue numeral
    EXPECT_EQ(core->MoveNumeral(0, 3, 0, 0), 0); // a blue numeral moved
    EXPECT_EQ(core->MoveNumeral(0, 0, 0, 4), 0); // nothing to move
    EXPECT_EQ(core->MoveNumeral(0, 2, 0, 2), 0); // onto itself
    EXPECT_EQ(core->ToggleFixed(0, 1), 0);       // original
    EXPECT_EQ(core->ToggleFixed(0, 0), 0);       // empty
    for (int c : {1, 2, 3}) {                    // original, green, blue
        EXPECT_EQ(core->BuyPossibles(0, c), 0) << c;
    }
    EXPECT_EQ(core->ChoosePossible(0, 0, 0), 0); // nothing bought
    EXPECT_TRUE(Unchanged(*core, *before));
}

TEST(PlayerMoves, PricesAndEffects) {
    auto core = Board();
    EXPECT_EQ(core->PlaceNumeral(0, 0, 5), 1); // empty square filled
    EXPECT_EQ(core->PlaceNumeral(0, 2, 6), 1); // green replaced
    EXPECT_EQ(core->m_points, 98);
    EXPECT_EQ(core->MoveNumeral(0, 2, 0, 0), 2); // swapped with a green numeral, free
    EXPECT_EQ(core->m_squares[0].value, 6);
    EXPECT_EQ(core->m_squares[2].value, 5);
    EXPECT_EQ(core->MoveNumeral(0, 2, 0, 4), 1); // moved onto an empty square
    EXPECT_EQ(core->m_squares[2].value, 0);
    EXPECT_EQ(core->m_squares[4].value, 5);
    EXPECT_EQ(core->ToggleFixed(0, 4), 1);
    EXPECT_TRUE(core->HoldsFixedNumeral(0, 4));
    EXPECT_EQ(core->ToggleFixed(0, 3), 1); // blue back to green
    EXPECT_EQ(core->RemoveNumeral(0, 3), 1);
    EXPECT_EQ(core->m_squares[3].value, 0);
    EXPECT_EQ(core->m_points, 98);

    // Possibles: 5 points once, the row's numerals left out; a chosen one costs 1 and leaves the list.
    EXPECT_EQ(core->BuyPossibles(0, 2), 1);
    EXPECT_EQ(core->BuyPossibles(0, 2), 0);
    EXPECT_EQ(core->m_points, 93);
    const int expected[9] = {1, 2, 3, 4, 7, 9, 0, 0, 0}; // row 0 holds 6, 8 and the blue 5
    EXPECT_EQ(std::memcmp(core->m_squares[2].possibles, expected, sizeof expected), 0);
    EXPECT_EQ(core->PossibleIndex(0, 2, 7), 4);
    EXPECT_EQ(core->PossibleIndex(0, 2, 8), -1);
    EXPECT_EQ(core->ChoosePossible(0, 2, 6), 0); // an empty cell of the list
    EXPECT_EQ(core->ChoosePossible(0, 2, 4), 7);
    EXPECT_EQ(core->m_squares[2].value, 7);
    EXPECT_EQ(core->m_points, 92);
    EXPECT_EQ(core->PossibleIndex(0, 2, 1), -1); // the square holds a numeral now
}
