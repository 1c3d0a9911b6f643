#include "GameCore.h"
#include "SudokuCheck.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// Records the order of the possibles hooks.
class CPossiblesRecorder : public CGameCore {
  public:
    std::vector<std::string> calls;
    void ErasePossiblesArea(int r, int c) override { calls.push_back("erase " + std::to_string(r * 9 + c)); }
    void DrawSquarePossibles(int r, int c) override {
        // The possibles are already recomputed when the square is drawn.
        calls.push_back("draw " + std::to_string(r * 9 + c) + " first " +
                        std::to_string(m_squares[r * 9 + c].possibles[0]));
    }
};

std::unique_ptr<CGameCore> EmptyBoard() {
    auto core = std::make_unique<CGameCore>();
    std::memset(core->m_grid, 0, sizeof core->m_grid);
    std::memset(core->m_squares, 0, sizeof core->m_squares);
    return core;
}

std::vector<int> PossiblesOf(const CGameCore& core, int s) {
    std::vector<int> out;
    for (int p : core.m_squares[s].possibles) {
        out.push_back(p);
    }
    return out;
}

TEST(Possibles, ExcludeNumeralsOfRowColumnAndBoxAlikeForPlayerAndOriginal) {
    auto core = EmptyBoard();
    // Square (4, 4): row 4 holds an original 1 and a player's 2; column 4 an original 3 and a
    // player's 4; its box a player's 5 (in neither row nor column).
    core->m_grid[4][0] = 1;
    core->m_squares[4 * 9 + 8].value = 2;
    core->m_grid[0][4] = 3;
    core->m_squares[8 * 9 + 4].value = 4;
    core->m_squares[3 * 9 + 3].value = 5;
    core->m_grid[0][0] = 9; // elsewhere: no effect
    core->RecomputePossibles(4, 4, 0);
    EXPECT_EQ(PossiblesOf(*core, 40), (std::vector<int>{6, 7, 8, 9, 0, 0, 0, 0, 0}));
    EXPECT_EQ(core->m_squares[40].possiblesPaid, 1);
}

TEST(Possibles, SquareWithANumberHasNoneAndKeepsItsPaidFlag) {
    auto core = EmptyBoard();
    core->RecomputePossibles(2, 2, 0);
    ASSERT_EQ(core->m_squares[20].possiblesPaid, 1);
    core->m_squares[20].value = 7;
    core->RecomputePossibles(2, 2, 0);
    EXPECT_EQ(PossiblesOf(*core, 20), std::vector<int>(9, 0));
    EXPECT_EQ(core->m_squares[20].possiblesPaid, 1);

    core->m_squares[21].possiblesPaid = 0;
    core->m_grid[2][3] = 4;
    core->RecomputePossibles(2, 3, 0); // an original number: none, and it stays unpaid
    EXPECT_EQ(PossiblesOf(*core, 21), std::vector<int>(9, 0));
    EXPECT_EQ(core->m_squares[21].possiblesPaid, 0);
}

TEST(Possibles, RefreshRecomputesOnlyPaidSquaresAndBringsPossiblesBack) {
    auto core = std::make_unique<CPossiblesRecorder>();
    std::memset(core->m_grid, 0, sizeof core->m_grid);
    std::memset(core->m_squares, 0, sizeof core->m_squares);
    core->m_grid[0][1] = 2;
    core->RecomputePossibles(0, 0, 0);
    core->m_squares[0].value = 5; // the player places a number on the paid square
    core->RefreshAllPossibles(0);
    EXPECT_EQ(PossiblesOf(*core, 0), std::vector<int>(9, 0));
    core->m_squares[0].value = 0; // ... and takes it away again
    core->m_squares[80].value = 3;
    core->RefreshAllPossibles(1);
    EXPECT_EQ(PossiblesOf(*core, 0), (std::vector<int>{1, 3, 4, 5, 6, 7, 8, 9, 0}));
    EXPECT_EQ(PossiblesOf(*core, 1), std::vector<int>(9, 0)); // never paid
    EXPECT_EQ(core->m_squares[1].possiblesPaid, 0);
    EXPECT_EQ(core->calls, (std::vector<std::string>{"erase 0", "draw 0 first 1"}));

    core->calls.clear();
    core->RefreshAllPossibles(0);
    EXPECT_TRUE(core->calls.empty());
}

TEST(Possibles, ComputeAllPossiblesPaysEveryEmptySquare) {
    auto core = EmptyBoard();
    core->m_grid[0][0] = 1;
    core->ComputeAllPossibles();
    EXPECT_EQ(core->m_squares[0].possiblesPaid, 0);
    EXPECT_EQ(core->m_squares[1].possiblesPaid, 1);
    EXPECT_EQ(PossiblesOf(*core, 80), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(PossiblesOf(*core, 10), (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 9, 0}));
}

// Propagation must never lose the true solution: wherever it settles a square, it settles it on
// the solution's numeral, and a state it calls solved is the solution.
TEST(Solver, PropagationOnPuzzleCluesKeepsTheSolution) {
    auto core = std::make_unique<CGameCore>();
    int solvedSeen = 0;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        core->Srand(seed);
        core->ResetPuzzleFields();
        core->PrepareNextGrid();
        core->m_option = 0;
        core->OnHard();
        core->ComputeAllPossibles();
        core->Propagate();
        core->WriteBackPossibles();
        ASSERT_EQ(core->CheckState(), 0) << "seed " << seed;
        for (int s = 0; s < 81; ++s) {
            const int r = s / 9, c = s % 9;
            if (core->m_grid[r][c] > 0) {
                EXPECT_EQ(core->m_cand[r][c][0], 0);
                continue;
            }
            const int v = core->m_solution[s].solution;
            ASSERT_EQ(core->m_cand[r][c][v], v) << "seed " << seed << " square " << s;
            int n = 0;
            for (int w = 1; w <= 9; ++w) {
                n += core->m_cand[r][c][w] != 0 ? 1 : 0;
            }
            EXPECT_EQ(core->m_cand[r][c][0], n);
        }
        // Tallies agree with the candidates.
        for (int k = 0; k < 9; ++k) {
            for (int v = 1; v <= 9; ++v) {
                int inRow = 0, inCol = 0;
                for (int i = 0; i < 9; ++i) {
                    inRow += core->m_cand[k][i][v] != 0 ? 1 : 0;
                    inCol += core->m_cand[i][k][v] != 0 ? 1 : 0;
                }
                EXPECT_EQ(core->m_cand[k][9][v], inRow);
                EXPECT_EQ(core->m_cand[9][k][v], inCol);
            }
        }
        solvedSeen += core->m_solved;
        EXPECT_LE(core->m_histCount, CGameCore::kHistoryCapacity);
    }
    EXPECT_GT(solvedSeen, 0);
}

TEST(Solver, PropagationFindsAHiddenSingleInARow) {
    auto core = EmptyBoard();
    // One 1 in each of rows 1..8, columns 0..7 and every box but box 2: in row 0 only square
    // (0, 8) still allows 1, while it allows every other numeral as well.
    const int ones[8][2] = {{1, 0}, {2, 3}, {3, 1}, {4, 4}, {5, 6}, {6, 2}, {7, 5}, {8, 7}};
    for (const auto& rc : ones) {
        core->m_grid[rc[0]][rc[1]] = 1;
    }
    core->ComputeAllPossibles();
    ASSERT_EQ(PossiblesOf(*core, 8), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    core->Propagate();
    core->WriteBackPossibles();
    EXPECT_EQ(core->m_cand[0][8][0], 1);
    EXPECT_EQ(core->m_cand[0][8][1], 1);
    EXPECT_EQ(core->m_cand[0][9][1], 1);
    EXPECT_EQ(PossiblesOf(*core, 8), (std::vector<int>{1, 0, 0, 0, 0, 0, 0, 0, 0}));
    int kinds = 0;
    for (int i = 0; i < core->m_histCount; ++i) {
        const DeductionRecord& h = core->m_history[i];
        if (h.row == 0 && h.col == 8 && h.value == 1) {
            kinds |= 1 << h.kind;
        }
    }
    EXPECT_EQ(kinds, (1 << 1) | (1 << 2)); // found as a single, then applied to its box
}

TEST(Solver, CheckStateReportsContradictionOnlyForAnEmptySquareWithoutCandidates) {
    auto core = EmptyBoard();
    std::memset(core->m_cand, 0, sizeof core->m_cand);
    for (int s = 0; s < 81; ++s) {
        core->m_cand[s / 9][s % 9][0] = 1;
    }
    EXPECT_EQ(core->CheckState(), 0);
    EXPECT_EQ(core->m_solved, 1);

    core->m_cand[5][5][0] = 3; // open but not contradictory
    EXPECT_EQ(core->CheckState(), 0);
    EXPECT_EQ(core->m_solved, 0);

    core->m_cand[7][1][0] = 0; // an empty square with no candidate, after an open one
    EXPECT_EQ(core->CheckState(), 1);
    EXPECT_EQ(core->m_solved, 0);

    core->m_grid[7][1] = 4; // the same square holding a clue is settled
    EXPECT_EQ(core->CheckState(), 0);
    core->m_grid[7][1] = 0;
    core->m_squares[7 * 9 + 1].value = 4; // or a player's number
    core->m_cand[5][5][0] = 1;
    EXPECT_EQ(core->CheckState(), 0);
    EXPECT_EQ(core->m_solved, 1);
}

TEST(Solver, PushBranchTakesOnlySquaresWithTwoToSixCandidates) {
    auto core = EmptyBoard();
    std::memset(core->m_cand, 0, sizeof core->m_cand);
    for (int s = 0; s < 81; ++s) {
        core->m_cand[s / 9][s % 9][0] = 7 + s % 3; // 7, 8, 9: never branched on
    }
    core->m_cand[0][3][0] = 1;
    core->m_searchPos = 10;
    EXPECT_EQ(core->PushBranch(), 0);
    EXPECT_EQ(core->m_searchPos, 10); // searched all the way round
    EXPECT_EQ(core->m_branchDepth, 0);

    core->m_cand[0][5][0] = 6; // square 5: found by wrapping from 80 to 0
    EXPECT_EQ(core->PushBranch(), 1);
    EXPECT_EQ(core->m_branchDepth, 1);
    EXPECT_EQ(core->m_branch[0].row, 0);
    EXPECT_EQ(core->m_branch[0].col, 5);
    EXPECT_EQ(core->m_branch[0].count, 6);
    EXPECT_EQ(core->m_branch[0].tried, 0);
    EXPECT_EQ(core->m_searchPos, 6);

    core->m_cand[8][8][0] = 2;
    core->m_searchPos = 80;
    EXPECT_EQ(core->PushBranch(), 1);
    EXPECT_EQ(core->m_branch[1].col, 8);
    EXPECT_EQ(core->m_searchPos, 0); // moves on from 80 to 0

    core->m_branchDepth = CGameCore::kBranchCapacity; // full: nothing more is written
    const BranchLevel last = core->m_branch[CGameCore::kBranchCapacity - 1];
    EXPECT_EQ(core->PushBranch(), -1);
    EXPECT_EQ(std::memcmp(&last, &core->m_branch[CGameCore::kBranchCapacity - 1], sizeof last), 0);
    core->m_branchDepth = CGameCore::kBranchCapacity - 1; // one level left
    EXPECT_EQ(core->PushBranch(), 1);
    EXPECT_EQ(core->m_branchDepth, CGameCore::kBranchCapacity);
}

TEST(Solver, BacktrackPopsEveryExhaustedLevel) {
    auto core = EmptyBoard();
    core->m_branchDepth = 3;
    core->m_branch[0] = BranchLevel{0, 0, 3, 1};
    core->m_branch[1] = BranchLevel{0, 1, 2, 2};
    core->m_branch[2] = BranchLevel{0, 2, 2, 3};
    core->m_squares[2].value = 5;
    core->m_squares[1].value = 6;
    core->m_squares[0].value = 7;
    EXPECT_EQ(core->Backtrack(), 1);
    EXPECT_EQ(core->m_branchDepth, 1);
    EXPECT_EQ(core->m_squares[2].value, 0); // every popped level's square is cleared
    EXPECT_EQ(core->m_squares[1].value, 0);
    EXPECT_EQ(core->m_squares[0].value, 0); // and the new top's square too

    core->m_branch[0].tried = 3;
    EXPECT_EQ(core->Backtrack(), 0);
    EXPECT_EQ(core->m_branchDepth, 0);
    EXPECT_EQ(core->Backtrack(), 0);
}

TEST(Solver, SaveAndRestoreStateRoundTrip) {
    auto core = EmptyBoard();
    core->ComputeAllPossibles();
    core->Propagate();
    core->SaveState(0);
    const SquareRecord before = core->m_squares[12];
    const int candBefore = core->m_cand[1][3][0];
    core->m_squares[12].value = 4;
    core->m_cand[1][3][0] = 0;
    core->RestoreState(0);
    EXPECT_EQ(std::memcmp(&before, &core->m_squares[12], sizeof before), 0);
    EXPECT_EQ(core->m_cand[1][3][0], candBefore);
}

} // namespace
