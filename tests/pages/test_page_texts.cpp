// What the instruction pages say around their text, read from the text record: the footer prompts
// and the page number, each in its colour and place, and no line of text under the prompts at the
// client sizes of common screens.

#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "ViewHarness.h"
#include "common/MenuIds.h"

namespace {

const char kPagingPrompt[] = "Press Page Down or Page Up for the next or previous page.";
const char kOptionsPrompt[] = "Go to the Options menu to start.";
const char kReturnPrompt[] = "Press the End key to return.";

bool IsFooter(const CTextRecord& record) {
    return record.text == kPagingPrompt || record.text == kOptionsPrompt || record.text == kReturnPrompt ||
           record.text.Left(5) == "Page ";
}

void Press(CQuillmoorView& view, Qt::Key key) {
    QTest::keyClick(view.Widget(), key);
    ProcessEvents();
}

// A footer text drawn once, in the body font, with its cell at the given corner.
void ExpectFooter(const CTextLog& log, const CQuillmoorView& view, const char* text, COLORREF colour,
                  int left, int right, int top) {
    const std::vector<CTextRecord> found = log.Find(text);
    ASSERT_EQ(found.size(), 1u) << text;
    const CTextRecord& record = found.front();
    EXPECT_TRUE(record.textOut) << text;
    EXPECT_EQ(record.colour, colour) << text;
    EXPECT_EQ(record.face, "Arial") << text;
    EXPECT_EQ(record.height, view.m_bodyFontHeight) << text;
    if (left >= 0) {
        EXPECT_EQ(record.rect.left, left) << text;
    }
    if (right >= 0) {
        EXPECT_EQ(record.rect.right, right) << text;
    }
    EXPECT_EQ(record.rect.top, top) << text;
}

} // namespace

TEST(PageTexts, FooterPromptsAndPageNumberAtHomeAndOverAGame) {
    const int W = 1000, H = 700;
    auto view = MakePaintedView(W, H, 3);
    const int h = view->m_lineHeight;
    ASSERT_GT(view->m_pageCount, 2);
    CTextLog log;
    Press(*view, Qt::Key_PageDown);
    ExpectFooter(log, *view, kPagingPrompt, RGB(0, 151, 151), h, -1, H - h);
    ExpectFooter(log, *view, kOptionsPrompt, RGB(255, 108, 32), -1, W - h, H - h);
    ExpectFooter(log, *view, "Page 2", RGB(255, 0, 255), -1, W - h, 2);
    EXPECT_TRUE(log.Find(kReturnPrompt).empty());

    ASSERT_TRUE(view->OnCmdMsg(ID_OPTIONS_EASY, nullptr));
    log.Clear();
    Press(*view, Qt::Key_F1);
    ExpectFooter(log, *view, kReturnPrompt, RGB(255, 0, 255), -1, W - h, H - h);
    ExpectFooter(log, *view, kPagingPrompt, RGB(0, 151, 151), h, -1, H - h);
    ExpectFooter(log, *view, "Page 2", RGB(255, 0, 255), -1, W - h, 2);
    EXPECT_TRUE(log.Find(kOptionsPrompt).empty());
}

// The prompts stand on the bottom line of the client area and the lines begin a title height
// down; a page holds only the lines that end above the prompts. Client sizes of common screens
// less a frame, a caption and a menu bar of the usual heights, among them 1274 x 716 of a
// 1280 x 800 screen.
TEST(PageTexts, NoLineIsDrawnUnderTheFooterOnCommonScreens) {
    const QSize screens[] = {{1024, 768},  {1280, 720},  {1280, 800}, {1280, 1024}, {1366, 768},
                             {1440, 900},  {1536, 864},  {1600, 900}, {1680, 1050}, {1920, 1080},
                             {1920, 1200}, {2560, 1440}, {3840, 2160}};
    const QSize decorations[] = {{0, 0}, {0, 52}, {6, 84}};
    auto view = MakePaintedView(1024, 768, 3);
    for (const QSize& screen : screens) {
        for (const QSize& less : decorations) {
            const int W = screen.width() - less.width(), H = screen.height() - less.height();
            CTextLog log;
            ShowAndPaint(*view, W, H);
            for (int page = 1; page < view->m_pageCount; ++page) {
                Press(*view, Qt::Key_PageDown);
            }
            int footerTop = H, lowestLine = 0;
            for (const CTextRecord& record : log.m_texts) {
                if (IsFooter(record)) {
                    if (record.rect.top > H / 2) {
                        footerTop = std::min(footerTop, static_cast<int>(record.rect.top));
                    }
                } else {
                    lowestLine = std::max(lowestLine, static_cast<int>(record.rect.bottom));
                }
            }
            EXPECT_LT(footerTop, H) << W << " x " << H << ": no footer";
            EXPECT_LE(lowestLine, footerTop) << W << " x " << H;
            // Pages are not cut shorter than the prompts make them: one more line would not fit.
            const int linesBottom = view->m_titleFontHeight + view->m_linesPerPage * view->m_lineHeight;
            EXPECT_LE(lowestLine, linesBottom) << W << " x " << H;
            EXPECT_GT(linesBottom + view->m_lineHeight, footerTop) << W << " x " << H;
        }
    }
}
