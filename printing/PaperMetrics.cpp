#include "printing/PaperMetrics.h"

CPaperMetrics ComputePaperMetrics(const RECT& rectDraw) {
    CPaperMetrics m{};
    const int W = rectDraw.right - rectDraw.left;
    const int H = rectDraw.bottom - rectDraw.top;
    m.m_textWidth = W * 19 / 20;
    m.m_sideMargin = (W - W * 19 / 20) / 2;
    m.m_textHeight = H * 19 / 20;
    m.m_fontHeight = H * 19 / 1400;
    m.m_topMargin = (H - H * 19 / 20) * 5 / 8;
    m.m_titleFontHeight = m.m_fontHeight * 5 / 4;
    m.m_headerFontHeight = 4 * m.m_fontHeight / 5;
    m.m_cell = rectDraw.right / 12;
    m.m_gridLeft = (rectDraw.right - 9 * m.m_cell) / 2;
    m.m_gridTop = m.m_cell;
    m.m_digitFontHeight = 2 * m.m_cell / 9;
    return m;
}
