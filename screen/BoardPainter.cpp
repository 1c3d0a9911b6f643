// Painting of the play screen: grid, numerals, possibles, baskets, buttons, score panels, the
// verdict line, the two text panels and the caret. Every routine draws at once through its own
// client DC, so handlers can repaint without waiting for a paint event.

#include "screen/Colours.h"
#include "screen/QuillmoorView.h"

using namespace screen_colours;

namespace {

// Possibles go along the edges in reading order, the centre cell last.
const int kPlacement[9] = {0, 1, 2, 3, 5, 6, 7, 8, 4};

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

CString FormatInt(int value) {
    char buffer[16];
    wsprintfA(buffer, "%i", value);
    return CString(buffer);
}

} // namespace

void CQuillmoorView::PaintBoard() {
    // No puzzle on the board: none was ever put there, or HOME has taken it away. After HOME the
    // grid already holds the solution made in advance for the next game, which must never show.
    if (m_givenCount < 1 || m_option == 0) {
        return;
    }
    CClientDC dc(this);
    dc.SetBkMode(TRANSPARENT);
    dc.FillRect(&m_clientRect, &m_whiteBrush);

    // Square lines first, then the box lines over them.
    dc.SelectObject(&m_linePen);
    for (int r = 0; r <= 9; ++r) {
        dc.MoveTo(m_squareRect[r][0].left, m_squareRect[r][0].top);
        dc.LineTo(m_squareRect[r][8].right, m_squareRect[r][8].top);
    }
    for (int c = 0; c <= 9; ++c) {
        dc.MoveTo(m_squareRect[0][c].left, m_squareRect[0][c].top);
        dc.LineTo(m_squareRect[8][c].left, m_squareRect[8][c].bottom + 1);
    }
    dc.SelectObject(&m_boxPen);
    for (int r = 0; r <= 9; r += 3) {
        dc.MoveTo(m_squareRect[r][0].left, m_squareRect[r][0].top);
        dc.LineTo(m_squareRect[r][8].right, m_squareRect[r][8].top);
    }
    for (int c = 0; c <= 9; c += 3) {
        dc.MoveTo(m_squareRect[0][c].left, m_squareRect[0][c].top);
        dc.LineTo(m_squareRect[8][c].left, m_squareRect[8][c].bottom + 1);
    }

    const int bitmapWidth = m_squareRect[0][0].right - m_squareRect[0][0].left;
    const int bitmapHeight = m_squareRect[0][0].bottom - m_squareRect[0][0].top;
    dc.SetStretchBltMode(COLORONCOLOR);

    for (int r = 0; r < 9; ++r) {
        for (int c = 0; c < 9; ++c) {
            DrawSquarePossibles(r, c);
            const SquareRecord& sq = m_squares[r * 9 + c];
            if (m_grid[r][c] > 0) {
                dc.SetTextColor(kRed);
                dc.SelectObject(&m_mainFont);
                wsprintfA(m_textBuffer, "%i", m_grid[r][c]);
                dc.DrawText(m_textBuffer, 1, &m_squareRect[r][c], kCentred);
            } else if (sq.value > 0) {
                dc.SetTextColor(sq.fixed < 1 ? kGreen : kBlue);
                dc.SelectObject(&m_playerFont);
                wsprintfA(m_textBuffer, "%i", sq.value);
                dc.DrawText(m_textBuffer, 1, &m_squareRect[r][c], kCentred);
            }
            dc.SetTextColor(kBlack);
        }
    }

    if (m_memDC.IsValid()) {
        m_memDC.DeleteDC();
    }
    m_memDC.CreateCompatibleDC(&dc);

    // Basket k is square (9, k); its image goes one more pixel down.
    for (int k = 0; k < 9; ++k) {
        m_memDC.SelectObject(&m_basketBitmaps[k]);
        dc.StretchBlt(m_squareRect[9][k].left, m_squareRect[9][k].top + 1, bitmapWidth, bitmapHeight,
                      &m_memDC, 0, 0, 68, 68, SRCCOPY);
    }

    dc.SelectObject(&m_bannerFont);
    dc.SetTextColor(kBlack);
    dc.DrawText("Cellwright", -1, &m_titleRect, kCentred);

    if (m_phase == 0) {
        dc.SelectObject(&m_donePen);
        dc.SelectObject(&m_doneBrush);
        dc.Ellipse(&m_doneButtonRect);
        dc.SelectObject(&m_mainFont);
        dc.SetTextColor(kBlack);
        dc.DrawText("DONE", -1, &m_doneButtonRect, kCentred);

        m_memDC.SelectObject(&m_panelBitmap);
        dc.StretchBlt(m_pointsPanelRect.left, m_pointsPanelRect.top, m_panelWidth, m_panelHeight, &m_memDC, 0,
                      0, 108, 58, SRCCOPY);
        m_memDC.DeleteDC();

        dc.DrawText("POINTS LEFT", -1, &m_pointsLabelRect, kCentred);
    } else if (m_phase == 1 || m_phase == 2) {
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

        m_memDC.SelectObject(&m_panelBitmap);
        dc.StretchBlt(m_pointsPanelRect.left, m_pointsPanelRect.top, m_panelWidth, m_panelHeight, &m_memDC, 0,
                      0, 108, 58, SRCCOPY);
        dc.StretchBlt(m_performancePanelRect.left, m_performancePanelRect.top, m_panelWidth, m_panelHeight,
                      &m_memDC, 0, 0, 108, 58, SRCCOPY);
        m_memDC.DeleteDC();

        dc.DrawText("FINAL SCORE", -1, &m_pointsLabelRect, kCentred);
        dc.SetTextColor(kBlack);
        dc.DrawText("PERFORMANCE", -1, &m_performanceLabelRect, kCentred);

        // Shown whatever the verdict: a wrong grid has no points left, so it reads 0%.
        dc.SetTextColor(kPerformanceGreen);
        const CString performance = FormatInt(ComputePerformance()) + "%";
        dc.DrawText(performance, -1, &m_performanceNumberRect, kCentred);
        dc.SetTextColor(kBlack);

        if (m_option >= 1 && m_option <= 3 && m_gridErrors == 0) {
            dc.SelectObject(&m_verdictFont);
            dc.SetTextColor(kRed);
            dc.DrawText("OK  OK  OK  OK  OK", -1, &m_messageRect, kCentred);
            dc.SetTextColor(kBlack);
        }
        DrawTextPanels();
    }

    // A new puzzle's score comes into being at its first paint.
    ComputeInitialPoints();
    dc.SetTextColor(kPointsRed);
    dc.SelectObject(&m_mainFont);
    wsprintfA(m_textBuffer, "%i", m_points);
    dc.DrawText(m_textBuffer, -1, &m_pointsNumberRect, kCentred);

    if (m_phase < 1) {
        DrawTextPanels();
    }

    if (m_helpShown == 0 && m_phase < 1) {
        m_caretX = m_possibleRect[m_caretRow * 10 + m_caretCol][4].left + 2;
        m_caretY = m_possibleRect[m_caretRow * 10 + m_caretCol][4].top + 2;
        SetCaretPos(m_caretX, m_caretY);
        while (m_caretShowCount < 1) {
            ShowCaret();
            m_caretShowCount += 1;
        }
    }
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
                wsprintfA(m_textBuffer, "%i", v);
                dc.DrawText(m_textBuffer, 1, &cells[kPlacement[k]], kCentred);
                k += 1;
            } else {
                // Zeros follow the compacted list: this clears the cell after the last possible.
                dc.FillRect(&cells[kPlacement[k]], &m_whiteBrush);
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
    if (m_option == 1) {
        text += "1 -- Easy. \n\n";
    } else if (m_option == 2) {
        text += "2 -- Hard. \n\n";
    } else if (m_option == 3) {
        text += "3 -- Use Your Own Numbers. \n\n";
    }
    text += "You started out with ";
    text += FormatInt(m_emptyCount);
    text += " empty squares. This means that the highest score that you could get is ";
    text += FormatInt(HighestScore());
    text += ". \n\nThe highest score is equal to your initial 'Points Left' or ";
    text += FormatInt(m_initialPoints);
    text += ", minus the number of empty squares.";
    if (m_phase > 0) {
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

    if (m_option == 0) {
        return;
    }
    dc.FillRect(&m_optionPanelRect, &m_whiteBrush);
    dc.DrawText(OptionPanelText(), -1, &m_optionPanelRect, DT_WORDBREAK);
}
