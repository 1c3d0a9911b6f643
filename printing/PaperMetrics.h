#pragma once
// Sizes of a printed sheet, from the printable area the print flow hands to OnPrint. Integer
// pixels of the printer with truncating division, in this order, since the truncations add up.

#include "platform/AfxTypes.h"

struct CPaperMetrics {
    int m_textWidth;        // W * 19 / 20: the width limit of an instruction line
    int m_sideMargin;       // (W - W * 19 / 20) / 2: left edge of the text column
    int m_textHeight;       // H * 19 / 20: the height for lines
    int m_fontHeight;       // H * 19 / 1400: the body font (and the base of the others)
    int m_topMargin;        // (H - H * 19 / 20) * 5 / 8: y of the first line
    int m_titleFontHeight;  // body font height * 5 / 4
    int m_headerFontHeight; // 4 * body font height / 5
    int m_cell;             // right / 12: one square of the printed grid
    int m_gridLeft;         // the grid centred across the sheet
    int m_gridTop;          // one cell below the top of the printable area
    int m_digitFontHeight;  // 2 * cell / 9
};

CPaperMetrics ComputePaperMetrics(const RECT& rectDraw);
