#include "GameCore.h"
#include "SudokuCheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

using sudoku_check::Board;

Board GridOf(const CGameCore& core) {
    Board b{};
    for (int s = 0; s < 81; ++s) {
        b[s] = core.m_grid[s / 9][s % 9];
    }
    return b;
}

int ColumnOf(const int* row, int value) {
    for (int c = 0; c < 9; ++c) {
        if (row[c] == value) {
            return c;
        }
    }
    return -1;
}

TEST(Generator, EveryAcceptedGridIsAValidSolution) {
    auto core = std::make_unique<CGameCore>();
    for (unsigned seed = 1; seed <= 400; ++seed) {
        core->Srand(seed);
        core->GenerateSolutionGrid();
        ASSERT_TRUE(sudoku_check::IsValidSolution(GridOf(*core))) << "seed " << seed;
        EXPECT_EQ(core->m_gridErrors, core->m_gridErrorsSeen);
    }
}

TEST(Generator, SameSeedGivesSameGrid) {
    auto a = std::make_unique<CGameCore>();
    auto b = std::make_unique<CGameCore>();
    a->Srand(77);
    b->Srand(77);
    a->GenerateSolutionGrid();
    b->GenerateSolutionGrid();
    EXPECT_EQ(GridOf(*a), GridOf(*b));
}

// The row-3 builder skips the draws of a column no candidate fits; the generator must then stand
// exactly where drawing them one by one leaves it.
TEST(Generator, SkippingDrawsLeavesTheGeneratorWhereDrawingThemDoes) {
    for (unsigned n : {0u, 1u, 2u, 7u, 1000u, 65537u}) {
        auto drawn = std::make_unique<CGameCore>();
        auto skipped = std::make_unique<CGameCore>();
        drawn->Srand(12345u + n);
        skipped->Srand(12345u + n);
        for (unsigned i = 0; i < n; ++i) {
            drawn->Rand();
        }
        skipped->SkipRands(n);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(skipped->Rand(), drawn->Rand()) << n << " draws";
        }
    }
}

TEST(Generator, CandidateListIsAPermutationAndRemovalKeepsOrder) {
    auto core = std::make_unique<CGameCore>();
    core->Srand(5);
    for (int round = 0; round < 50; ++round) {
        core->MakeCandidateList();
        int seen = 0;
        for (int v : core->m_perm) {
            seen |= 1 << v;
        }
        ASSERT_EQ(seen, 0x3FE);
        int expected[9];
        int n = 0;
        const int excluded[6] = {core->m_perm[4], core->m_perm[0], core->m_perm[8], 0, 0, 0};
        for (int v : core->m_perm) {
            if (v != excluded[0] && v != excluded[1] && v != excluded[2]) {
                expected[n++] = v;
            }
        }
        std::copy(excluded, excluded + 6, core->m_exclude);
        core->RemoveExcluded(6); // zeros and repeats in the exclusion list remove nothing
        ASSERT_EQ(n, 6);
        for (int k = 0; k < 6; ++k) {
            EXPECT_EQ(core->m_perm[k], expected[k]);
        }
    }
}

// Rows 1 and 4 take their left box from the other two boxes of the row above, never all three
// from one box, and their middle box from outside the middle box above.
TEST(Generator, RowBuiltFromAboveNeverTakesAllThreeFromOneBox) {
    auto core = std::make_unique<CGameCore>();
    for (unsigned seed = 1; seed <= 600; ++seed) {
        core->Srand(seed);
        const int src = seed % 2 == 0 ? 0 : 3;
        core->MakeCandidateList();
        std::copy(core->m_perm, core->m_perm + 9, core->m_grid[src]);
        core->BuildRowFromAbove(src);
        const int* above = core->m_grid[src];
        const int* row = core->m_grid[src + 1];
        int seen = 0;
        for (int c = 0; c < 9; ++c) {
            seen |= 1 << row[c];
        }
        ASSERT_EQ(seen, 0x3FE) << "seed " << seed;
        int boxes[3];
        for (int k = 0; k < 3; ++k) {
            const int from = ColumnOf(above, row[k]);
            ASSERT_GE(from, 3) << "seed " << seed;
            boxes[k] = from / 3;
        }
        EXPECT_FALSE(boxes[0] == boxes[1] && boxes[1] == boxes[2]) << "seed " << seed;
        for (int k = 3; k < 6; ++k) {
            const int from = ColumnOf(above, row[k]);
            EXPECT_TRUE(from < 3 || from > 5) << "seed " << seed;
        }
    }
}

// The row-3 builder either gives up after 1000 misses (and is run again) or places all nine
// columns; the loop around it ends only with a complete row.
TEST(Generator, Row3BuilderGivesUpAtThousandAndLoopEndsWithCompleteRow) {
    auto core = std::make_unique<CGameCore>();
    core->Srand(11);
    core->GenerateSolutionGrid();
    int gaveUp = 0;
    int placed = 0;
    auto rowIsSound = [&] {
        int seen = 0;
        for (int c = 0; c < 9; ++c) {
            const int v = core->m_grid[3][c];
            if (v < 1 || v > 9 || (seen & (1 << v)) || v == core->m_grid[0][c] || v == core->m_grid[1][c] ||
                v == core->m_grid[2][c]) {
                return false;
            }
            seen |= 1 << v;
        }
        return true;
    };
    for (int run = 0; run < 300; ++run) {
        core->RunRow3Builder();
        if (core->m_rowRetry == 1000) {
            ++gaveUp;
        } else {
            ASSERT_LE(core->m_rowRetry, 990);
            ASSERT_TRUE(rowIsSound());
            ++placed;
        }
    }
    EXPECT_GT(gaveUp, 0);
    EXPECT_GT(placed, 0);
    for (int run = 0; run < 100; ++run) {
        core->BuildRow3();
        ASSERT_LE(core->m_rowRetry, 990);
        ASSERT_TRUE(rowIsSound());
    }
}

// Reference for the bottom band: the nested loops over the six orders of columns 0..5 (column 5
// fastest), checking every complete combination.
TEST(Generator, BottomBandTakesFirstPassingCombinationInNestedLoopOrder) {
    static constexpr int kOrders[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
    auto core = std::make_unique<CGameCore>();
    int withoutPass = 0;
    for (unsigned seed = 1; seed <= 150; ++seed) {
        core->Srand(seed);
        core->GenerateSolutionGrid();
        const int errorsBefore = core->m_bandErrors;
        core->BuildBottomBand();

        int band[3][6] = {};
        int index = 0;
        bool passed = false;
        for (; index < 46656 && !passed; ++index) {
            int rest = index;
            for (int c = 5; c >= 0; --c) {
                for (int k = 0; k < 3; ++k) {
                    band[k][c] = core->m_bottomCands[c][kOrders[rest % 6][k]];
                }
                rest /= 6;
            }
            bool ok = true;
            for (int r = 0; r < 3 && ok; ++r) {
                for (int a = 0; a < 6 && ok; ++a) {
                    for (int b = a + 1; b < 6 && ok; ++b) {
                        ok = band[r][a] != band[r][b];
                    }
                }
            }
            for (int left = 0; left <= 3 && ok; left += 3) {
                int cells[6];
                for (int i = 0; i < 6; ++i) {
                    cells[i] = band[i / 3][left + i % 3];
                }
                for (int a = 0; a < 6 && ok; ++a) {
                    for (int b = a + 1; b < 6 && ok; ++b) {
                        ok = cells[a] != cells[b];
                    }
                }
            }
            passed = ok;
        }
        const int failures = passed ? index - 1 : 46656;
        if (!passed) {
            ++withoutPass;
        }
        EXPECT_EQ(core->m_bandErrors - errorsBefore, failures) << "seed " << seed;
        for (int k = 0; k < 3; ++k) {
            for (int c = 0; c < 6; ++c) {
                ASSERT_EQ(core->m_grid[6 + k][c], band[k][c]) << "seed " << seed;
            }
        }
        // The bottom values of a column are the three numerals missing from its top six rows.
        for (int c = 0; c < 9; ++c) {
            int top = 0;
            for (int r = 0; r < 6; ++r) {
                top |= 1 << core->m_grid[r][c];
            }
            for (int k = 0; k < 3; ++k) {
                EXPECT_FALSE(top & (1 << core->m_bottomCands[c][k]));
            }
        }
    }
    EXPECT_LT(withoutPass, 150);
}

} // namespace
