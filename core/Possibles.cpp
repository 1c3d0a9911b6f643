// The player's possibles: the numerals that a square's row, column and box still allow.
#include "GameCore.h"

namespace {

// Bit v set for every numeral 1..9 that stands (as a player's or an original number) on square s.
int NumeralBit(const SquareRecord& sq, int grid) {
    int bits = 0;
    if (sq.value >= 1 && sq.value <= 9) {
        bits |= 1 << sq.value;
    }
    if (grid >= 1 && grid <= 9) {
        bits |= 1 << grid;
    }
    return bits;
}

// Writes the numerals not in `used`, ascending, then zeros: the compacted possibles.
void WritePossibles(SquareRecord& sq, int used) {
    int out = 0;
    for (int v = 1; v <= 9; ++v) {
        if ((used & (1 << v)) == 0) {
            sq.possibles[out++] = v;
        }
    }
    while (out < 9) {
        sq.possibles[out++] = 0;
    }
}

} // namespace

void CGameCore::RecomputePossibles(int r, int c, int erase) {
    if (erase == 1) {
        ErasePossiblesArea(r, c);
    }
    SquareRecord& sq = m_squares[r * 9 + c];
    if (sq.value <= 0 && m_grid[r][c] <= 0) {
        const int top = (r / 3) * 3;
        const int left = (c / 3) * 3;
        int used = 0;
        for (int i = 0; i < 9; ++i) {
            const int br = top + i / 3;
            const int bc = left + i % 3;
            used |= NumeralBit(m_squares[r * 9 + i], m_grid[r][i]);
            used |= NumeralBit(m_squares[i * 9 + c], m_grid[i][c]);
            used |= NumeralBit(m_squares[br * 9 + bc], m_grid[br][bc]);
        }
        WritePossibles(sq, used);
        CompactPossibles(r, c);
        sq.possiblesPaid = 1;
    } else {
        for (int p = 0; p < 9; ++p) {
            sq.possibles[p] = 0;
        }
    }
}

void CGameCore::CompactPossibles(int r, int c) {
    int* poss = m_squares[r * 9 + c].possibles;
    int out = 0;
    for (int p = 0; p < 9; ++p) {
        if (poss[p] > 0) {
            poss[out++] = poss[p];
        }
    }
    while (out < 9) {
        poss[out++] = 0;
    }
}

void CGameCore::RefreshAllPossibles(int erase) {
    if (erase == 1) {
        for (int r = 0; r < 9; ++r) {
            for (int c = 0; c < 9; ++c) {
                if (m_squares[r * 9 + c].possiblesPaid > 0) {
                    RecomputePossibles(r, c, erase);
                    DrawSquarePossibles(r, c);
                }
            }
        }
        return;
    }
    // The solver calls this after every trial placement: collect the numerals of each row, column
    // and box once instead of rescanning 27 squares per square.
    int rowUsed[9] = {};
    int colUsed[9] = {};
    int boxUsed[9] = {};
    for (int r = 0; r < 9; ++r) {
        for (int c = 0; c < 9; ++c) {
            const int bits = NumeralBit(m_squares[r * 9 + c], m_grid[r][c]);
            rowUsed[r] |= bits;
            colUsed[c] |= bits;
            boxUsed[(r / 3) * 3 + c / 3] |= bits;
        }
    }
    for (int r = 0; r < 9; ++r) {
        for (int c = 0; c < 9; ++c) {
            SquareRecord& sq = m_squares[r * 9 + c];
            if (sq.possiblesPaid <= 0) {
                continue;
            }
            if (sq.value <= 0 && m_grid[r][c] <= 0) {
                WritePossibles(sq, rowUsed[r] | colUsed[c] | boxUsed[(r / 3) * 3 + c / 3]);
            } else {
                for (int p = 0; p < 9; ++p) {
                    sq.possibles[p] = 0;
                }
            }
        }
    }
}

void CGameCore::ComputeAllPossibles() {
    for (int r = 0; r < 9; ++r) {
        for (int c = 0; c < 9; ++c) {
            if (m_grid[r][c] <= 0) {
                RecomputePossibles(r, c, 0);
            }
        }
    }
}
