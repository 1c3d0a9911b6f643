// Painting of the play screen: grid, numerals, possibles, baskets, buttons, score panels, the
// verdict line, the two text panels and the caret. Every routine draws at once through its own
// client DC, so handlers can repaint without waiting for a paint event.

#include "screen/Colours.h"
#include "screen/QuillmoorView.h"

using namespace screen_colours;

namespace {

const char* const kHelpPanelText[] = {
    "To populate a square, drag a number from one of the baskets below the grid. An alternative to this is "
    "to move the caret -- the ",
    "small vertical blinking line -- to the desired square and then type the number. These numbers will be "
    "green and cost 1 point. If you are ",
    "sure that a green number is correct, click on it to 'fix' it. This will turn it blue and make it behave "
    "as if it were one of the red or ",
    "original or given numbers. \n\n",
    "You can find out all the possible numbers that can go into an empty square by right-clicking ",
    "there. This costs 5 points. The 'possibles' are small gray numbers along the edges of the square. If "
    "you click on one of these, ",
    "it will become the green number and will be removed from all 'possibles' in all squares in the same "
    "row, column, and box. This will ",
    "cost 1 point. Should you decide to remove or replace such a green number, all the 'possibles' in all "
    "affected squares in the same row, ",
    "column and box will be updated as necessary. If the gray numbers are hard to read, try a different "
    "font by going to the Fonts menu, above.",
    "\n\nAny time you hear a 'brrr' sound, it means that you are trying to do something that ",
    "is not allowed. For example, attempting to delete a red number. For more information, press the F1 "
    "key. ",
};

} // namespace

CString CQuillmoorView::NumberText(int value) {
    char buffer[16];
    wsprintfA(buffer, "%i", value);
    return CString(buffer);
}

void CQuillmoorView::DrawScaled(CDC& dc, CBitmap& bitmap, int x, int y, int width, int height,
                                int bitmapWidth, int bitmapHeight) {
    CDC memDC;
    memDC.CreateCompatibleDC(&dc);
    memDC.SelectObject(&bitmap);
    dc.SetStretchBltMode(COLORONCOLOR);
    dc.StretchBlt(x, y, width, height, &memDC, 0, 0, bitmapWidth, bitmapHeight, SRCCOPY);
}

void CQuillmoorView::PaintBoard() {
    // No puzzle on the board: none was ever put there, or HOME has taken it away. After HOME the
    // grid already holds the solution made in advance for the next game, which must never show.
    if (m_givenCount < 1 || m_option == kOptionHome) {
        return;
    }
    CClientDC dc(this);
    dc.SetBkMode(TRANSPARENT);
    dc.FillRect(&m_clientRect, &m_whiteBrush);
    DrawGridLines(dc);
    DrawSquares(dc);
    DrawBaskets(dc);

    dc.SelectObject(&m_bannerFont);
    dc.SetTextColor(kBlack);
    dc.DrawText("Cellwright", -1, &m_titleRect, kCentred);
    if (m_phase == kPhasePlaying) {
        DrawPlayingControls(dc);
    } else {
        DrawFinishedControls(dc);
    }

    // A new puzzle's score comes into being at its first paint.
    ComputeInitialPoints();
    DrawPointsNumber(dc);

    if (m_phase == kPhasePlaying) {
        DrawTextPanels();
        if (m_helpShown == 0) {
            NoteCaretPosition();
            SetCaretPos(m_caretX, m_caretY);
            ShowCaretCompletely();
        }
    }
}

// Square lines first, then the box lines over them.
void CQuillmoorView::DrawGridLines(CDC& dc) {
    for (int step : {1, 3}) {
        dc.SelectObject(step == 1 ? &m_linePen : &m_boxPen);
        for (int r = 0; r <= 9; r += step) {
            dc.MoveTo(m_squareRect[r][0].left, m_squareRect[r][0].top);
            dc.LineTo(m_squareRect[r][8].right, m_squareRect[r][8].top);
        }
        for (int c = 0; c <= 9; c += step) {
            dc.MoveTo(m_squareRect[0][c].left, m_squareRect[0][c].top);
            dc.LineTo(m_squareRect[8][c].left, m_squareRect[8][c].bottom + 1);
        }
    }
}

// Every square's possibles, then its numeral: red for the puzzle's own, green or blue (fixed) for
// the player's.
void CQuillmoorView::DrawSquares(CDC& dc) {
    for (int r = 0; r < 9; ++r) {
        for (int c = 0; c < 9; ++c) {
            DrawSquarePossibles(r, c);
            const SquareRecord& sq = m_squares[r * 9 + c];
            if (m_grid[r][c] > 0) {
                dc.SetTextColor(kRed);
                dc.SelectObject(&m_mainFont);
                dc.DrawText(NumberText(m_grid[r][c]), -1, &m_squareRect[r][c], kCentred);
            } else if (sq.value > 0) {
                dc.SetTextColor(sq.fixed < 1 ? kGreen : kBlue);
                dc.SelectObject(&m_playerFont);
                dc.DrawText(NumberText(sq.value), -1, &m_squareRect[r][c], kCentred);
            }
            dc.SetTextColor(kBlack);
        }
    }
}

// Basket k is square (9, k); its image goes one more pixel down.
void CQuillmoorView::DrawBaskets(CDC& dc) {
    const int width = m_squareRect[0][0].right - m_squareRect[0][0].left;
    const int height = m_squareRect[0][0].bottom - m_squareRect[0][0].top;
    for (int k = 0; k < 9; ++k) {
        DrawScaled(dc, m_basketBitmaps[k], m_squareRect[9][k].left, m_squareRect[9][k].top + 1, width, height,
                   kBasketBitmapSide, kBasketBitmapSide);
    }
}

void CQuillmoorView::DrawScorePanels(CDC& dc, bool withPerformance) {
    DrawScaled(dc, m_panelBitmap, m_pointsPanelRect.left, m_pointsPanelRect.top, m_panelWidth, m_panelHeight,
               kPanelBitmapWidth, kPanelBitmapHeight);
    if (withPerformance) {
        DrawScaled(dc, m_panelBitmap, m_performancePanelRect.left, m_performancePanelRect.top, m_panelWidth,
                   m_panelHeight, kPanelBitmapWidth, kPanelBitmapHeight);
    }
}

// In play: DONE and the points left.
void CQuillmoorView::DrawPlayingControls(CDC& dc) {
    dc.SelectObject(&m_donePen);
    dc.SelectObject(&m_doneBrush);
    dc.Ellipse(&m_doneButtonRect);
    dc.SelectObject(&m_mainFont);
    dc.SetTextColor(kBlack);
    dc.DrawText("DONE", -1, &m_doneButtonRect, kCentred);
    DrawScorePanels(dc, false);
    dc.DrawText("POINTS LEFT", -1, &m_pointsLabelRect, kCentred);
}

// After DONE: HOME and AGAIN, the final score and the performance, the verdict line of a correct
// grid, and the text panels.
void CQuillmoorView::DrawFinishedControls(CDC& dc) {
    DrawFinishedButtons(dc);
    DrawScorePanels(dc, true);
    dc.DrawText("FINAL SCORE", -1, &m_pointsLabelRect, kCentred);
    dc.SetTextColor(kBlack);
    dc.DrawText("PERFORMANCE", -1, &m_performanceLabelRect, kCentred);

    // Shown whatever the verdict: a wrong grid has no points left, so it reads 0%.
    dc.SetTextColor(kPerformanceGreen);
    dc.DrawText(NumberText(ComputePerformance()) + "%", -1, &m_performanceNumberRect, kCentred);
    dc.SetTextColor(kBlack);

    if (m_verdict == kVerdictCorrect) {
        DrawVerdictLine(dc);
    }
    DrawTextPanels();
}

void CQuillmoorView::DrawFinishedButtons(CDC& dc) {
    dc.SelectObject(&m_mainFont);
    dc.SelectObject(&m_homePen);
    dc.SelectObject(&m_homeBrush);
    dc.Ellipse(&m_doneButtonRect);
    dc.SetTextColor(kBlack);
    dc.DrawText("HOME", -1, &m_doneButtonRect, kCentred);
    dc.SelectObject(&m_againPen);
    dc.SelectObject(&m_againBrush);
    dc.Ellipse(&m_againButtonRect);
    dc.DrawText("AGAIN", -1, &m_againButtonRect, kCentred);
}

void CQuillmoorView::DrawPointsNumber(CDC& dc) {
    dc.SetTextColor(kPointsRed);
    dc.SelectObject(&m_mainFont);
    dc.DrawText(NumberText(m_points), -1, &m_pointsNumberRect, kCentred);
}

void CQuillmoorView::DrawVerdictLine(CDC& dc) {
    dc.SelectObject(&m_verdictFont);
    dc.SetTextColor(kRed);
    dc.DrawText("OK  OK  OK  OK  OK", -1, &m_messageRect, kCentred);
    dc.SetTextColor(kBlack);
}

void CQuillmoorView::DrawSquarePossibles(int r, int c) {
    CClientDC dc(this); // opaque white background behind each possible

    RecreateFont(m_possiblesFont, (2 * m_squareHeight) / 9, m_fontName);
    dc.SelectObject(&m_possiblesFont);
    dc.SetTextColor(kGray);

    const SquareRecord& sq = m_squares[r * 9 + c];
    if (sq.possiblesPaid > 0 && m_grid[r][c] < 1 && sq.value == 0) {
        CRect* cells = m_possibleRect[r * 10 + c];
        int k = 0;
        for (int i = 0; i < 9; ++i) {
            const int v = sq.possibles[i];
            if (v > 0) {
                dc.DrawText(NumberText(v), -1, &cells[kPossibleSlot[k]], kCentred);
                k += 1;
            } else {
                // Zeros follow the compacted list: this clears the cell after the last possible.
                dc.FillRect(&cells[kPossibleSlot[k]], &m_whiteBrush);
            }
        }
    }
}

void CQuillmoorView::ErasePossiblesArea(int r, int c) {
    CClientDC dc(this);
    dc.SetBkMode(TRANSPARENT);
    CRect* cells = m_possibleRect[r * 10 + c];
    // The centre cell is left alone while a numeral stands in it.
    if (m_grid[r][c] == 0 && m_squares[r * 9 + c].value == 0) {
        dc.FillRect(&cells[4], &m_whiteBrush);
    }
    for (int i = 0; i < 9; ++i) {
        if (i != 4) {
            dc.FillRect(&cells[i], &m_whiteBrush);
        }
    }
}

CString CQuillmoorView::HelpPanelText() {
    CString help;
    for (const char* piece : kHelpPanelText) {
        help += piece;
    }
    return help;
}

CString CQuillmoorView::OptionPanelText() const {
    CString text = "You are playing under option ";
    if (m_option == kOptionEasy) {
        text += "1 -- Easy. \n\n";
    } else if (m_option == kOptionHard) {
        text += "2 -- Hard. \n\n";
    } else if (m_option == kOptionOwnNumbers) {
        text += "3 -- Use Your Own Numbers. \n\n";
    }
    text += "You started out with ";
    text += NumberText(m_emptyCount);
    text += " empty squares. This means that the highest score that you could get is ";
    text += NumberText(HighestScore());
    text += ". \n\nThe highest score is equal to your initial 'Points Left' or ";
    text += NumberText(m_initialPoints);
    text += ", minus the number of empty squares.";
    if (m_phase != kPhasePlaying) {
        text += "\n\nYour performance is your final score divided by the highest score that you could get, "
                "expressed as a percentage.";
    }
    text += "\n\nYour final score will be the same as the number in 'Points Left', at the time you click on "
            "'DONE', provided that your ";
    text += "solution is correct, otherwise it will be set to zero. Your final score will never be less than "
            "zero.";
    return text;
}

void CQuillmoorView::DrawTextPanels() {
    CClientDC dc(this);

    dc.FillRect(&m_helpPanelRect, &m_whiteBrush);
    dc.SelectObject(&m_panelFont);
    dc.DrawText(HelpPanelText(), -1, &m_helpPanelRect, DT_WORDBREAK);

    if (m_option == kOptionHome) {
        return;
    }
    dc.FillRect(&m_optionPanelRect, &m_whiteBrush);
    dc.DrawText(OptionPanelText(), -1, &m_optionPanelRect, DT_WORDBREAK);
}
