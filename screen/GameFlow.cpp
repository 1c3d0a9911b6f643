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

// One field of the own-numbers entry: empty (nothing, or a space), a numeral 1 to 9, or anything
// else.
enum class CField { Empty, Numeral, Invalid };

CField ParseField(const CString& text, int* numeral) {
    if (text.IsEmpty() || text.Compare(" ") == 0) {
        return CField::Empty;
    }
    const char ch = text.GetAt(0);
    if (text.GetLength() == 1 && ch >= '1' && ch <= '9') {
        *numeral = ch - '0';
        return CField::Numeral;
    }
    return CField::Invalid;
}

} // namespace

// --- DONE ----------------------------------------------------------------------------------------

bool CQuillmoorView::CheckGrid() {
    // Judged by the rules alone, never against a generated solution: any complete grid without a
    // repetition is correct, also an own-numbers puzzle with several solutions.
    int withoutNumeral = 81;
    for (int s = 0; s < 81; ++s) {
        m_solution[s].checkValue = 0;
        if (m_squares[s].value > 0) {
            withoutNumeral -= 1;
        }
    }
    if (m_givenCount != withoutNumeral) {
        return false;
    }
    for (int s = 0; s < 81; ++s) {
        m_solution[s].checkValue = m_squares[s].value > 0 ? m_squares[s].value : m_grid[s / 9][s % 9];
        if (m_solution[s].checkValue == 0) {
            return false;
        }
    }
    auto value = [this](int r, int c) { return m_solution[r * 9 + c].checkValue; };
    for (int c = 0; c < 9; ++c) {
        for (int i = 0; i < 9; ++i) {
            for (int j = i + 1; j < 9; ++j) {
                if (value(i, c) == value(j, c)) {
                    return false;
                }
            }
        }
    }
    for (int r = 0; r < 9; ++r) {
        for (int i = 0; i < 9; ++i) {
            for (int j = i + 1; j < 9; ++j) {
                if (value(r, i) == value(r, j)) {
                    return false;
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
                    return false;
                }
            }
        }
    }
    return true;
}

void CQuillmoorView::DoneVerdict() {
    {
        // The round buttons become HOME and AGAIN before anything is judged.
        CClientDC dc(this);
        dc.SetBkMode(TRANSPARENT);
        DrawFinishedButtons(dc);
    }
    UpdateCaption();

    m_phase = kPhaseFinished;
    const bool correct = CheckGrid();
    m_verdict = correct ? kVerdictCorrect : kVerdictWrong;
    SettleFinalScore(correct);

    if (correct) {
        {
            CClientDC dc(this);
            dc.SetBkMode(TRANSPARENT);
            DrawVerdictLine(dc);
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
        DrawScorePanels(dc, true);
        dc.SelectObject(&m_mainFont);
        dc.SetTextColor(kBlack);
        dc.DrawText("FINAL SCORE", -1, &m_pointsLabelRect, kCentred);
        DrawPointsNumber(dc);
        dc.SetTextColor(kBlack);
        dc.DrawText("PERFORMANCE", -1, &m_performanceLabelRect, kCentred);
        // A wrong grid scores nothing; the number stands without a percent sign here.
        dc.SetTextColor(correct ? kPerformanceGreen : kZeroPerformanceGreen);
        dc.DrawText(correct ? NumberText(ComputePerformance()) + "%" : CString("0"), -1,
                    &m_performanceNumberRect, kCentred);
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
    m_phase = kPhasePlaying;
    m_pressedOnPossible = 0;
    m_pressedOnNumber = 0;
    m_verdict = kVerdictNone;
}

void CQuillmoorView::GoHome() {
    ResetGameFlow();
    m_option = kOptionHome;
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
    case kOptionEasy:
        m_option = kOptionHome;
        OnEasy();
        break;
    case kOptionHard:
        m_option = kOptionHome;
        OnHard();
        break;
    case kOptionOwnNumbers:
        m_option = kOptionHome;
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
    m_option = kOptionHome;
    dlg.m_status.Empty();
    m_givenCount = 0;

    bool gridOverwritten = false;
    while (dlg.DoModal() == IDOK) {
        gridOverwritten = true;
        const int badFields = ReadOwnNumbers();
        const int fewest = COwnNumbersDialog::kFewestNumbers, most = COwnNumbersDialog::kMostNumbers;
        if (m_givenCount >= fewest && m_givenCount <= most && badFields == 0) {
            m_option = kOptionOwnNumbers;
            m_ownNumbersFromAgain = 0;
            CreatePuzzleCaret();
            m_caretShowCount = 0;
            PaintBoard(); // computes the new puzzle's initial points
            return;
        }

        PlaySoundCue(kSoundForbidden);
        // The count is of valid numerals only, so a count out of range is reported before any "?".
        char message[96];
        if (m_givenCount < fewest) {
            wsprintfA(message, "Need at least %i numbers. You only have %i.", fewest, m_givenCount);
        } else if (m_givenCount > most) {
            wsprintfA(message, "No more than %i input numbers allowed. You have %i.", most, m_givenCount);
        } else {
            std::strcpy(message, "Only numerals 1 through 9 are allowed. Fix cells with ?'s");
        }
        dlg.m_status = message;
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

int CQuillmoorView::ReadOwnNumbers() {
    COwnNumbersDialog& dlg = g_ownNumbersDialog;
    std::memset(m_grid, 0, sizeof m_grid);
    std::memset(m_squares, 0, sizeof m_squares);
    int badFields = 0;
    for (int r = 0; r < 9; ++r) {
        for (int c = 0; c < 9; ++c) {
            int numeral = 0;
            switch (ParseField(dlg.m_cell[r][c], &numeral)) {
            case CField::Numeral:
                m_grid[r][c] = numeral;
                m_givenCount += 1;
                break;
            case CField::Invalid:
                dlg.m_cell[r][c] = "?";
                badFields += 1;
                break;
            case CField::Empty:
                break;
            }
        }
    }
    return badFields;
}
