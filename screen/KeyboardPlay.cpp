// Keys that reach the view, as virtual-key codes: the caret and the digits 1 to 9 of the main
// row, Delete and Home for all green numerals at once, F1 and End for the instruction pages over
// a game and Page Down and Page Up to turn them. Each paging operation checks for itself whether
// it applies in the current state, so a key that does not fit the moment is simply ignored.
//
// The letters give the keyboard everything the mouse can do, for players without one: D presses
// DONE, H and A press HOME and AGAIN after the verdict, P buys the caret square's possibles, F
// fixes or unfixes its numeral, and Backspace takes its green numeral away. Each acts only where
// the mouse action would, and none with Ctrl or Alt held (those belong to the menus and commands).

#include "common/SoundCues.h"
#include "screen/Colours.h"
#include "screen/QuillmoorView.h"

using namespace screen_colours;

namespace {

bool CommandModifierHeld() {
    return (GetKeyState(VK_CONTROL) & 0x8000) != 0 || (GetKeyState(VK_MENU) & 0x8000) != 0;
}

} // namespace

bool CQuillmoorView::Playing() const {
    return m_helpShown == 0 && m_option != kOptionHome && m_phase == kPhasePlaying;
}

void CQuillmoorView::PressDone() {
    if (Playing()) {
        DoneVerdict();
    }
}

// HOME and AGAIN are on the board once a game is judged.
void CQuillmoorView::PressHome() {
    if (m_helpShown == 0 && m_option != kOptionHome && m_phase == kPhaseFinished) {
        GoHome();
    }
}

void CQuillmoorView::PressAgain() {
    if (m_helpShown == 0 && m_option != kOptionHome && m_phase == kPhaseFinished) {
        PlayAgain();
    }
}

void CQuillmoorView::OnKeyDown(UINT nChar, UINT /*nRepCnt*/, UINT /*nFlags*/) {
    // The caption's clock follows the player's actions.
    UpdateCaption();

    const bool onBoard = m_helpShown == 0 && m_option != kOptionHome; // a game is shown, in any phase
    switch (nChar) {
    case VK_DELETE:
        if (onBoard) {
            RemoveGreenNumerals();
        }
        break;
    case VK_HOME:
        if (onBoard) {
            FixGreenNumerals();
        }
        break;
    case VK_F1:
        ShowInstructions();
        break;
    case VK_END:
        ReturnToGame();
        break;
    case VK_NEXT:
        NextInstructionPage();
        break;
    case VK_PRIOR:
        PreviousInstructionPage();
        break;
    default:
        PlayKey(nChar);
        break;
    }
}

void CQuillmoorView::PlayKey(UINT nChar) {
    const bool playing = Playing();
    const bool letter = !CommandModifierHeld();
    switch (nChar) {
    case VK_RIGHT:
    case VK_LEFT:
    case VK_DOWN:
    case VK_UP:
        if (playing) {
            MoveCaret(nChar == VK_DOWN ? 1
                      : nChar == VK_UP ? -1
                                       : 0,
                      nChar == VK_RIGHT  ? 1
                      : nChar == VK_LEFT ? -1
                                         : 0);
        }
        break;
    case VK_BACK:
        if (playing && letter) {
            PlayerRemoves(m_caretRow, m_caretCol);
        }
        break;
    case 'P':
        if (playing && letter) {
            PlayerBuysPossibles(m_caretRow, m_caretCol);
        }
        break;
    case 'F':
        if (playing && letter) {
            PlayerFixes(m_caretRow, m_caretCol);
        }
        break;
    case 'D':
        if (letter) {
            PressDone();
        }
        break;
    case 'H':
        if (letter) {
            PressHome();
        }
        break;
    case 'A':
        if (letter) {
            PressAgain();
        }
        break;
    default:
        // Main-row digits only: the keypad arrives as VK_NUMPAD1..9 and does nothing here.
        if (playing && nChar >= '1' && nChar <= '9') {
            TypeDigit(static_cast<int>(nChar - '0'));
        }
        break;
    }
}

void CQuillmoorView::NoteCaretPosition() {
    const CRect& centre = m_possibleRect[m_caretRow * 10 + m_caretCol][4];
    m_caretX = centre.left + 2;
    m_caretY = centre.top + 2;
}

void CQuillmoorView::ShowCaretCompletely() {
    while (m_caretShowCount < 1) {
        ShowCaret();
        m_caretShowCount += 1;
    }
}

void CQuillmoorView::MoveCaret(int rowStep, int colStep) {
    HideCaretCompletely();
    // The caret wraps within its row or column; it never passes to the next one.
    m_caretRow = (m_caretRow + rowStep + 9) % 9;
    m_caretCol = (m_caretCol + colStep + 9) % 9;
    NoteCaretPosition();
    SetCaretPos(m_caretX, m_caretY);
    ShowCaretCompletely();
}

void CQuillmoorView::TypeDigit(int digit) {
    const int r = m_caretRow;
    const int c = m_caretCol;
    // Noted like a drop at the caret square, in the fields the mouse uses.
    m_upRow = r;
    m_upCol = c;
    m_dragNumber = digit;
    // Typing one of a bought square's possibles chooses it, as a click on it would.
    const int k = PossibleIndex(r, c, digit);
    if (k >= 0) {
        PlayerChoosesPossible(r, c, k);
    } else {
        PlayerPlaces(r, c, digit);
    }
}

void CQuillmoorView::RemoveGreenNumerals() {
    {
        CClientDC dc(this);
        for (int r = 0; r < 9; ++r) {
            for (int c = 0; c < 9; ++c) {
                SquareRecord& sq = m_squares[r * 9 + c];
                if (m_grid[r][c] < 1 && sq.value > 0 && sq.fixed == 0) {
                    DrawNumeralNow(dc, r, c, 0, kGreen);
                    sq.value = 0;
                }
            }
        }
    }
    RefreshBoard();
}

void CQuillmoorView::FixGreenNumerals() {
    CClientDC dc(this);
    dc.SetBkMode(TRANSPARENT);
    for (int r = 0; r < 9; ++r) {
        for (int c = 0; c < 9; ++c) {
            SquareRecord& sq = m_squares[r * 9 + c];
            if (m_grid[r][c] < 1 && sq.value > 0 && sq.fixed == 0) {
                sq.fixed = 1;
                DrawNumeralNow(dc, r, c, sq.value, kBlue);
            }
        }
    }
    dc.SetTextColor(kBlack);
}
