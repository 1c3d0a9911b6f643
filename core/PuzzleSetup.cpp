// Easy and Hard puzzles: a point-symmetric clue pattern, clues moved onto the swappable rectangles
// of the solution, then clue pairs added until the solver finds a single solution (and, for Hard,
// every pair removed that single-candidate steps do not need).
#include "GameCore.h"

#include <cassert>
#include <cstring>

void CGameCore::ResetPuzzleFields() {
    m_clueCount = 0;
    m_points = kPointsMarker;
    m_caretRow = 0;
    m_caretCol = 0;
    m_autoSolve = 0;
}

void CGameCore::PrepareNextGrid() {
    m_bandErrors = 0;
    m_bandErrorsSeen = 0;
    m_gridErrors = 0;
    m_gridErrorsSeen = 0;
    GenerateSolutionGrid();
    FindRectangles();
}

void CGameCore::BeginEasy() {
    m_option = kOptionEasy;
    m_clueCount = 28 + Rand() % 2;
}

void CGameCore::BeginHard() {
    m_clueCount = 28;
    m_option = kOptionHard;
    ShowPuzzleCaret();
}

void CGameCore::OnEasy() {
    BeginEasy();
    BuildPuzzle();
}

void CGameCore::OnHard() {
    if (m_option == kOptionHome) {
        BeginHard();
    }
    BuildPuzzle();
}

void CGameCore::FindRectangles() {
    m_rectCount = 0;
    auto append = [this](int r, int c1, int c2, int r2) {
        if (m_rectCount < kRectCapacity) {
            m_rects[m_rectCount++] = RectRecord{{r * 9 + c1, r * 9 + c2, r2 * 9 + c1, r2 * 9 + c2}};
        }
    };
    auto crosswise = [this](int r, int c1, int c2, int r2) {
        return m_grid[r][c2] == m_grid[r2][c1] && m_grid[r2][c2] == m_grid[r][c1];
    };
    for (int band = 0; band < 9; band += 3) {
        for (int r = band; r < band + 2; ++r) {
            for (int c1 = 0; c1 < 9; ++c1) {
                for (int c2 = c1 + 1; c2 < 9; ++c2) {
                    for (int r2 = r + 1; r2 < band + 3; ++r2) {
                        if (crosswise(r, c1, c2, r2)) {
                            append(r, c1, c2, r2);
                            break;
                        }
                    }
                }
            }
        }
    }
    for (int stack = 0; stack < 9; stack += 3) {
        for (int r = 0; r <= 5; ++r) {
            for (int c1 = stack; c1 < stack + 3; ++c1) {
                for (int c2 = c1 + 1; c2 < stack + 3; ++c2) {
                    for (int r2 = (r / 3 + 1) * 3; r2 < 9; ++r2) {
                        if (crosswise(r, c1, c2, r2)) {
                            append(r, c1, c2, r2);
                            break;
                        }
                    }
                }
            }
        }
    }
}

int CGameCore::ClueListIndex(int s) const {
    for (int i = 0; i < m_clueCount; ++i) {
        if (m_clueList[i] == s) {
            return i;
        }
    }
    return -1;
}

// Only entries inside the list count as partners: a stale entry past the end must never be taken
// for the mirror of the last clue.
int CGameCore::ClueListPartner(int i) const {
    const int mirror = Mirror(m_clueList[i]);
    if (i + 1 < m_clueCount && m_clueList[i + 1] == mirror) {
        return i + 1;
    }
    if (i >= 1 && m_clueList[i - 1] == mirror) {
        return i - 1;
    }
    return 0;
}

// New entries get the lowest free mirror pair as a placeholder, so the list stays made of mirror
// pairs (plus the centre) and the moves that follow can place them onto uncovered rectangles.
void CGameCore::AppendFillerPairs(int count) {
    for (int k = 0; k < count; ++k) {
        for (int s = 0; s < kCentre; ++s) {
            if (ClueListIndex(s) < 0 && ClueListIndex(Mirror(s)) < 0) {
                m_clueList[m_clueCount] = s;
                m_clueList[m_clueCount + 1] = Mirror(s);
                m_clueUsage[m_clueCount] = 0;
                m_clueUsage[m_clueCount + 1] = 0;
                m_clueCount += 2;
                break;
            }
        }
    }
}

int CGameCore::CoverRectangles() {
    for (int i = 0; i < kSquareCount; ++i) {
        m_clueUsage[i] = 0;
    }
    auto hasCorner = [](const RectRecord& rect, int s) {
        return rect.corner[0] == s || rect.corner[1] == s || rect.corner[2] == s || rect.corner[3] == s;
    };

    // Rectangles already holding a clue are covered and leave the list.
    for (int k = 0; k < m_rectCount;) {
        int hit = -1;
        for (int i = 0; i < m_clueCount; ++i) {
            if (hasCorner(m_rects[k], m_clueList[i])) {
                hit = i;
                break;
            }
        }
        if (hit < 0) {
            ++k;
            continue;
        }
        m_clueUsage[hit] += 1;
        m_rects[k] = m_rects[m_rectCount - 1];
        m_rectCount -= 1;
    }

    // Not enough clues left over to move onto the rest: raise the count, in whole mirror pairs so
    // the centre stays a clue exactly when the count is odd.
    int freeCount = 0;
    for (int i = 0; i < m_clueCount; ++i) {
        if (m_clueUsage[i] == 0) {
            ++freeCount;
        }
    }
    if (freeCount < m_rectCount) {
        int added = m_rectCount - freeCount;
        added += added & 1;
        if (m_clueCount + added > kSquareCount) {
            return 0;
        }
        AppendFillerPairs(added / 2);
    }

    for (int k = 0; k < m_rectCount; ++k) {
        const RectRecord& rect = m_rects[k];
        bool done = false;
        for (int t = 1; t <= 80 && !done; ++t) {
            for (int i = 0; i < m_clueCount && !done; ++i) {
                if (i == 0 && m_clueList[0] == kCentre) {
                    continue;
                }
                const int j = ClueListPartner(i);
                const int v = m_clueList[i];
                if (hasCorner(rect, v) && m_clueUsage[i] >= 1) {
                    m_clueUsage[i] += 1;
                    m_clueUsage[j] += 1;
                    done = true;
                    break;
                }
                int corner = -1;
                for (int n = 0; n < 4; ++n) {
                    if (rect.corner[n] - v == t || v - rect.corner[n] == t) {
                        corner = rect.corner[n];
                        break;
                    }
                }
                if (corner < 0) {
                    continue;
                }
                // The centre is its own mirror: a pair cannot be moved there.
                if (corner != kCentre && m_clueUsage[i] == 0 && m_clueUsage[j] < 1 &&
                    ClueListIndex(Mirror(corner)) < 0) {
                    m_clueList[i] = corner;
                    m_clueList[j] = Mirror(corner);
                    m_clueUsage[i] = 1;
                    m_clueUsage[j] = 1;
                    done = true;
                }
            }
        }
    }
    return 1;
}

int CGameCore::ChooseClues() {
    std::memset(m_clueList, 0, sizeof m_clueList);
    int n = 0;
    const int odd = m_clueCount & 1;
    if (odd) {
        m_clueList[n++] = kCentre;
    }
    const int pairs = (m_clueCount - odd) / 2;

    int p[4] = {0, 0, 0, 0};
    int nc = 0;
    for (;;) {
        int q = (pairs * 4) / 9;
        if (q < 1) {
            q = 1;
        }
        int zeros = 0;
        nc = pairs;
        for (int k = 0; k < 4; ++k) {
            p[k] = Rand() % q;
            if (p[k] > 6) {
                p[k] = 6;
            }
            nc -= p[k];
            if (p[k] == 0) {
                ++zeros;
            }
        }
        if (!odd && nc == 0) {
            ++zeros;
        }
        if (nc >= 0 && nc <= 2 && zeros <= 1) {
            break;
        }
    }

    static constexpr int kBoxTop[4] = {0, 0, 0, 3};
    static constexpr int kBoxLeft[4] = {0, 3, 6, 0};
    for (int k = 0; k < 4; ++k) {
        if (p[k] <= 0) {
            continue;
        }
        const int pattern = m_subsets[p[k]][Rand() % m_subsetCount[p[k]]];
        for (int i = 0; i < 9; ++i) {
            if (pattern & (1 << i)) {
                const int s = (kBoxTop[k] + i / 3) * 9 + kBoxLeft[k] + i % 3;
                m_clueList[n++] = s;
                m_clueList[n++] = Mirror(s);
            }
        }
    }
    auto centreBoxSquare = [](int k) { return (3 + k / 3) * 9 + 3 + k % 3; };
    if (nc >= 1) {
        int k = 0;
        do {
            k = Rand() % 9;
        } while (k == 4);
        m_clueList[n++] = centreBoxSquare(k);
        m_clueList[n++] = centreBoxSquare(8 - k);
        if (nc == 2) {
            int k2 = 0;
            do {
                k2 = Rand() % 9;
            } while (k2 == 4 || k2 == k || k2 == 8 - k);
            m_clueList[n++] = centreBoxSquare(k2);
            m_clueList[n++] = centreBoxSquare(8 - k2);
        }
    }

    if (CoverRectangles() == 0) {
        return 0;
    }

    for (int s = 0; s < kSquareCount; ++s) {
        m_solution[s].solution = GridAt(s);
        m_solution[s].checkValue = 0;
    }
    std::memset(m_squares, 0, sizeof m_squares);
    std::memset(m_grid, 0, sizeof m_grid);
    for (int i = 0; i < m_clueCount; ++i) {
        GridAt(m_clueList[i]) = m_solution[m_clueList[i]].solution;
    }
    return 1;
}

// Starting over after a give-up runs as a loop, not nested inside the failed set-up, so any
// number of start-overs uses no stack. m_gridReady is left alone: it stays 1, the new grid is
// already made here.
int CGameCore::StartOver() {
    ++m_diagSetupStartOvers;
    PrepareNextGrid();
    m_clueCount = 0;
    m_points = kPointsMarker;
    m_giveUp = 0;
    if (m_option == kOptionEasy) {
        m_option = kOptionHome;
        BeginEasy();
        return 1;
    }
    if (m_option == kOptionHard) {
        m_option = kOptionHome;
        BeginHard();
        return 1;
    }
    return 0;
}

void CGameCore::BuildPuzzle() {
    int chosen = ChooseClues();
    BeginSetupWait();
    while (chosen == 0 || CheckAndAdjust() == 0) {
        if (StartOver() == 0) {
            break;
        }
        chosen = ChooseClues();
    }
    EndSetupWait();

    RestoreState(0);
    std::memset(m_squares, 0, sizeof m_squares);
    CreatePuzzleCaret();
    m_caretShowCount = 0;
    m_givenCount = m_clueCount;
    PaintBoard();
}

void CGameCore::GiveUpSetup() {
    m_points = kPointsMarker;
    m_clueCount = 0;
    m_giveUp = kGiveUpMark;
}

void CGameCore::DeleteClueEntry(int i) {
    for (int k = i; k < m_clueCount - 1; ++k) {
        m_clueList[k] = m_clueList[k + 1];
    }
    m_clueList[m_clueCount - 1] = 0;
}

void CGameCore::AddCluePair(int s) {
    if (m_clueCount + 2 == 49 || m_clueCount + 2 == 50) {
        int seen = 0;
        for (int i = 0; i < m_clueCount; ++i) {
            if (m_clueList[i] == s) {
                ++seen;
            }
        }
        if (seen >= 3) {
            GiveUpSetup();
            return;
        }
    }
    // The clue list holds 81 entries; a pair that does not fit gives the set-up up as well.
    if (m_clueCount + (s == kCentre ? 1 : 2) > kSquareCount) {
        GiveUpSetup();
        return;
    }
    if (s == kCentre) {
        for (int k = m_clueCount; k > 0; --k) {
            m_clueList[k] = m_clueList[k - 1];
        }
        m_clueList[0] = kCentre;
        GridAt(kCentre) = m_solution[kCentre].solution;
        SquareRecord& sq = m_squares[kCentre];
        sq.value = 0;
        sq.possiblesPaid = 0;
        sq.possibles[0] = 0;
        RecomputeSolverState();
        m_clueCount += 1;
        m_givenCount = m_clueCount;
        return;
    }
    // One rebuild after both squares gives the state a rebuild after each would: a rebuild reads the
    // board, the players' values and the paid flags, which it leaves alone, and the stored
    // possibles of unpaid squares, which it writes back propagated. Those lists must be empty for
    // the first rebuild to change nothing the second reads.
    assert(UnpaidPossiblesEmpty());
    const int squares[2] = {s, Mirror(s)};
    for (int x : squares) {
        m_clueList[m_clueCount] = x;
        GridAt(x) = m_solution[x].solution;
        std::memset(&m_squares[x], 0, sizeof(SquareRecord));
        m_clueCount += 1;
        m_givenCount = m_clueCount;
    }
    RecomputeSolverState();
}

bool CGameCore::UnpaidPossiblesEmpty() const {
    for (const SquareRecord& sq : m_squares) {
        if (sq.possiblesPaid <= 0 && sq.possibles[0] != 0) {
            return false;
        }
    }
    return true;
}

void CGameCore::RemoveCluePair(int s) {
    if (s == kCentre) {
        if (m_clueCount < 1 || m_clueList[0] != kCentre) {
            return;
        }
        DeleteClueEntry(0);
        GridAt(kCentre) = 0;
        m_squares[kCentre].possiblesPaid = 1;
        RecomputeSolverState();
        m_clueCount -= 1;
        m_givenCount -= 1;
        return;
    }
    assert(UnpaidPossiblesEmpty()); // as in AddCluePair
    const int squares[2] = {s, Mirror(s)};
    bool removed = false;
    for (int x : squares) {
        const int i = ClueListIndex(x);
        if (i < 0) {
            continue;
        }
        DeleteClueEntry(i);
        GridAt(x) = 0;
        m_squares[x].possiblesPaid = 1;
        m_clueCount -= 1;
        m_givenCount -= 1;
        removed = true;
    }
    if (removed) {
        RecomputeSolverState(); // once for both squares, as in AddCluePair
    }
}

// The trial search: -1 gives up (branch stack full), 0 finds no square to branch on, 1 solved.
int CGameCore::RunBranchSearch() {
    for (;;) {
        int pushed = PushBranch();
        if (pushed != 1) {
            return pushed;
        }
        if (TryNextCandidate() == 0) {
            continue;
        }
        int contradiction = CheckState();
        while (contradiction == 1) {
            if (TryNextCandidate() == 0) {
                pushed = PushBranch();
                if (pushed != 1) {
                    return pushed;
                }
            } else {
                contradiction = CheckState();
            }
        }
        if (m_solved == 1) {
            return 1;
        }
    }
}

// Hard: drop every clue pair that single-candidate steps do not need, then the centre.
int CGameCore::ReduceClues() {
    const int before = m_clueCount;
    const int centre = m_clueCount & 1;
    int firsts[kSquareCount / 2];
    int pairCount = 0;
    for (int i = centre; i + 1 < m_clueCount && pairCount < kSquareCount / 2; i += 2) {
        firsts[pairCount++] = m_clueList[i];
    }
    for (int k = 0; k < pairCount; ++k) {
        RemoveCluePair(firsts[k]);
        NoteSolved();
        if (m_solved != 1) {
            AddCluePair(firsts[k]);
            if (m_giveUp == kGiveUpMark) {
                return 0;
            }
        }
    }
    if (centre == 1) {
        RemoveCluePair(kCentre);
        NoteSolved();
        if (m_solved != 1) {
            AddCluePair(kCentre);
            if (m_giveUp == kGiveUpMark) {
                return 0;
            }
        }
    }
    m_givenCount = m_clueCount;
    m_diagReductionRemovals = before - m_clueCount;
    return 1;
}

// Inside, the solver may keep its state (TrialStates.h) instead of writing it out; it is written out
// before the set-up goes on.
int CGameCore::CheckAndAdjust() {
    m_solverDeferred = m_solverShortcuts != 0 ? 1 : 0;
    m_trialKeyCurrent = false;
    const int finished = AdjustClues();
    SettleSolverState();
    m_solverDeferred = 0;
    return finished;
}

// Propagate and WriteBackPossibles right after ComputeAllPossibles are the solver's rebuild: every
// empty square is paid and its list is what its row, column and box leave, and the clues are unpaid
// with empty lists.
int CGameCore::AdjustClues() {
    m_diagReductionRemovals = 0;
    ResetSolver();
    SaveState(0);
    ComputeAllPossibles();
    RecomputeSolverState();
    CheckState();
    if (m_solved == 1) {
        return 1; // single-candidate steps already solve it; nothing is removed, not even for Hard
    }
    for (;;) {
        const int found = RunBranchSearch();
        if (found < 0) {
            return 0;
        }
        if (found == 0) {
            break;
        }
        const int second = SearchSecondSolution();
        if (second < 0) {
            return 0;
        }
        if (second == 1) {
            break;
        }
        RestoreState(0);
        AddCluePair(m_lastBranchSquare);
        if (m_giveUp == kGiveUpMark) {
            return 0;
        }
        SaveState(0);
        ResetSolver();
        ComputeAllPossibles();
        RecomputeSolverState();
    }
    if (m_option == kOptionHard) {
        return ReduceClues();
    }
    return 1;
}
