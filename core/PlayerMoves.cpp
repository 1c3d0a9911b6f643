// The player's moves on the board: what each one may do and what it costs. The mouse, the keys
// and assistive technologies all come through here, so the rules cannot differ between them.
// Drawing is the view's business; a refused move (answer 0) changes nothing at all.
#include "GameCore.h"

bool CGameCore::HoldsFixedNumeral(int r, int c) const {
    const SquareRecord& sq = m_squares[r * 9 + c];
    return sq.value > 0 && sq.fixed == 1;
}

int CGameCore::PossibleIndex(int r, int c, int n) const {
    const SquareRecord& sq = m_squares[r * 9 + c];
    if (sq.possiblesPaid < 1 || sq.value > 0 || n < 1) {
        return -1;
    }
    for (int k = 0; k < 9; ++k) {
        if (sq.possibles[k] == n) {
            return k;
        }
    }
    return -1;
}

int CGameCore::PlaceNumeral(int r, int c, int n) {
    // An empty square is filled and a green numeral replaced; originals and blue numerals stay.
    if (n < 1 || n > 9 || m_grid[r][c] > 0 || HoldsFixedNumeral(r, c)) {
        return 0;
    }
    m_squares[r * 9 + c].value = n;
    ChargePoints(1);
    return 1;
}

int CGameCore::ChoosePossible(int r, int c, int k) {
    SquareRecord& sq = m_squares[r * 9 + c];
    if (k < 0 || k > 8 || m_grid[r][c] > 0 || sq.value > 0 || sq.possiblesPaid < 1 || sq.possibles[k] < 1) {
        return 0;
    }
    const int n = sq.possibles[k];
    sq.value = n;
    sq.possibles[k] = 0;
    CompactPossibles(r, c);
    ChargePoints(1);
    return n;
}

int CGameCore::RemoveNumeral(int r, int c) {
    SquareRecord& sq = m_squares[r * 9 + c];
    if (m_grid[r][c] > 0 || sq.value < 1 || sq.fixed == 1) {
        return 0;
    }
    sq.value = 0;
    return 1;
}

int CGameCore::MoveNumeral(int fromRow, int fromCol, int toRow, int toCol) {
    SquareRecord& from = m_squares[fromRow * 9 + fromCol];
    SquareRecord& to = m_squares[toRow * 9 + toCol];
    if (m_grid[fromRow][fromCol] > 0 || from.value < 1 || (fromRow == toRow && fromCol == toCol)) {
        return 0;
    }
    if (m_grid[toRow][toCol] > 0 || HoldsFixedNumeral(toRow, toCol) || from.fixed == 1) {
        return 0;
    }
    if (to.value > 0) {
        const int swapped = to.value;
        to.value = from.value;
        from.value = swapped;
        return 2;
    }
    to.value = from.value;
    from.value = 0;
    return 1;
}

int CGameCore::ToggleFixed(int r, int c) {
    SquareRecord& sq = m_squares[r * 9 + c];
    if (m_grid[r][c] > 0 || sq.value < 1) {
        return 0;
    }
    sq.fixed = sq.fixed == 0 ? 1 : 0;
    return 1;
}

int CGameCore::BuyPossibles(int r, int c) {
    const SquareRecord& sq = m_squares[r * 9 + c];
    // A square holding any numeral has nothing to sell: charging 5 points for an empty list would
    // leave the square unbought, so the same purchase could be charged again and again.
    if (m_grid[r][c] > 0 || sq.possiblesPaid > 0 || sq.fixed > 0 || sq.value > 0) {
        return 0;
    }
    ChargePoints(5);
    RecomputePossibles(r, c, 1);
    return 1;
}
