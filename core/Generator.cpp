// Solution grid generator: built band by band with randomised greedy choices, local swap repairs,
// an ordered search for the bottom band, and validity checks that start a new pass on failure.
#include "GameCore.h"

namespace {

// The six orders of three positions, in the order the bottom-band search tries them.
constexpr int kOrders[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};

int BoxStart(int x) {
    return (x / 3) * 3;
}

} // namespace

// The pick list 0..8 is kept as bits: taking its i-th entry (ascending) and deleting it is what
// moving the later entries down does.
void CGameCore::MakeCandidateList() {
    unsigned left = 0x1FF;
    for (int k = 0; k < 9; ++k) {
        unsigned bits = left;
        for (int i = Rand() % (9 - k); i > 0; --i) {
            bits &= bits - 1;
        }
        const int pick = __builtin_ctz(bits);
        m_perm[k] = pick + 1;
        left &= ~(1u << pick);
    }
}

// Deleting every position that holds an excluded value, one value after another, leaves the other
// entries in their order and zeros behind them, whatever the order of deletion.
void CGameCore::RemoveExcluded(int n) {
    unsigned excluded = 0;
    for (int e = 0; e < n && e < 9; ++e) {
        const unsigned x = static_cast<unsigned>(m_exclude[e]);
        excluded |= x < 16 ? 1u << x : 0u;
    }
    int len = 0;
    for (int pos = 0; pos < 9; ++pos) {
        const unsigned v = static_cast<unsigned>(m_perm[pos]);
        if (v >= 16 || ((excluded >> v) & 1u) == 0) {
            m_perm[len++] = m_perm[pos];
        }
    }
    while (len < 9) {
        m_perm[len++] = 0;
    }
}

void CGameCore::CopyRowSegment(int r) {
    for (int i = 0; i < 6; ++i) {
        m_exclude[i] = m_grid[r][i];
    }
}

void CGameCore::CopyBlock(int r, int c) {
    for (int i = 0; i < 9; ++i) {
        m_exclude[i] = m_grid[r + i / 3][c + i % 3];
    }
}

void CGameCore::CopyColumnSegment(int c, int r) {
    for (int i = 0; i < 3; ++i) {
        m_exclude[i] = m_grid[r + i][c];
    }
}

void CGameCore::CopyColumnTop(int c) {
    for (int i = 0; i < 6; ++i) {
        m_exclude[i] = m_grid[i][c];
    }
}

// Rows 1 and 4: three values from the other two boxes of the row above go to the left box (never
// all three from one box), the middle box takes what keeps the boxes apart, the right box is random.
void CGameCore::BuildRowFromAbove(int src) {
    const int dst = src + 1;
    int pick[6];
    int len = 0;
    for (;;) {
        len = 6;
        for (int i = 0; i < 6; ++i) {
            pick[i] = 3 + i;
        }
        int boxOf[3];
        for (int k = 0; k < 3; ++k) {
            const int i = Rand() % (6 - k);
            m_grid[dst][k] = m_grid[src][pick[i]];
            boxOf[k] = BoxStart(pick[i]);
            for (int j = i; j < len - 1; ++j) {
                pick[j] = pick[j + 1];
            }
            --len;
        }
        if (!(boxOf[0] == boxOf[1] && boxOf[1] == boxOf[2])) {
            break;
        }
    }
    // The three columns left are ascending, so the middle-box ones come first.
    int first = 0;
    while (first < len && pick[first] <= 5) {
        ++first;
    }
    const int count = len - first;
    const int* rest = pick + first;
    if (count < 2) {
        m_grid[dst][3] = m_grid[src][rest[0]];
        int a = 0;
        int b = 0;
        do {
            a = Rand() % 3;
            b = Rand() % 3;
        } while (m_grid[src][a] == m_grid[src][b]);
        m_grid[dst][4] = m_grid[src][a];
        m_grid[dst][5] = m_grid[src][b];
    } else {
        m_grid[dst][3] = m_grid[src][rest[1]];
        m_grid[dst][4] = m_grid[src][rest[0]];
        m_grid[dst][5] = m_grid[src][Rand() % 3];
    }
    MakeCandidateList();
    CopyRowSegment(dst);
    RemoveExcluded(6);
    for (int k = 0; k < 3; ++k) {
        m_grid[dst][6 + k] = m_perm[k];
    }
}

void CGameCore::RunRow3Builder() {
    for (int c = 0; c < 9; ++c) {
        MakeCandidateList();
        CopyColumnSegment(c, 0);
        RemoveExcluded(3);
        for (int k = 0; k < 6; ++k) {
            m_colCands[c][k] = m_perm[k];
        }
    }
    m_grid[3][0] = m_colCands[0][Rand() % 6];
    int used = 1 << m_grid[3][0];
    m_rowRetry = 0;
    for (int c = 1; c < 9; ++c) {
        // The counter restarts for every column, so after column 8 it holds that column's misses.
        m_rowRetry = 0;
        int offered = 0;
        for (int k = 0; k < 6; ++k) {
            offered |= 1 << m_colCands[c][k];
        }
        if ((offered & ~used) == 0) {
            // Every draw misses: the 1000 draws only move the random generator on.
            SkipRands(1000);
            m_rowRetry = 1000;
            return; // the caller rebuilds row 3 from fresh tables
        }
        for (;;) {
            const int v = m_colCands[c][Rand() % 6];
            if ((used & (1 << v)) == 0) {
                m_grid[3][c] = v;
                used |= 1 << v;
                break;
            }
            ++m_rowRetry;
            if (m_rowRetry > 999) {
                return; // 1000 misses: give up, the caller rebuilds row 3 from fresh tables
            }
        }
    }
}

void CGameCore::BuildRow3() {
    m_rowRetry = 999;
    do {
        RunRow3Builder();
    } while (m_rowRetry > 990);
}

void CGameCore::RepairRow4() {
    for (int c = 0; c < 9; ++c) {
        for (int u = 0; u <= 3; ++u) {
            if (m_grid[4][c] != m_grid[u][c]) {
                continue;
            }
            for (int j = 0; j < 9; ++j) {
                if (j == c) {
                    continue;
                }
                const int vc = m_grid[4][c];
                const int vj = m_grid[4][j];
                bool fits = true;
                for (int m = 0; m <= 3 && fits; ++m) {
                    if (vc == m_grid[m][j] || vj == m_grid[m][c]) {
                        fits = false;
                    }
                }
                if (fits && BoxStart(c) != BoxStart(j)) {
                    for (int k = 0; k < 3 && fits; ++k) {
                        if (vc == m_grid[3][BoxStart(j) + k] || vj == m_grid[3][BoxStart(c) + k]) {
                            fits = false;
                        }
                    }
                }
                if (fits) {
                    m_grid[4][c] = vj;
                    m_grid[4][j] = vc;
                    break;
                }
            }
        }
    }
}

void CGameCore::RepairRow5() {
    for (int c = 0; c < 9; ++c) {
        for (int u = 0; u <= 2; ++u) {
            if (m_grid[5][c] != m_grid[u][c]) {
                continue;
            }
            for (int j = BoxStart(c); j < BoxStart(c) + 3; ++j) {
                if (j == c) {
                    continue;
                }
                const int vc = m_grid[5][c];
                const int vj = m_grid[5][j];
                bool fits = true;
                for (int m = 0; m <= 2 && fits; ++m) {
                    if (vc == m_grid[m][j] || vj == m_grid[m][c]) {
                        fits = false;
                    }
                }
                if (fits) {
                    m_grid[5][c] = vj;
                    m_grid[5][j] = vc;
                    break;
                }
            }
        }
    }
}

bool CGameCore::TopSixRowsValid() const {
    for (int c = 0; c < 9; ++c) {
        int seen = 0;
        for (int r = 0; r < 6; ++r) {
            const int bit = 1 << m_grid[r][c];
            if (seen & bit) {
                return false;
            }
            seen |= bit;
        }
    }
    for (int top = 0; top <= 3; top += 3) {
        for (int left = 0; left <= 6; left += 3) {
            int seen = 0;
            for (int i = 0; i < 9; ++i) {
                const int bit = 1 << m_grid[top + i / 3][left + i % 3];
                if (seen & bit) {
                    return false;
                }
                seen |= bit;
            }
        }
    }
    return true;
}

// Every row, column and box a permutation of 1..9. A square left at 0 always fails, too.
bool CGameCore::GridValid() const {
    for (int k = 0; k < 9; ++k) {
        int row = 0;
        int col = 0;
        int box = 0;
        for (int i = 0; i < 9; ++i) {
            row |= 1 << m_grid[k][i];
            col |= 1 << m_grid[i][k];
            box |= 1 << m_grid[BoxStart(k) + i / 3][(k % 3) * 3 + i % 3];
        }
        if (row != 0x3FE || col != 0x3FE || box != 0x3FE) {
            return false;
        }
    }
    return true;
}

namespace {

// Whether column c (rows 6..8 already written) agrees with the columns before it under the partial
// band check: rows 6..8 distinct over columns 0..5, rows 6..7 of each left box distinct.
bool BandColumnFits(const int (*g)[9], int c) {
    for (int x = 0; x < c; ++x) {
        for (int r = 6; r < 9; ++r) {
            if (g[r][x] == g[r][c]) {
                return false;
            }
        }
        if (x / 3 == c / 3 && (g[6][x] == g[7][c] || g[7][x] == g[6][c])) {
            return false;
        }
    }
    return g[6][c] != g[7][c];
}

} // namespace

void CGameCore::BuildBottomBand() {
    for (int c = 0; c < 9; ++c) {
        MakeCandidateList();
        CopyColumnTop(c);
        RemoveExcluded(6);
        for (int k = 0; k < 3; ++k) {
            m_bottomCands[c][k] = m_perm[k];
        }
    }
    // Columns 0..5 each take one of the six orders, tried like nested loops with column 5 fastest;
    // the first combination that passes the partial band check is kept. The check only compares
    // pairs of columns, so a depth-first walk that abandons a prefix at its first clash finds the
    // same combination; every combination skipped that way would have failed, and the error counter
    // advances by their number just as if each had been checked.
    int order[6] = {0, 0, 0, 0, 0, 0};
    auto place = [this, &order](int c) {
        for (int k = 0; k < 3; ++k) {
            m_grid[6 + k][c] = m_bottomCands[c][kOrders[order[c]][k]];
        }
    };
    int col = 0;
    place(0);
    bool found = false;
    for (;;) {
        if (BandColumnFits(m_grid, col)) {
            if (col == 5) {
                found = true;
                break;
            }
            ++col;
            order[col] = 0;
            place(col);
            continue;
        }
        while (col >= 0 && order[col] == 5) {
            --col;
        }
        if (col < 0) {
            break;
        }
        ++order[col];
        place(col);
    }
    if (found) {
        int index = 0;
        for (int k = 0; k < 6; ++k) {
            index = index * 6 + order[k];
        }
        m_bandErrors += index;
        m_bandErrorsSeen = m_bandErrors;
    } else {
        for (int k = 0; k < 6; ++k) {
            order[k] = 5;
            place(k);
        }
        m_bandErrors += 46656;
        m_bandErrorsSeen = m_bandErrors - 1;
    }
    for (int r = 6; r < 9; ++r) {
        for (int c = 6; c < 9; ++c) {
            int chosen = 0;
            for (int k = 0; k < 3 && chosen == 0; ++k) {
                const int v = m_bottomCands[c][k];
                bool inRow = false;
                for (int x = 0; x < 6; ++x) {
                    if (m_grid[r][x] == v) {
                        inRow = true;
                        break;
                    }
                }
                if (!inRow) {
                    chosen = v;
                }
            }
            m_grid[r][c] = chosen;
        }
    }
    m_gridErrorsSeen = m_gridErrors;
    if (!GridValid()) {
        ++m_gridErrors;
    }
}

int CGameCore::RunGeneratorPass() {
    ++m_diagGeneratorPasses;
    m_topErrors = 0;
    m_topErrorsPrev = 0;
    for (;;) {
        MakeCandidateList();
        for (int c = 0; c < 9; ++c) {
            m_grid[0][c] = m_perm[c];
        }
        BuildRowFromAbove(0);
        for (int b = 0; b < 9; b += 3) {
            MakeCandidateList();
            CopyBlock(0, b);
            RemoveExcluded(6);
            for (int k = 0; k < 3; ++k) {
                m_grid[2][b + k] = m_perm[k];
            }
        }
        BuildRow3();
        BuildRowFromAbove(3);
        RepairRow4();
        for (int b = 0; b < 9; b += 3) {
            MakeCandidateList();
            CopyBlock(3, b);
            RemoveExcluded(6);
            for (int k = 0; k < 3; ++k) {
                m_grid[5][b + k] = m_perm[k];
            }
        }
        RepairRow5();
        if (!TopSixRowsValid()) {
            ++m_topErrors;
        }
        if (m_topErrors == m_topErrorsPrev) {
            break;
        }
        m_topErrorsPrev = m_topErrors;
        if (m_topErrors > 6) {
            return 0; // seven failed attempts at the top two bands
        }
    }
    BuildBottomBand();
    return 1;
}

void CGameCore::GenerateSolutionGrid() {
    m_bandErrors = 0;
    m_bandErrorsSeen = 0;
    m_gridErrors = 0;
    m_gridErrorsSeen = 0;
    // A pass that failed in the top bands never reached the whole-grid check, so its unchanged
    // counters must not be read as success.
    for (;;) {
        const int reached = RunGeneratorPass();
        if (reached == 1 && m_gridErrors == m_gridErrorsSeen) {
            break;
        }
    }
}
