// The player's possibles: the numerals that a square's row, column and box still allow.
#include "GameCore.h"

namespace {

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

// RecomputePossibles(r, c, 0) on every square pick(r, c) chooses. Recomputing possibles changes
// no numeral on the board, so the numerals of each row, column and box are gathered once instead
// of rescanning 27 squares per square (the solver asks for this after every trial placement).
template <typename Pick> void RecomputeEach(CGameCore& core, Pick pick) {
    HouseNumerals houses;
    for (int s = 0; s < CGameCore::kSquareCount; ++s) {
        houses.Add(s / 9, s % 9, core.m_squares[s].value, core.m_grid[s / 9][s % 9]);
    }
    for (int r = 0; r < 9; ++r) {
        for (int c = 0; c < 9; ++c) {
            if (!pick(r, c)) {
                continue;
            }
            SquareRecord& sq = core.m_squares[r * 9 + c];
            if (sq.value <= 0 && core.m_grid[r][c] <= 0) {
                WritePossibles(sq, houses.Used(r, c));
                sq.possiblesPaid = 1;
            } else {
                for (int p = 0; p < 9; ++p) {
                    sq.possibles[p] = 0;
                }
            }
        }
    }
}

} // namespace

void CGameCore::RecomputePossibles(int r, int c, int erase) {
    SettleSolverState();
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
            used |= NumeralBits(m_squares[r * 9 + i].value, m_grid[r][i]);
            used |= NumeralBits(m_squares[i * 9 + c].value, m_grid[i][c]);
            used |= NumeralBits(m_squares[br * 9 + bc].value, m_grid[br][bc]);
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
    SettleSolverState();
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
    SettleSolverState();
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
    RecomputeEach(*this, [this](int r, int c) { return m_squares[r * 9 + c].possiblesPaid > 0; });
}

void CGameCore::ComputeAllPossibles() {
    SettleSolverState();
    RecomputeEach(*this, [this](int r, int c) { return m_grid[r][c] <= 0; });
}
