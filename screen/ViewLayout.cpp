// Paint dispatch and screen geometry of the view. Everything scales with the client height:
// a square is one twelfth of it, and the grid is centred horizontally.

#include <cstdio>
#include <cstdlib>

#include "common/StartupTiming.h"
#include "screen/QuillmoorView.h"

namespace {

const char kTooSmallMessage[] = "Program Abort: This game needs a minimum screen width of 800 and a minimum "
                                "screen height of 600.";

// The smallest client area the layout is made for (what a screen of 800 x 600 leaves of it).
bool TooSmall(const CRect& client) {
    return client.right < 780 || client.bottom < 540;
}

// Placement of the nine possible-cells inside a square, from its edges and the cell side t.
void SetPossibleCells(CRect cells[9], const CRect& sq, int t) {
    const int x0 = sq.left, y0 = sq.top, x1 = sq.right, y1 = sq.bottom;
    const int colLeft[3] = {x0 + 1, x0 + 1 + t, x1 - t};
    const int colRight[3] = {x0 + 1 + t, x1 - t, x1};
    const int rowTop[3] = {y0 + 1, y0 + 1 + t, y1 - t};
    const int rowBottom[3] = {y0 + 1 + t, y1 - t, y1};
    for (int i = 0; i < 9; ++i) {
        const int row = i / 3, col = i % 3;
        cells[i] = CRect(colLeft[col], rowTop[row], colRight[col], rowBottom[row]);
    }
}

} // namespace

void CQuillmoorView::PageMetricsFor(int width, int height, int* panelFontDivisor, int* bodyFontDivisor,
                                    int* panelFontAdjust) {
    int panel = 37, body = 31, adjust = 0;
    if (width <= 1024) {
        panel = 42;
    } else if (width <= 1152) {
        panel = 44;
    } else if (width <= 1280) {
        if (height >= 971) {
            panel = 44;
        } else if (height >= 901) {
            panel = 42;
        } else if (height >= 701) {
            panel = 34;
        } else if (height >= 661) {
            panel = 32;
            body = 30;
        } else {
            panel = 32;
        }
    } else if (width <= 1360) {
        panel = 32;
    } else if (width <= 1600) {
        if (height >= 1151) {
            panel = 41;
            adjust = -3;
        } else if (height >= 971) {
            panel = 36;
            adjust = -2;
        } else if (height >= 851) {
            panel = 32;
            adjust = -1;
        } else {
            panel = 42;
        }
    }
    *panelFontDivisor = panel;
    *bodyFontDivisor = body;
    *panelFontAdjust = adjust;
}

void CQuillmoorView::RecreateFont(CFont& font, int height, const char* face, BYTE underline) {
    if (font.IsValid()) {
        font.DeleteObject();
    }
    font.CreateFontA(height, 0, 0, 0, 0, 0, underline, 0, ANSI_CHARSET, OUT_DEVICE_PRECIS,
                     CLIP_DEFAULT_PRECIS, PROOF_QUALITY, 0, face);
}

void CQuillmoorView::ComputeGeometry() {
    const int W = m_clientRect.right;
    const int H = m_clientRect.bottom;
    const int S = m_squareHeight;

    // Squares and their possible-cells; row 9 holds the baskets, column 9 only closes the grid.
    for (int r = 0; r <= 9; ++r) {
        for (int c = 0; c <= 9; ++c) {
            CRect& sq = m_squareRect[r][c];
            sq.top = m_gridTop + r * m_squareHeight;
            sq.bottom = sq.top + m_squareHeight;
            sq.left = m_gridLeft + c * m_squareWidth;
            sq.right = sq.left + m_squareWidth;
            SetPossibleCells(m_possibleRect[r * 10 + c], sq, m_possibleSize);
        }
    }
    // The baskets sit one pixel lower so the closing grid line stays clear of them.
    for (int c = 0; c <= 9; ++c) {
        m_squareRect[9][c].top += 1;
        m_squareRect[9][c].bottom += 1;
    }

    m_doneButtonRect = CRect(W - 2 - S, H - 2 - S, W - 2, H - 2);
    m_againButtonRect = CRect(W - 4 - 2 * S, H - 2 - S, W - 4 - S, H - 2);

    // Score panels keep the aspect of their frame bitmap, whose frame is 18 of its 58 rows deep.
    m_panelWidth = 2 * S;
    m_panelHeight = (2 * S * kPanelBitmapHeight) / kPanelBitmapWidth;
    m_panelInset = (m_panelHeight * 18) / kPanelBitmapHeight;
    const int P = m_panelHeight;
    const int Q = m_panelInset;
    m_pointsPanelRect = CRect(W - 6 - 2 * S, 6, W - 6, 6 + P);
    const int perfTop = 6 + P + P / 3;
    m_performancePanelRect = CRect(m_pointsPanelRect.left, perfTop, m_pointsPanelRect.right, perfTop + P);
    m_pointsNumberRect = CRect(m_pointsPanelRect.left + Q, m_pointsPanelRect.top + Q,
                               m_pointsPanelRect.right - Q, m_pointsPanelRect.bottom - Q);
    m_performanceNumberRect = CRect(m_performancePanelRect.left + Q, m_performancePanelRect.top + Q,
                                    m_performancePanelRect.right - Q, m_performancePanelRect.bottom - Q);
    m_pointsLabelRect = CRect(m_pointsPanelRect.left, m_pointsPanelRect.top, m_pointsPanelRect.right,
                              m_pointsNumberRect.top - 2);
    m_performanceLabelRect = CRect(m_performancePanelRect.left, m_performancePanelRect.top,
                                   m_performancePanelRect.right, m_performanceNumberRect.top - 2);

    // Text panels and strips; g is the gap between the grid and the panels.
    const int g = S / 5;
    const int gridRight = m_gridLeft + 9 * S;
    const int basketsBottom = m_squareRect[9][0].bottom;
    m_optionPanelRect = CRect(gridRight + g, m_performancePanelRect.bottom + P, W - 6, basketsBottom - 4);
    m_helpPanelRect = CRect(g, S, m_gridLeft - g, H);
    m_titleRect = CRect(0, 0, W, S);
    m_messageRect = CRect(m_gridLeft, basketsBottom, gridRight, H);
}

void CQuillmoorView::OnDraw(CDC* pDC) {
    UpdateCaption();

    GetClientRect(&m_clientRect);
    pDC->SetBkMode(TRANSPARENT);

    // Too small after the game has started: a window manager squeezed the window, which then
    // takes its size back. Ending the program here would lose the game in play, so the paint
    // is refused and everything stays as it was.
    if (TooSmall(m_clientRect) && !m_lastClientRect.IsRectEmpty()) {
        m_clientRect = m_lastClientRect;
        return;
    }
    LayOutScreen();
    NoteCaretPosition();
    HideCaretCompletely();

    if (m_gridReady == 0) {
        // A solution grid is made in advance while the home page shows.
        BeginWaitCursor();
        GenerateSolutionGrid();
        EndWaitCursor();
        m_gridReady = 1;
        DrawInstructionPage(pDC);
        FindRectangles();
        ReportFirstFrame();
        return;
    }
    if (InstructionPagesShown()) {
        DrawInstructionPage(pDC);
    } else {
        PaintBoard();
    }
}

void CQuillmoorView::LayOutScreen() {
    const int W = m_clientRect.right;
    const int H = m_clientRect.bottom;
    m_squareHeight = H / 12;
    m_squareWidth = H / 12;
    m_gridTop = H / 12;
    m_gridLeft = (W - 9 * m_squareHeight) / 2;
    m_possibleSize = m_squareHeight / 3;
    const int S = m_squareHeight;

    // The test is on the client area, the message names the screen size it takes to get one.
    if (TooSmall(m_clientRect)) {
        AfxMessageBox(kTooSmallMessage, MB_OK, 0);
        // End at once with code 0. Running the static destructors here, in the middle of a
        // paint, would tear the windows down under the toolkit and crash instead.
        std::fflush(nullptr);
        std::_Exit(0);
    }

    PageMetricsFor(W, H, &m_panelFontDivisor, &m_bodyFontDivisor, &m_panelFontAdjust);

    RecreateFont(m_verdictFont, (7 * S) / 9, "Arial Bold");
    RecreateFont(m_playerFont, S / 4, "Arial Bold");
    RecreateFont(m_bannerFont, S / 2, "Arial Bold");
    RecreateFont(m_mainFont, (2 * S) / 7, "Arial Bold");

    ComputeGeometry();

    if (!EqualRect(&m_clientRect, &m_lastClientRect)) {
        LayoutInstructionPages();
        m_pageCount -= 1; // the layout always opens one empty page at the end
        m_lastClientRect = m_clientRect;
    }
}

void CQuillmoorView::HideCaretCompletely() {
    while (m_caretShowCount > 0) {
        HideCaret();
        m_caretShowCount -= 1;
    }
}
