// The solver replays a rebuild it has made before instead of running it again. A replay must write
// exactly what a fresh run writes, and must never stand in for a rebuild whose input differs in
// anything the rebuild reads. Each step below runs twice: on the core as it is, and on a copy whose
// remembered rebuilds have been dropped, so that the copy computes everything afresh.

#include "GameCore.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>

namespace {

std::unique_ptr<CGameCore> HardPuzzle(unsigned seed) {
    auto core = std::make_unique<CGameCore>();
    core->Srand(seed);
    core->ResetPuzzleFields();
    core->PrepareNextGrid();
    core->m_option = 0;
    core->OnHard();
    return core;
}

// What a rebuild writes and the search then reads.
::testing::AssertionResult SameSolverState(const CGameCore& a, const CGameCore& b) {
    if (std::memcmp(a.m_cand, b.m_cand, sizeof a.m_cand) != 0) {
        return ::testing::AssertionFailure() << "candidate grids differ";
    }
    for (int s = 0; s < 81; ++s) {
        if (std::memcmp(&a.m_squares[s], &b.m_squares[s], sizeof a.m_squares[s]) != 0) {
            return ::testing::AssertionFailure() << "square " << s << " differs";
        }
    }
    if (a.m_histCount != b.m_histCount || a.m_histMark != b.m_histMark ||
        std::memcmp(a.m_history, b.m_history, sizeof(DeductionRecord) * static_cast<size_t>(a.m_histCount)) !=
            0) {
        return ::testing::AssertionFailure() << "deduction histories differ";
    }
    if (a.m_solved != b.m_solved || a.m_branchDepth != b.m_branchDepth) {
        return ::testing::AssertionFailure() << "search states differ";
    }
    return ::testing::AssertionSuccess();
}

// Runs step on the core and on a fresh-computing copy of it, and compares the two.
::testing::AssertionResult StepBothWays(CGameCore& core, const std::function<int(CGameCore&)>& step) {
    auto fresh = std::make_unique<CGameCore>(core);
    fresh->m_rebuildMemoUsed = 0;
    const int got = step(core);
    const int expected = step(*fresh);
    if (got != expected) {
        return ::testing::AssertionFailure() << "step returned " << got << " instead of " << expected;
    }
    return SameSolverState(core, *fresh);
}

// Walks a trial search over the clues of a puzzle with some pairs taken away, the way the set-up
// does it: branch, try candidates until one holds, branch deeper; step back when a level runs out.
TEST(RebuildReplay, EveryStepOfATrialSearchMatchesAFreshRebuild) {
    int steps = 0;
    for (unsigned seed : {3u, 17u, 1102u}) {
        auto core = HardPuzzle(seed);
        // Fewer clues, so the search has work to do.
        for (int k = 0; k < 3 && core->m_clueCount > 2; ++k) {
            core->RemoveCluePair(core->m_clueList[core->m_clueCount - 1]);
        }
        core->m_maxBranch = 6;
        core->m_branchDepth = 0;
        core->m_searchPos = 0;
        core->m_solved = 0;
        core->SaveState(0);
        core->ComputeAllPossibles();
        core->Propagate();
        core->WriteBackPossibles();

        for (int i = 0; i < 300; ++i) {
            SCOPED_TRACE("seed " + std::to_string(seed) + ", step " + std::to_string(i));
            ASSERT_TRUE(StepBothWays(*core, [](CGameCore& c) { return c.PushBranch(); }));
            for (int tries = 0; tries < 8; ++tries) {
                ASSERT_TRUE(StepBothWays(*core, [](CGameCore& c) { return c.TryNextCandidate(); }));
                ++steps;
                if (core->CheckState() == 0) {
                    break;
                }
            }
            if (core->m_solved == 1) {
                ASSERT_TRUE(StepBothWays(*core, [](CGameCore& c) { return c.Backtrack(); }));
            }
        }
    }
    EXPECT_GT(steps, 500);
}

// The paid flags, the stored possibles of unpaid squares and the board are all read by a rebuild:
// a state that differs from a remembered one only there is rebuilt, not replayed.
TEST(RebuildReplay, ChangesOutsideThePlayersValuesAreNeverReplayedOver) {
    auto core = HardPuzzle(5);
    core->ComputeAllPossibles();
    int squares[2] = {-1, -1};
    for (int s = 0, found = 0; s < 81 && found < 2; ++s) {
        if (core->m_grid[s / 9][s % 9] == 0) {
            squares[found++] = s;
        }
    }
    const int empty = squares[0], other = squares[1];
    ASSERT_GE(other, 0);
    const int value = core->m_solution[empty].solution;
    auto trial = [&](CGameCore& c) {
        c.m_squares[empty].value = value;
        c.RestoreSquare(empty / 9, empty % 9); // rebuilds with the square empty again
        return 0;
    };

    ASSERT_TRUE(StepBothWays(*core, trial)); // remembered from here on

    // Unpaid, with a stored list the refresh leaves alone.
    core->m_squares[other].possiblesPaid = 0;
    EXPECT_TRUE(StepBothWays(*core, trial));
    core->m_squares[other].possibles[0] = 9;
    core->m_squares[other].possibles[1] = 0;
    EXPECT_TRUE(StepBothWays(*core, trial));
    core->m_squares[other].possibles[0] = 4;
    EXPECT_TRUE(StepBothWays(*core, trial));

    // Paid again, then a clue taken off the board behind the solver's back.
    core->m_squares[other].possiblesPaid = 1;
    EXPECT_TRUE(StepBothWays(*core, trial));
    for (int s = 0; s < 81; ++s) {
        if (core->m_grid[s / 9][s % 9] != 0) {
            core->m_grid[s / 9][s % 9] = 0;
            core->m_squares[s].possiblesPaid = 1;
            break;
        }
    }
    EXPECT_TRUE(StepBothWays(*core, trial));
}

} // namespace
