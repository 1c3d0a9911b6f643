// The flow of a game: the DONE verdict with its sounds, final score and performance, the HOME and
// AGAIN buttons, and "Use Your Own Numbers", which runs the entry dialog until the typed puzzle is
// acceptable or the player cancels.

#include <cstring>

#include "common/SoundCues.h"
#include "entry/OwnNumbersDialog.h"
#include "screen/Colours.h"
#include "screen/QuillmoorView.h"

using namespace screen_colours;

namespace {

const int kFewestGivens = 20;
const int kMostGivens = 35;

} // namespace

// --- DONE ----------------------------------------------------------------------------------------

void CQuillmoorView::CheckGrid() {
    // Judged by the rules alone, never against a generated solution: any complete grid without a
    // repetition is correct, also an own-numbers puzzle with several solutions.
    m_unfilledCount = 81;
    for (int s = 0; s < 81; ++s) {
        m_solution[s].checkValue = 0;
        if (m_squares[s].value > 0) {
            m_unfilledCount -= 1;
        }
    }
    if (m_givenCount != m_unfilledCount) {
        m_gridErrors += 1;
        return;
    }
    for (int s = 0; s < 81; ++s) {
        m_solution[s].checkValue = m_squares[s].value > 0 ? m_squares[s].value : m_grid[s / 9][s % 9];
        if (m_solution[s].checkValue == 0) {
            m_gridErrors += 1;
            return;
        }
    }
    auto value = [this](int r, int c) { return m_solution[r * 9 + c].checkValue; };
    for (int c = 0; c < 9; ++c) {
        for (int i = 0; i < 9; ++i) {
            for (int j = i + 1; j < 9; ++j) {
                if (value(i, c) == value(j, c)) {
                    m_gridErrors += 1;
                    return;
                }
            }
        }
    }
    for (int r = 0; r < 9; ++r) {
        for (int i = 0; i < 9; ++i) {
            for (int j = i + 1; j < 9; ++j) {
                if (value(r, i) == value(r, j)) {
                    m_gridErrors += 1;
                    return;
                }
            }
        }
    }
    for (int box = 0; box < 9; ++box) {
        const int top = (box / 3) * 3;
        const int left = (box % 3) * 3;
        for (int i = 0; i < 9; ++i) {
            for (int j = i + 1; j < 9; ++j) {
                if (value(top + i / 3, left + i % 3) == value(top + j / 3, left + j % 3)) {
                    m_gridErrors += 1;
                    return;
                }
            }
        }
    }
}

void CQuillmoorView::CopyScorePanels(CDC& dc) {
    if (m_memDC.IsValid()) {
        m_memDC.DeleteDC();
    }
    m_memDC.CreateCompatibleDC(&dc);
    m_memDC.SelectObject(&m_panelBitmap);
    dc.SetStretchBltMode(COLORONCOLOR);
    dc.StretchBlt(m_pointsPanelRect.left, m_pointsPanelRect.top, m_panelWidth, m_panelHeight, &m_memDC, 0, 0,
                  108, 58, SRCCOPY);
    dc.StretchBlt(m_performancePanelRect.left, m_performancePanelRect.top, m_panelWidth, m_panelHeight,
                  &m_memDC, 0, 0, 108, 58, SRCCOPY);
    m_memDC.DeleteDC();
}

void CQuillmoorView::DoneVerdict() {
    {
        // The round buttons become HOME and AGAIN before anything is judged.
        CClientDC dc(this);
        dc.SetBkMode(TRANSPARENT);
        dc.SelectObject(&m_mainFont);
        dc.SelectObject(&m_homePen);
        dc.SelectObject(&m_homeBrush);
        dc.Ellipse(&m_doneButtonRect);
        dc.SetTextColor(kBlack);
        dc.DrawText("HOME", 4, &m_doneButtonRect, kCentred);
        dc.SelectObject(&m_againPen);
        dc.SelectObject(&m_againBrush);
        dc.Ellipse(&m_againButtonRect);
        dc.DrawText("AGAIN", 5, &m_againButtonRect, kCentred);
    }
    UpdateCaption();

    m_phase = 2;
    m_gridErrors = 0;
    CheckGrid();
    const bool correct = m_gridErrors < 1;
    m_verdict = correct ? 0 : 1;
    SettleFinalScore(correct);

    if (correct) {
        {
            CClientDC dc(this);
            dc.SetBkMode(TRANSPARENT);
            dc.SelectObject(&m_verdictFont);
            dc.SetTextColor(kRed);
            dc.DrawText("OK  OK  OK  OK  OK", 18, &m_messageRect, kCentred);
            dc.SetTextColor(kBlack);
        }
        // The verdict line is on screen before the first sound; the score follows the second.
        PlaySoundCueSync(kSoundCorrect);
        PlaySoundCue(kSoundCorrect);
    } else {
        PlaySoundCue(kSoundWrong);
    }

    {
        CClientDC dc(this);
        dc.SetBkMode(TRANSPARENT);
        CopyScorePanels(dc);
        dc.SelectObject(&m_mainFont);
        dc.SetTextColor(kBlack);
        dc.DrawText("FINAL SCORE", 11, &m_pointsLabelRect, kCentred);
        dc.SetTextColor(kPointsRed);
        wsprintfA(m_textBuffer, "%i", m_points);
        dc.DrawText(m_textBuffer, -1, &m_pointsNumberRect, kCentred);
        dc.SetTextColor(kBlack);
        dc.DrawText("PERFORMANCE", 11, &m_performanceLabelRect, kCentred);
        if (correct) {
            wsprintfA(m_textBuffer, "%i", ComputePerformance());
            std::strcat(m_textBuffer, "%");
            dc.SetTextColor(kPerformanceGreen);
        } else {
            // A wrong grid scores nothing; the number stands without a percent sign here.
            std::strcpy(m_textBuffer, "0");
            dc.SetTextColor(kZeroPerformanceGreen);
        }
        dc.DrawText(m_textBuffer, -1, &m_performanceNumberRect, kCentred);
        dc.SetTextColor(kBlack);
    }
    DrawTextPanels();
    HideCaretCompletely();
}

// --- HOME and AGAIN --------------------------------------------------------------------------------

// What HOME and AGAIN both clear before the next puzzle.
void CQuillmoorView::ResetGameFlow() {
    ResetPuzzleFields(); // clue count, the points marker, the caret square, no auto-solve
    m_helpShown = 0;
    m_printLayoutDone = 0;
    m_phase = 0;
    m_pressedOnPossible = 0;
    m_pressedOnNumber = 0;
    m_verdict = -1;
}

void CQuillmoorView::GoHome() {
    ResetGameFlow();
    m_option = 0;
    m_gridReady = 0;
    m_ownNumbersFromAgain = 0;
    UpdateCaption();
    // With no grid ready, the paint makes the next solution grid and shows the instruction page.
    CClientDC dc(this);
    OnDraw(&dc);
}

void CQuillmoorView::PlayAgain() {
    ResetGameFlow(); // the option stays, and the grid made in advance is not touched

    BeginWaitCursor();
    GenerateSolutionGrid();
    EndWaitCursor();
    FindRectangles();

    switch (m_option) {
    case 1:
        m_option = 0;
        OnEasy();
        break;
    case 2:
        m_option = 0;
        OnHard();
        break;
    case 3:
        m_option = 0;
        m_ownNumbersFromAgain = 1;
        OnUseYourOwnNumbers();
        break;
    default:
        break;
    }
}

// --- Use Your Own Numbers --------------------------------------------------------------------------

void CQuillmoorView::OnUseYourOwnNumbers() {
    COwnNumbersDialog& dlg = g_ownNumbersDialog;
    m_option = 0;
    dlg.m_status.Empty();
    m_givenCount = 0;
    m_entryErrorCount = 0;
    m_entryError = 0;

    bool gridOverwritten = false;
    while (dlg.DoModal() == IDOK) {
        gridOverwritten = true;
        std::memset(m_grid, 0, sizeof m_grid);
        std::memset(m_squares, 0, sizeof m_squares);
        for (int r = 0; r < 9; ++r) {
            for (int c = 0; c < 9; ++c) {
                m_entryText = dlg.m_cell[r][c];
                ParseEntry(r, c);
                if (m_entryError == 0) {
                    m_givenCount += 1;
                } else {
                    dlg.m_cell[r][c] = "?";
                    m_entryErrorCount += 1;
                }
            }
        }

        if (m_givenCount >= kFewestGivens && m_givenCount <= kMostGivens && m_entryErrorCount == 0) {
            m_option = 3;
            m_ownNumbersFromAgain = 0;
            CreatePuzzleCaret();
            m_caretShowCount = 0;
            PaintBoard(); // computes the new puzzle's initial points
            return;
        }

        PlaySoundCue(kSoundForbidden);
        // The count is of valid numerals only, so a count out of range is reported before any "?".
        char message[96];
        if (m_givenCount < kFewestGivens) {
            wsprintfA(message, "Need at least 20 numbers. You only have %i.", m_givenCount);
        } else if (m_givenCount > kMostGivens) {
            wsprintfA(message, "No more than 35 input numbers allowed. You have %i.", m_givenCount);
        } else {
            std::strcpy(message, "Only numerals 1 through 9 are allowed. Fix cells with ?'s");
        }
        dlg.m_status = message;
        m_entryError = 0;
        m_entryErrorCount = 0;
        m_givenCount = 0;
    }

    if (m_ownNumbersFromAgain == 1) {
        GoHome();
        return;
    }
    if (gridOverwritten) {
        // The rejected entries were read into the solution grid made in advance for the next
        // puzzle; an Easy or Hard game must not be built on them, so make a fresh one.
        m_gridReady = 0;
        CClientDC dc(this);
        OnDraw(&dc);
    }
}

void CQuillmoorView::ParseEntry(int r, int c) {
    m_entryError = 0;
    m_grid[r][c] = 0;
    if (m_entryText.IsEmpty() || m_entryText.Compare(" ") == 0) {
        m_givenCount -= 1; // an empty square: the caller's count stays as it was
        return;
    }
    const char ch = m_entryText.GetAt(0);
    if (m_entryText.GetLength() == 1 && ch >= '1' && ch <= '9') {
        m_grid[r][c] = ch - '0';
    } else {
        m_entryError = 1;
    }
}
