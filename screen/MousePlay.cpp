// The mouse on the play screen. A left press only notes what lies under the cursor; the release
// carries the action out: a drop from a basket, a move, swap, removal, fix or unfix of a player's
// numeral, or a click on one of the gray possibles. HOME and AGAIN act on the press, DONE at the
// release. A right press buys a square's possibles. Whatever is not allowed gets the 'brrr'.

#include "common/SoundCues.h"
#include "screen/Colours.h"
#include "screen/QuillmoorView.h"

using namespace screen_colours;

// --- hit tests -------------------------------------------------------------------------------------

bool CQuillmoorView::HitsStrictly(const RECT& rect, CPoint point) {
    return rect.left < point.x && point.x < rect.right && rect.top < point.y && point.y < rect.bottom;
}

bool CQuillmoorView::FindSquare(CPoint point, int* row, int* col) const {
    for (int r = 0; r < 9; ++r) {
        for (int c = 0; c < 9; ++c) {
            if (HitsStrictly(m_squareRect[r][c], point)) {
                *row = r;
                *col = c;
                return true;
            }
        }
    }
    return false;
}

void CQuillmoorView::FindSlot(int r, int c, CPoint point, int* slotRow, int* slotCol) const {
    const CRect* cells = m_possibleRect[r * 10 + c];
    for (int sr = 0; sr < 3; ++sr) {
        for (int sc = 0; sc < 3; ++sc) {
            if (HitsStrictly(cells[sr * 3 + sc], point)) {
                *slotRow = sr;
                *slotCol = sc;
                return;
            }
        }
    }
}

// --- left button -----------------------------------------------------------------------------------

void CQuillmoorView::OnLButtonDown(UINT /*nFlags*/, CPoint point) {
    // Only a press the game takes in play arms the release. One that was ignored, or that went
    // HOME or started AGAIN, must not have its release drop the numeral of the game before on
    // the next screen (with a 'brrr', or drawn over the instruction page).
    m_leftPressInView = 0;
    if (m_doubleClickPending == 1 || m_helpShown == 1 || m_option == kOptionHome) {
        return;
    }
    UpdateCaption();

    if (m_phase == kPhaseFinished) {
        if (HitsStrictly(m_doneButtonRect, point)) {
            GoHome();
        } else if (HitsStrictly(m_againButtonRect, point)) {
            PlayAgain();
        }
        return;
    }
    m_leftPressInView = 1;
    if (m_phase == kPhaseDonePressed) {
        return;
    }

    m_pressedOnNumber = 0;
    m_pressedOnPossible = 0;
    m_dragNumber = 0;
    for (int i = 0; i < 9; ++i) {
        if (HitsStrictly(m_squareRect[9][i], point)) {
            m_dragNumber = i + 1;
            return;
        }
    }
    if (HitsStrictly(m_doneButtonRect, point)) {
        m_phase = kPhaseDonePressed; // the verdict follows at the release, wherever it happens
        return;
    }

    m_downRow = -1;
    m_downCol = -1;
    if (!FindSquare(point, &m_downRow, &m_downCol)) {
        return;
    }
    m_downSlotRow = -1;
    m_downSlotCol = -1;
    FindSlot(m_downRow, m_downCol, point, &m_downSlotRow, &m_downSlotCol);

    const SquareRecord& sq = m_squares[m_downRow * 9 + m_downCol];
    if (m_grid[m_downRow][m_downCol] > 0) {
        PlaySoundCue(kSoundForbidden);
    } else if (sq.value > 0) {
        m_pressedOnNumber = 1;
    } else if (sq.possiblesPaid < 1 || sq.possibles[0] < 1) {
        PlaySoundCue(kSoundForbidden); // nothing bought, or nothing left to pick
    } else {
        m_pressedOnPossible = 1;
    }
}

void CQuillmoorView::OnLButtonDblClk(UINT /*nFlags*/, CPoint /*point*/) {
    // The second click of a double click acts neither at its press nor at its release.
    m_doubleClickPending = 1;
    m_leftPressInView = 1;
}

void CQuillmoorView::OnLButtonUp(UINT /*nFlags*/, CPoint point) {
    if (m_doubleClickPending == 1) {
        m_doubleClickPending = 0;
        m_leftPressInView = 0;
        return;
    }
    // A button pressed outside the window and let go over it must not replay the last drag.
    if (m_leftPressInView == 0) {
        return;
    }
    m_leftPressInView = 0;
    if (m_phase == kPhaseFinished || m_helpShown == 1) {
        return;
    }
    if (m_phase == kPhaseDonePressed) {
        DoneVerdict();
        return;
    }

    m_upRow = -1;
    m_upCol = -1;
    if (FindSquare(point, &m_upRow, &m_upCol)) {
        m_upSlotRow = -1;
        m_upSlotCol = -1;
        FindSlot(m_upRow, m_upCol, point, &m_upSlotRow, &m_upSlotCol);
    }
    const bool onSquare = m_upRow >= 0;

    if (m_dragNumber > 0) {
        // A drop from a basket: off the grid (or on a basket) it has nowhere to go.
        if (!onSquare) {
            PlaySoundCue(kSoundForbidden);
            return;
        }
        PlayerPlaces(m_upRow, m_upCol, m_dragNumber);
        return;
    }

    if (m_pressedOnPossible == 1) {
        // Only a release on the very possible that was pressed picks it.
        if (m_upRow != m_downRow || m_upCol != m_downCol || m_upSlotRow != m_downSlotRow ||
            m_upSlotCol != m_downSlotCol || m_upSlotRow < 0) {
            PlaySoundCue(kSoundForbidden);
            return;
        }
        const int slot = m_upSlotRow * 3 + m_upSlotCol;
        int k = 0;
        while (kPossibleSlot[k] != slot) {
            ++k;
        }
        PlayerChoosesPossible(m_upRow, m_upCol, k);
        return;
    }

    if (m_pressedOnNumber == 1) {
        if (onSquare && m_upRow == m_downRow && m_upCol == m_downCol) {
            PlayerFixes(m_downRow, m_downCol); // a click: fix a green numeral, unfix a blue one
        } else if (onSquare) {
            PlayerMoves(m_downRow, m_downCol, m_upRow, m_upCol);
        } else {
            PlayerRemoves(m_downRow, m_downCol); // dragged off the grid
        }
    }
}

// --- right button ----------------------------------------------------------------------------------

void CQuillmoorView::OnRButtonDown(UINT /*nFlags*/, CPoint point) {
    UpdateCaption();
    if (m_option == kOptionHome || m_helpShown == 1 || m_phase != kPhasePlaying) {
        return;
    }
    if (!FindSquare(point, &m_rightRow, &m_rightCol)) {
        return;
    }
    PlayerBuysPossibles(m_rightRow, m_rightCol);
}
