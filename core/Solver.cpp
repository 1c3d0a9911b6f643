// The logic solver behind the puzzle set-up: single-candidate propagation on a candidate grid with
// row and column tallies, trial placements on a branch stack, and a search for a second solution.
#include "GameCore.h"

#include <cstring>

namespace {

// Recorded deductions are also kept as bits per square (kind 1 in bits 0..9, kind 2 in bits
// 16..25), so "already recorded?" is one test instead of a search of the history.
int RecordBit(int v, int kind) { return 1 << (v + (kind == 2 ? 16 : 0)); }

} // namespace

void CGameCore::Propagate() {
    // The work runs on bit masks (candidates per square, tallies per row and column) and the
    // result is written to m_cand at the end; every step below matches the candidate-grid rules
    // one for one, only the storage differs.
    int mask[81];
    int count[81];
    int rowTally[9][10] = {};
    int colTally[9][10] = {};
    int recorded[81] = {};
    for (int s = 0; s < 81; ++s) {
        const int* poss = m_squares[s].possibles;
        int m = 0;
        int n = 0;
        for (int p = 0; p < 9 && poss[p] != 0; ++p) {
            const int v = poss[p];
            m |= 1 << v;
            rowTally[s / 9][v] += 1;
            colTally[s % 9][v] += 1;
            n += 1;
        }
        mask[s] = m;
        count[s] = n;
    }
    m_histCount = 0;
    m_histMark = 99;

    // The history is bounded; a deduction that cannot be recorded is not applied, which ends the
    // propagation (each square can be recorded at most once per kind, so this is never reached).
    auto record = [this, &recorded](int r, int c, int v, int kind) {
        if (m_histCount >= kHistoryCapacity) {
            return false;
        }
        m_history[m_histCount++] = DeductionRecord{r, c, v, kind};
        recorded[r * 9 + c] |= RecordBit(v, kind);
        return true;
    };
    // Remove v from square (r, c) if it is a candidate there, keeping count and tallies.
    auto drop = [&](int r, int c, int v) {
        const int s = r * 9 + c;
        if (mask[s] & (1 << v)) {
            mask[s] &= ~(1 << v);
            count[s] -= 1;
            rowTally[r][v] -= 1;
            colTally[c][v] -= 1;
        }
    };
    // First candidate of square s that is not yet recorded with this kind, or 0.
    auto firstUnrecorded = [&](int s, int kind) {
        const int shift = kind == 2 ? 16 : 0;
        const int open = mask[s] & ~(recorded[s] >> shift) & 0x3FE;
        return open == 0 ? 0 : __builtin_ctz(static_cast<unsigned>(open));
    };

    while (m_histCount != m_histMark) {
        m_histMark = m_histCount;

        // Naked singles.
        for (int s = 0; s < 81; ++s) {
            if (count[s] != 1) {
                continue;
            }
            const int r = s / 9;
            const int c = s % 9;
            const int v = firstUnrecorded(s, 1);
            if (v == 0 || !record(r, c, v, 1)) {
                continue;
            }
            for (int x = 0; x < 9; ++x) {
                if (x != c) {
                    drop(r, x, v);
                }
            }
            rowTally[r][v] = 1;
            for (int x = 0; x < 9; ++x) {
                if (x != r) {
                    drop(x, c, v);
                }
            }
            colTally[c][v] = 1;
        }

        // Hidden singles in rows.
        for (int r = 0; r < 9; ++r) {
            for (int v = 1; v <= 9; ++v) {
                if (rowTally[r][v] != 1) {
                    continue;
                }
                for (int c = 0; c < 9; ++c) {
                    const int s = r * 9 + c;
                    if (count[s] < 2 || (mask[s] & (1 << v)) == 0 || (recorded[s] & RecordBit(v, 1))) {
                        continue;
                    }
                    if (record(r, c, v, 1)) {
                        for (int w = 1; w <= 9; ++w) {
                            if (w != v) {
                                drop(r, c, w);
                            }
                        }
                        count[s] = 1;
                        for (int x = 0; x < 9; ++x) {
                            if (x != r) {
                                drop(x, c, v);
                            }
                        }
                        colTally[c][v] = 1;
                    }
                    break;
                }
            }
        }

        // Hidden singles in columns.
        for (int c = 0; c < 9; ++c) {
            for (int v = 1; v <= 9; ++v) {
                if (colTally[c][v] != 1) {
                    continue;
                }
                for (int r = 0; r < 9; ++r) {
                    const int s = r * 9 + c;
                    if (count[s] < 2 || (mask[s] & (1 << v)) == 0 || (recorded[s] & RecordBit(v, 1))) {
                        continue;
                    }
                    if (record(r, c, v, 1)) {
                        for (int w = 1; w <= 9; ++w) {
                            if (w != v) {
                                drop(r, c, w);
                            }
                        }
                        count[s] = 1;
                        for (int x = 0; x < 9; ++x) {
                            if (x != c) {
                                drop(r, x, v);
                            }
                        }
                        rowTally[r][v] = 1;
                    }
                    break;
                }
            }
        }

        // Singles applied to their boxes.
        for (int b = 0; b < 9; ++b) {
            const int top = (b / 3) * 3;
            const int left = (b % 3) * 3;
            for (int i = 0; i < 9; ++i) {
                const int r = top + i / 3;
                const int c = left + i % 3;
                const int s = r * 9 + c;
                if (count[s] != 1) {
                    continue;
                }
                const int v = firstUnrecorded(s, 2);
                if (v == 0 || !record(r, c, v, 2)) {
                    continue;
                }
                for (int k = 0; k < 9; ++k) {
                    const int rr = top + k / 3;
                    const int cc = left + k % 3;
                    if (rr != r && cc != c && count[rr * 9 + cc] > 0) {
                        drop(rr, cc, v);
                    }
                }
            }
        }
    }

    std::memset(m_cand, 0, sizeof m_cand);
    for (int s = 0; s < 81; ++s) {
        int* cell = m_cand[s / 9][s % 9];
        cell[0] = count[s];
        for (int v = 1; v <= 9; ++v) {
            if (mask[s] & (1 << v)) {
                cell[v] = v;
            }
        }
    }
    for (int k = 0; k < 9; ++k) {
        for (int v = 1; v <= 9; ++v) {
            m_cand[k][9][v] = rowTally[k][v];
            m_cand[9][k][v] = colTally[k][v];
        }
    }
}

void CGameCore::WriteBackPossibles() {
    for (int r = 0; r < 9; ++r) {
        for (int c = 0; c < 9; ++c) {
            int* poss = m_squares[r * 9 + c].possibles;
            for (int p = 0; p < 9; ++p) {
                poss[p] = 0;
            }
            if (m_cand[r][c][0] > 0) {
                int out = 0;
                for (int v = 1; v <= 9; ++v) {
                    if (m_cand[r][c][v] != 0) {
                        poss[out++] = v;
                    }
                }
            }
        }
    }
}

int CGameCore::CheckState() {
    m_solved = 0;
    bool allSettled = true;
    for (int r = 0; r < 9; ++r) {
        for (int c = 0; c < 9; ++c) {
            if (m_squares[r * 9 + c].value > 0 || m_grid[r][c] > 0 || m_cand[r][c][0] == 1) {
                continue;
            }
            if (m_cand[r][c][0] == 0) {
                return 1;
            }
            allSettled = false;
        }
    }
    if (allSettled) {
        m_solved = 1;
    }
    return 0;
}

void CGameCore::SaveState(int slot) {
    if (slot != 0) {
        return;
    }
    std::memcpy(m_savedState.cand, m_cand, sizeof m_cand);
    std::memcpy(m_savedState.squares, m_squares, sizeof m_squares);
}

void CGameCore::RestoreState(int slot) {
    if (slot != 0) {
        return;
    }
    std::memcpy(m_cand, m_savedState.cand, sizeof m_cand);
    std::memcpy(m_squares, m_savedState.squares, sizeof m_squares);
}

void CGameCore::RecomputeSolverState() {
    RefreshAllPossibles(0);
    Propagate();
    WriteBackPossibles();
}

void CGameCore::RestoreSquare(int r, int c) {
    SquareRecord& sq = m_squares[r * 9 + c];
    if (sq.value != 0) {
        sq.value = 0;
        RecomputeSolverState();
    }
}

void CGameCore::ResetSolver() {
    m_branchDepth = 0;
    m_searchPos = 0;
    m_solved = 0;
}

int CGameCore::PushBranch() {
    if (m_branchDepth > kBranchCapacity - 1) {
        return -1;
    }
    const int start = m_searchPos;
    for (;;) {
        const int n = m_cand[m_searchPos / 9][m_searchPos % 9][0];
        if (n >= 2 && n <= m_maxBranch) {
            break;
        }
        m_searchPos = m_searchPos == 80 ? 0 : m_searchPos + 1;
        if (m_searchPos == start) {
            return 0;
        }
    }
    const int s = m_searchPos;
    m_branch[m_branchDepth] = BranchLevel{s / 9, s % 9, m_cand[s / 9][s % 9][0], 0};
    m_lastBranchSquare = s;
    m_searchPos = m_searchPos == 80 ? 0 : m_searchPos + 1;
    m_branchDepth += 1;
    return 1;
}

int CGameCore::TryNextCandidate() {
    if (m_branchDepth < 1) {
        return 0;
    }
    BranchLevel& top = m_branch[m_branchDepth - 1];
    top.tried += 1;
    RestoreSquare(top.row, top.col);
    SquareRecord& sq = m_squares[top.row * 9 + top.col];
    sq.value = top.tried <= 9 ? sq.possibles[top.tried - 1] : 0;
    RecomputeSolverState();
    return top.tried <= top.count ? 1 : 0;
}

int CGameCore::Backtrack() {
    if (m_branchDepth == 0) {
        return 0;
    }
    RestoreSquare(m_branch[m_branchDepth - 1].row, m_branch[m_branchDepth - 1].col);
    while (m_branch[m_branchDepth - 1].tried >= m_branch[m_branchDepth - 1].count) {
        m_branchDepth -= 1;
        if (m_branchDepth == 0) {
            return 0;
        }
        RestoreSquare(m_branch[m_branchDepth - 1].row, m_branch[m_branchDepth - 1].col);
    }
    return 1;
}

int CGameCore::SearchSecondSolution() {
    if (Backtrack() == 0) {
        return 1;
    }
    int pushed = 1;
    for (;;) {
        bool exhausted = TryNextCandidate() == 0;
        if (!exhausted) {
            int contradiction = CheckState();
            while (contradiction == 1) {
                if (TryNextCandidate() == 0) {
                    pushed = PushBranch();
                    if (pushed != 1) {
                        return pushed == 0 ? 1 : -1;
                    }
                } else {
                    contradiction = CheckState();
                }
            }
            if (m_solved == 1) {
                return 0;
            }
            continue;
        }
        pushed = PushBranch();
        if (pushed != 1) {
            return pushed == 0 ? 1 : -1;
        }
    }
}
