#include "GameCore.h"
#include "MakePuzzle.h"
#include "SudokuCheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

namespace {

using sudoku_check::Board;

// Records the screen hooks the set-up reaches.
class CHookCounter : public CGameCore {
  public:
    int waitBegins = 0;
    int waitEnds = 0;
    int caretsShown = 0;
    int caretsCreated = 0;
    int paints = 0;
    bool paintedWhileWaiting = false;
    void BeginSetupWait() override { ++waitBegins; }
    void EndSetupWait() override { ++waitEnds; }
    void ShowPuzzleCaret() override { ++caretsShown; }
    void CreatePuzzleCaret() override { ++caretsCreated; }
    void PaintBoard() override {
        ++paints;
        paintedWhileWaiting = paintedWhileWaiting || waitBegins != waitEnds;
    }
};

void ExpectSoundPuzzle(const CGameCore& core, const char* what, unsigned seed) {
    SCOPED_TRACE(testing::Message() << what << " seed " << seed);
    Board clues{};
    Board solution{};
    int onBoard = 0;
    for (int s = 0; s < 81; ++s) {
        clues[s] = core.m_grid[s / 9][s % 9];
        solution[s] = core.m_solution[s].solution;
        onBoard += clues[s] > 0 ? 1 : 0;
    }
    ASSERT_TRUE(sudoku_check::IsValidSolution(solution));
    for (int s = 0; s < 81; ++s) {
        ASSERT_TRUE(clues[s] == 0 || clues[s] == solution[s]) << "square " << s;
        ASSERT_EQ(clues[s] > 0, clues[80 - s] > 0) << "not point-symmetric at " << s;
        const SquareRecord& sq = core.m_squares[s];
        ASSERT_EQ(sq.value, 0);
        ASSERT_EQ(sq.possiblesPaid, 0);
        ASSERT_EQ(sq.fixed, 0);
        for (int p : sq.possibles) {
            ASSERT_EQ(p, 0);
        }
        ASSERT_EQ(core.m_solution[s].checkValue, 0);
    }
    EXPECT_EQ(clues[40] > 0, onBoard % 2 == 1);
    EXPECT_EQ(core.m_clueCount, onBoard);
    EXPECT_EQ(core.m_givenCount, onBoard);
    EXPECT_EQ(core.m_points, CGameCore::kPointsMarker);
    Board work = clues;
    EXPECT_EQ(sudoku_check::CountSolutions(work), 1);
}

TEST(PuzzleSetup, EasyPuzzlesAreSymmetricCompleteAndUnique) {
    auto core = std::make_unique<CGameCore>();
    long long startOvers = 0;
    for (unsigned seed = 1; seed <= 60; ++seed) {
        core->Srand(seed);
        for (int item = 0; item < 4; ++item) {
            const long long before = core->m_diagSetupStartOvers;
            MakePuzzle(*core, 1);
            startOvers += core->m_diagSetupStartOvers - before;
            EXPECT_EQ(core->m_option, 1);
            EXPECT_EQ(core->m_diagReductionRemovals, 0); // Easy never removes clues
            ExpectSoundPuzzle(*core, "easy", seed);
        }
    }
    EXPECT_GT(startOvers, 0) << "the start-over path was never exercised";
}

TEST(PuzzleSetup, HardPuzzlesAreSymmetricCompleteAndUnique) {
    auto core = std::make_unique<CGameCore>();
    int reduced = 0;
    for (unsigned seed = 1; seed <= 60; ++seed) {
        core->Srand(seed * 7919u);
        for (int item = 0; item < 4; ++item) {
            MakePuzzle(*core, 2);
            EXPECT_EQ(core->m_option, 2);
            ExpectSoundPuzzle(*core, "hard", seed);
            reduced += core->m_diagReductionRemovals > 0 ? 1 : 0;
        }
    }
    EXPECT_GT(reduced, 0);
}

// After a reduction took clues away, what is left is enough for single-candidate steps alone.
TEST(PuzzleSetup, ReducedHardPuzzlesSolveBySinglesAlone) {
    auto core = std::make_unique<CGameCore>();
    int checked = 0;
    for (unsigned seed = 1; seed <= 120; ++seed) {
        core->Srand(seed);
        MakePuzzle(*core, 2);
        if (core->m_diagReductionRemovals == 0) {
            continue;
        }
        Board g{};
        for (int s = 0; s < 81; ++s) {
            g[s] = core->m_grid[s / 9][s % 9];
        }
        ASSERT_TRUE(sudoku_check::SolveBySingles(g)) << "seed " << seed;
        for (int s = 0; s < 81; ++s) {
            ASSERT_EQ(g[s], core->m_solution[s].solution);
        }
        ++checked;
    }
    EXPECT_GT(checked, 10);
}

TEST(PuzzleSetup, HooksAreCalledOnceEvenAcrossStartOvers) {
    int withStartOver = 0;
    for (unsigned seed = 1; seed <= 200 && withStartOver < 3; ++seed) {
        for (int option = 1; option <= 2; ++option) {
            auto core = std::make_unique<CHookCounter>();
            core->Srand(seed);
            core->m_gridReady = 1;
            MakePuzzle(*core, option);
            const long long startOvers = core->m_diagSetupStartOvers;
            withStartOver += startOvers > 0 ? 1 : 0;
            EXPECT_EQ(core->waitBegins, 1);
            EXPECT_EQ(core->waitEnds, 1);
            EXPECT_EQ(core->caretsCreated, 1);
            EXPECT_EQ(core->paints, 1);
            EXPECT_FALSE(core->paintedWhileWaiting);
            EXPECT_EQ(core->caretsShown, option == 2 ? 1 + startOvers : 0);
            EXPECT_EQ(core->m_caretShowCount, 0);
            EXPECT_EQ(core->m_gridReady, 1); // the core never clears it, also on a start-over
        }
    }
    EXPECT_GT(withStartOver, 0);
}

TEST(PuzzleSetup, FoundRectanglesAreRealSwappableRectangles) {
    auto core = std::make_unique<CGameCore>();
    int total = 0;
    for (unsigned seed = 1; seed <= 100; ++seed) {
        core->Srand(seed);
        core->PrepareNextGrid();
        for (int k = 0; k < core->m_rectCount; ++k) {
            const int* q = core->m_rects[k].corner;
            auto v = [&](int s) { return core->m_grid[s / 9][s % 9]; };
            ASSERT_EQ(q[0] / 9, q[1] / 9);
            ASSERT_EQ(q[2] / 9, q[3] / 9);
            ASSERT_EQ(q[0] % 9, q[2] % 9);
            ASSERT_EQ(q[1] % 9, q[3] % 9);
            ASSERT_EQ(v(q[0]), v(q[3]));
            ASSERT_EQ(v(q[1]), v(q[2]));
            // Two rows of one band or two columns of one stack, so the swap keeps the boxes valid.
            ASSERT_TRUE(q[0] / 27 == q[2] / 27 || (q[0] % 9) / 3 == (q[1] % 9) / 3);
        }
        total += core->m_rectCount;
    }
    EXPECT_GT(total, 0);
}

// Reads the clue list: every entry a distinct square, mirror pairs side by side, the centre first
// exactly when the count is odd.
void ExpectMirrorPairs(const CGameCore& core) {
    const int n = core.m_clueCount;
    const int centre = n % 2;
    if (centre) {
        EXPECT_EQ(core.m_clueList[0], 40);
    }
    for (int i = centre; i + 1 < n; i += 2) {
        EXPECT_EQ(core.m_clueList[i] + core.m_clueList[i + 1], 80) << "entry " << i;
        EXPECT_NE(core.m_clueList[i], 40);
    }
    for (int i = 0; i < n; ++i) {
        for (int j = i + 1; j < n; ++j) {
            EXPECT_NE(core.m_clueList[i], core.m_clueList[j]) << "entries " << i << " and " << j;
        }
    }
}

TEST(PuzzleSetup, CoverRectanglesNeverMovesAPairOntoTheCentre) {
    auto core = std::make_unique<CGameCore>();
    std::fill(std::begin(core->m_clueList), std::end(core->m_clueList), 0);
    core->m_clueCount = 2;
    core->m_clueList[0] = 39;
    core->m_clueList[1] = 41;
    core->m_rectCount = 1;
    core->m_rects[0] = RectRecord{{40, 42, 67, 69}}; // the centre lies 1 away from both clues
    ASSERT_EQ(core->CoverRectangles(), 1);
    EXPECT_EQ(core->m_clueCount, 2);
    ExpectMirrorPairs(*core);
    EXPECT_EQ(core->m_clueList[0], 42); // the next corner out, at distance 3
    EXPECT_EQ(core->m_clueList[1], 38);
}

TEST(PuzzleSetup, CoverRectanglesAddsWholeMirrorPairsWhenCluesRunShort) {
    for (int withCentre = 0; withCentre <= 1; ++withCentre) {
        auto core = std::make_unique<CGameCore>();
        std::fill(std::begin(core->m_clueList), std::end(core->m_clueList), 0);
        int n = 0;
        if (withCentre) {
            core->m_clueList[n++] = 40;
        }
        core->m_clueList[n++] = 10;
        core->m_clueList[n++] = 70;
        core->m_clueCount = n;
        core->m_rects[0] = RectRecord{{0, 1, 9, 10}};  // already covered by clue 10
        core->m_rects[1] = RectRecord{{3, 5, 21, 23}}; // the other three need clues
        core->m_rects[2] = RectRecord{{57, 58, 75, 76}};
        core->m_rects[3] = RectRecord{{27, 28, 36, 37}};
        core->m_rectCount = 4;
        ASSERT_EQ(core->CoverRectangles(), 1);
        EXPECT_EQ(core->m_rectCount, 3);
        EXPECT_GT(core->m_clueCount, n);
        EXPECT_EQ(core->m_clueCount % 2, withCentre); // grown by whole pairs
        ExpectMirrorPairs(*core);
        // The added pairs were moved onto rectangles that had no clue.
        bool coveredFirst = false;
        for (int i = 0; i < core->m_clueCount; ++i) {
            for (int corner : core->m_rects[0].corner) {
                coveredFirst = coveredFirst || core->m_clueList[i] == corner;
            }
        }
        EXPECT_TRUE(coveredFirst);
    }
}

TEST(PuzzleSetup, CluePairThatWouldOverflowTheListGivesUp) {
    auto core = std::make_unique<CGameCore>();
    core->Srand(3);
    core->GenerateSolutionGrid();
    for (int s = 0; s < 81; ++s) {
        core->m_solution[s].solution = core->m_grid[s / 9][s % 9];
    }
    core->m_clueCount = 80;
    for (int i = 0; i < 80; ++i) {
        core->m_clueList[i] = i < 40 ? i : i + 1; // everything but the centre
    }
    core->AddCluePair(3);
    EXPECT_EQ(core->m_giveUp, CGameCore::kGiveUpMark);
    EXPECT_EQ(core->m_clueCount, 0);
    EXPECT_EQ(core->m_points, CGameCore::kPointsMarker);

    core->m_giveUp = 0;
    core->m_clueCount = 80;
    core->AddCluePair(40); // the centre alone still fits
    EXPECT_EQ(core->m_giveUp, 0);
    EXPECT_EQ(core->m_clueCount, 81);
    EXPECT_EQ(core->m_clueList[0], 40);
    EXPECT_EQ(core->m_givenCount, 81);
}

TEST(PuzzleSetup, AddAndRemoveCluePairKeepGridListAndCountsInStep) {
    auto core = std::make_unique<CGameCore>();
    core->Srand(9);
    MakePuzzle(*core, 1);
    const int count = core->m_clueCount;
    int empty = -1;
    for (int s = 0; s < 40 && empty < 0; ++s) {
        if (core->m_grid[s / 9][s % 9] == 0) {
            empty = s;
        }
    }
    ASSERT_GE(empty, 0);
    core->AddCluePair(empty);
    EXPECT_EQ(core->m_clueCount, count + 2);
    EXPECT_EQ(core->m_givenCount, count + 2);
    EXPECT_EQ(core->m_grid[empty / 9][empty % 9], core->m_solution[empty].solution);
    EXPECT_EQ(core->m_grid[(80 - empty) / 9][(80 - empty) % 9], core->m_solution[80 - empty].solution);
    ExpectMirrorPairs(*core);

    core->RemoveCluePair(80 - empty); // either square of a pair takes both away
    EXPECT_EQ(core->m_clueCount, count);
    EXPECT_EQ(core->m_grid[empty / 9][empty % 9], 0);
    EXPECT_EQ(core->m_grid[(80 - empty) / 9][(80 - empty) % 9], 0);
    EXPECT_EQ(core->m_squares[empty].possiblesPaid, 1);
    ExpectMirrorPairs(*core);
}

// A Hard puzzle as the set-up's search sees it: every empty square paid, the clues unpaid with no
// list, the solver state rebuilt.
std::unique_ptr<CGameCore> PuzzleInSearch(unsigned seed) {
    auto core = std::make_unique<CGameCore>();
    core->Srand(seed);
    MakePuzzle(*core, 2);
    core->ComputeAllPossibles();
    core->Propagate();
    core->WriteBackPossibles();
    return core;
}

// "Recompute the solver state", one step at a time through the public operations.
void RecomputeStepwise(CGameCore& core) {
    core.RefreshAllPossibles(0);
    core.Propagate();
    core.WriteBackPossibles();
}

::testing::AssertionResult SameSolverState(const CGameCore& a, const CGameCore& b) {
    if (std::memcmp(a.m_cand, b.m_cand, sizeof a.m_cand) != 0) {
        return ::testing::AssertionFailure() << "candidate grids differ";
    }
    if (std::memcmp(a.m_squares, b.m_squares, sizeof a.m_squares) != 0) {
        return ::testing::AssertionFailure() << "squares differ";
    }
    if (std::memcmp(a.m_grid, b.m_grid, sizeof a.m_grid) != 0 || a.m_clueCount != b.m_clueCount ||
        !std::equal(a.m_clueList, a.m_clueList + a.m_clueCount, b.m_clueList)) {
        return ::testing::AssertionFailure() << "clues differ";
    }
    return ::testing::AssertionSuccess();
}

// AddCluePair and RemoveCluePair rebuild the solver state once for the pair, where the procedure
// rebuilds it after each square; with no unpaid square holding a list that is the same state.
TEST(PuzzleSetup, OneRebuildPerCluePairGivesTheStateOfOnePerSquare) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        auto core = PuzzleInSearch(seed);
        ASSERT_TRUE(core->UnpaidPossiblesEmpty());
        int empty = -1;
        for (int s = 0; s < 40 && empty < 0; ++s) {
            empty = core->GridAt(s) == 0 && core->GridAt(80 - s) == 0 ? s : -1;
        }
        ASSERT_GE(empty, 0);

        auto stepwise = std::make_unique<CGameCore>(*core);
        core->AddCluePair(empty);
        for (int x : {empty, 80 - empty}) {
            stepwise->m_clueList[stepwise->m_clueCount++] = x;
            stepwise->GridAt(x) = stepwise->m_solution[x].solution;
            stepwise->m_squares[x] = SquareRecord{};
            RecomputeStepwise(*stepwise);
        }
        ASSERT_TRUE(SameSolverState(*core, *stepwise));

        const int first = core->m_clueList[core->m_clueCount % 2]; // the first pair, after any centre
        core->RemoveCluePair(first);
        for (int x : {first, 80 - first}) {
            int* end = stepwise->m_clueList + stepwise->m_clueCount;
            std::copy(std::find(stepwise->m_clueList, end, x) + 1, end,
                      std::find(stepwise->m_clueList, end, x));
            stepwise->m_clueList[--stepwise->m_clueCount] = 0;
            stepwise->GridAt(x) = 0;
            stepwise->m_squares[x].possiblesPaid = 1;
            RecomputeStepwise(*stepwise);
        }
        EXPECT_TRUE(SameSolverState(*core, *stepwise));
    }
}

// That shortcut relies on the unpaid squares' lists being empty; builds that check preconditions
// stop at once when one is not.
TEST(PuzzleSetupDeathTest, CluePairWithAListOnAnUnpaidSquareIsStopped) {
    auto core = PuzzleInSearch(4);
    const int clue = core->m_clueList[core->m_clueCount - 1];
    core->m_squares[clue].possibles[0] = core->m_solution[clue].solution;
    EXPECT_FALSE(core->UnpaidPossiblesEmpty());
    core->m_squares[clue].possiblesPaid = 1; // paid squares' lists are recomputed, so they may hold one
    EXPECT_TRUE(core->UnpaidPossiblesEmpty());
    core->m_squares[clue].possiblesPaid = 0;
    if (!CGameCore::ChecksPreconditions()) {
        GTEST_SKIP() << "this build does not check preconditions";
    }
    int empty = 0;
    while (core->GridAt(empty) != 0 || core->GridAt(80 - empty) != 0) {
        ++empty;
    }
    EXPECT_DEATH(core->AddCluePair(empty), "UnpaidPossiblesEmpty");
    EXPECT_DEATH(core->RemoveCluePair(clue), "UnpaidPossiblesEmpty");
}

} // namespace
