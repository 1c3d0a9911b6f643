// The sheet arithmetic: the worked numbers of a 5100 x 6600 printable area (Letter at 600 dpi),
// and the grid centred on sheets of other sizes.

#include <cstdlib>
#include <gtest/gtest.h>

#include "printing/PaperMetrics.h"

TEST(PaperMetrics, LetterAt600DpiGivesTheWorkedNumbers) {
    const CPaperMetrics m = ComputePaperMetrics(RECT{0, 0, 5100, 6600});
    EXPECT_EQ(m.m_textWidth, 4845);
    EXPECT_EQ(m.m_sideMargin, 127);
    EXPECT_EQ(m.m_textHeight, 6270);
    EXPECT_EQ(m.m_fontHeight, 89);
    EXPECT_EQ(m.m_topMargin, 206);
    EXPECT_EQ(m.m_titleFontHeight, 111);
    EXPECT_EQ(m.m_headerFontHeight, 71);
    EXPECT_EQ(m.m_cell, 425);
    EXPECT_EQ(m.m_gridLeft, 637);
    EXPECT_EQ(m.m_gridTop, 425);
    EXPECT_EQ(m.m_digitFontHeight, 94);
}

TEST(PaperMetrics, GridAndTextColumnStayCentredOnTheSheet) {
    const RECT sheets[] = {{0, 0, 9921, 14031}, {0, 0, 10200, 13200}, {0, 0, 4800, 25200}, {0, 0, 13, 17}};
    for (const RECT& sheet : sheets) {
        const CPaperMetrics m = ComputePaperMetrics(sheet);
        const int gridRight = m.m_gridLeft + 9 * m.m_cell;
        EXPECT_LE(gridRight, sheet.right) << sheet.right;
        EXPECT_LE(std::abs((sheet.right - gridRight) - m.m_gridLeft), 1) << sheet.right;
        EXPECT_LE(std::abs((sheet.right - (m.m_sideMargin + m.m_textWidth)) - m.m_sideMargin), 1)
            << sheet.right;
        // The first line of text starts below the header, which sits half a line from the top.
        EXPECT_GE(m.m_topMargin, m.m_fontHeight / 2 + m.m_headerFontHeight) << sheet.bottom;
    }
}
