// The instruction pages on the real view with real fonts: footer prompts and their colours, paging
// with the keys, F1 and End over a game, relayout on resize, and how titles are drawn.

#include <QImage>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "ViewHarness.h"
#include "common/MenuIds.h"
#include "instructions/HelpText.h"

namespace {

struct CColour {
    int r, g, b;
};
const CColour kTeal{0, 151, 151};
const CColour kOrange{255, 108, 32};
const CColour kMagenta{255, 0, 255};

void Press(CQuillmoorView& view, Qt::Key key) {
    QTest::keyClick(view.Widget(), key);
    ProcessEvents();
}

int Count(const CQuillmoorView& view, const RECT& rect, CColour c) {
    return CountColour(view, rect, c.r, c.g, c.b);
}

// Leftmost and rightmost column holding a pixel of colour c inside rect; {-1, -1} when none.
std::pair<int, int> ColumnSpan(const CQuillmoorView& view, const RECT& rect, CColour c) {
    std::pair<int, int> span{-1, -1};
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) {
            if (IsColour(PixelAt(view, x, y), c.r, c.g, c.b)) {
                span.first = span.first < 0 ? x : std::min(span.first, x);
                span.second = std::max(span.second, x);
            }
        }
    }
    return span;
}

// Where text placed at x (or ending at x) shows its first (or last) inked column.
bool InkStartsAt(int column, int x) {
    return column >= x && column < x + 6;
}
bool InkEndsAt(int column, int x) {
    return column < x && column >= x - 6;
}

// Longest run of black pixels in any row of rect.
int LongestBlackRun(const CQuillmoorView& view, const RECT& rect) {
    int best = 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
        int run = 0;
        for (int x = rect.left; x < rect.right; ++x) {
            run = IsColour(PixelAt(view, x, y), 0, 0, 0) ? run + 1 : 0;
            best = std::max(best, run);
        }
    }
    return best;
}

int TextWidthIn(CQuillmoorView& view, CFont& font, const char* text) {
    CClientDC dc(&view);
    dc.SelectObject(&font);
    SIZE size{0, 0};
    dc.GetTextExtentPoint32A(text, static_cast<int>(std::strlen(text)), &size);
    return size.cx;
}

std::unique_ptr<CQuillmoorView> StartEasyGame(int width, int height) {
    auto view = MakePaintedView(width, height, 11);
    EXPECT_TRUE(view->OnCmdMsg(ID_OPTIONS_EASY, nullptr));
    ProcessEvents();
    EXPECT_EQ(view->m_option, 1);
    return view;
}

void Resize(CQuillmoorView& view, int width, int height) {
    view.Widget()->resize(width, height);
    ProcessEvents();
    view.UpdateWindow();
    ProcessEvents();
}

// The words of a piece of text split at spaces.
void AppendWords(const char* text, std::vector<std::string>& words) {
    std::istringstream in(text);
    std::string word;
    while (in >> word) {
        words.push_back(word);
    }
}

} // namespace

// The footer as a whole: which prompts appear where, in which colour, and nowhere else.
TEST(InstructionFooter, HomePageShowsPagingPromptOptionsPromptAndPageNumber) {
    auto view = MakePaintedView(1000, 700, 3);
    ASSERT_EQ(view->m_option, 0);
    ASSERT_GT(view->m_pageCount, 1);
    const int W = 1000, H = 700, h = view->m_lineHeight;
    const CRect all(0, 0, W, H), bottom(0, H - h, W, H), bottomRight(W / 2, H - h, W, H);
    const CRect topRight(W / 2, 0, W, view->m_titleFontHeight);

    EXPECT_GT(Count(*view, bottom, kTeal), 0);
    EXPECT_EQ(Count(*view, all, kTeal), Count(*view, bottom, kTeal));
    EXPECT_GT(Count(*view, bottomRight, kOrange), 0);
    EXPECT_EQ(Count(*view, all, kOrange), Count(*view, bottomRight, kOrange));
    EXPECT_GT(Count(*view, topRight, kMagenta), 0);
    EXPECT_EQ(Count(*view, all, kMagenta), Count(*view, topRight, kMagenta)) << "no return prompt at home";

    // Placed one text height in from the sides: the paging prompt from the left, the others
    // ending there on the right (ink stops a few pixels short of the advance).
    EXPECT_TRUE(InkStartsAt(ColumnSpan(*view, bottom, kTeal).first, h));
    EXPECT_TRUE(InkEndsAt(ColumnSpan(*view, bottomRight, kOrange).second, W - h));
    EXPECT_TRUE(InkEndsAt(ColumnSpan(*view, topRight, kMagenta).second, W - h));
    EXPECT_LT(ColumnSpan(*view, bottom, kTeal).second, ColumnSpan(*view, bottomRight, kOrange).first);
}

TEST(InstructionFooter, F1OverAGameShowsReturnPromptAndEndRestoresTheBoard) {
    auto view = StartEasyGame(1000, 700);
    const int W = 1000, H = 700, h = view->m_lineHeight;
    const QImage board = view->BackingImage().copy();
    ASSERT_GT(view->m_caretShowCount, 0);

    Press(*view, Qt::Key_F1);
    EXPECT_EQ(view->m_helpShown, 1);
    EXPECT_EQ(view->m_caretShowCount, 0);
    EXPECT_FALSE(AfxGetCaretState().visible);
    const CRect bottomLeft(0, H - h, W / 2, H), bottomRight(W / 2, H - h, W, H);
    EXPECT_GT(Count(*view, bottomRight, kMagenta), 0);
    EXPECT_TRUE(InkEndsAt(ColumnSpan(*view, bottomRight, kMagenta).second, W - h));
    EXPECT_EQ(Count(*view, CRect(0, 0, W, H), kOrange), 0);
    EXPECT_GT(Count(*view, bottomLeft, kTeal), 0);
    EXPECT_GT(Count(*view, CRect(W / 2, 0, W, view->m_titleFontHeight), kMagenta), 0);

    // Pages turn over a game too.
    Press(*view, Qt::Key_PageDown);
    EXPECT_EQ(view->m_currentPage, 2);

    Press(*view, Qt::Key_End);
    EXPECT_EQ(view->m_helpShown, 0);
    EXPECT_TRUE(view->BackingImage() == board) << "the board is painted back as it was";
    EXPECT_GT(view->m_caretShowCount, 0);

    // The help reopens at the page last viewed.
    Press(*view, Qt::Key_F1);
    EXPECT_EQ(view->m_currentPage, 2);
}

TEST(InstructionKeys, KeysOutsideTheirStateChangeNothing) {
    auto home = MakePaintedView(1000, 700, 3);
    const QImage homePage = home->BackingImage().copy();
    Press(*home, Qt::Key_F1);
    Press(*home, Qt::Key_End);
    EXPECT_EQ(home->m_helpShown, 0);
    EXPECT_EQ(home->m_currentPage, 1);
    EXPECT_TRUE(home->BackingImage() == homePage);

    auto game = StartEasyGame(1000, 700);
    const QImage board = game->BackingImage().copy();
    Press(*game, Qt::Key_End);
    Press(*game, Qt::Key_PageDown);
    Press(*game, Qt::Key_PageUp);
    EXPECT_EQ(game->m_helpShown, 0);
    EXPECT_EQ(game->m_currentPage, 1);
    EXPECT_TRUE(game->BackingImage() == board);

    // A second F1 while the pages are up neither redraws nor hides anything further.
    Press(*game, Qt::Key_F1);
    Press(*game, Qt::Key_PageDown);
    const QImage page2 = game->BackingImage().copy();
    Press(*game, Qt::Key_F1);
    EXPECT_EQ(game->m_helpShown, 1);
    EXPECT_TRUE(game->BackingImage() == page2);
}

TEST(InstructionPaging, PageDownAndPageUpWrapAroundBothWays) {
    auto view = MakePaintedView(1000, 700, 3);
    const int pages = view->m_pageCount;
    ASSERT_GT(pages, 2);
    const QImage first = view->BackingImage().copy();
    const CRect pageNumber(500, 0, 1000, view->m_titleFontHeight);

    Press(*view, Qt::Key_PageUp);
    EXPECT_EQ(view->m_currentPage, pages);
    EXPECT_FALSE(view->BackingImage() == first);
    Press(*view, Qt::Key_PageDown);
    EXPECT_EQ(view->m_currentPage, 1);
    EXPECT_TRUE(view->BackingImage() == first);

    std::vector<std::string> previous = InkShape(*view, pageNumber);
    for (int step = 1; step <= pages; ++step) {
        Press(*view, Qt::Key_PageDown);
        EXPECT_EQ(view->m_currentPage, step % pages + 1);
        const std::vector<std::string> number = InkShape(*view, pageNumber);
        EXPECT_NE(number, previous) << "the page number is redrawn at step " << step;
        previous = number;
    }
    EXPECT_TRUE(view->BackingImage() == first);
}

TEST(InstructionLayout, RunsOncePerClientSizeWithTheStatedMetrics) {
    auto view = MakePaintedView(1000, 700, 3);
    EXPECT_EQ(view->m_textWidth, 960);
    EXPECT_EQ(view->m_textHeight, 658);
    EXPECT_EQ(view->m_bodyFontHeight, 24);
    EXPECT_EQ(view->m_titleFontHeight, 28);
    EXPECT_EQ(view->m_panelFontHeight, 15);
    EXPECT_EQ(view->m_lineHeight, 24) << "a font's height is its cell height";
    EXPECT_EQ(view->m_linesPerPage, 27);
    // The empty page after the final page break is not counted.
    EXPECT_EQ(view->m_pageCount, view->m_pages.PageCount() - 1);
    EXPECT_EQ(view->m_pages.Line(view->m_pageCount, 0)[0], '\0');

    // Lines were wrapped by what the body font really measures.
    int longest = 0;
    for (int page = 0; page < view->m_pageCount; ++page) {
        for (int slot = 0; slot <= view->m_pages.LastLine(page); ++slot) {
            const char* line = view->m_pages.Line(page, slot);
            if (line[0] != '\0' && line[0] != '[') {
                const int width = TextWidthIn(*view, view->m_helpBodyFont, line);
                EXPECT_LT(width, view->m_textWidth) << line;
                longest = std::max(longest, width);
            }
        }
    }
    EXPECT_GT(longest, view->m_textWidth * 9 / 10);

    // A repaint at the same size keeps the layout (and the page count) as it is.
    const int pages = view->m_pageCount;
    view->m_linesPerPage = -1;
    view->Invalidate();
    view->UpdateWindow();
    ProcessEvents();
    EXPECT_EQ(view->m_linesPerPage, -1);
    EXPECT_EQ(view->m_pageCount, pages);

    Resize(*view, 1000, 800);
    EXPECT_EQ(view->m_linesPerPage, 800 * 94 / 100 / view->m_lineHeight);
    EXPECT_TRUE(view->m_lastClientRect == CRect(0, 0, 1000, 800));
}

TEST(InstructionLayout, CurrentPageIsLoweredWhenTheWindowGrows) {
    auto view = MakePaintedView(780, 1000, 3);
    const int narrowPages = view->m_pageCount;
    Press(*view, Qt::Key_PageUp);
    ASSERT_EQ(view->m_currentPage, narrowPages);

    Resize(*view, 1600, 1000);
    ASSERT_LT(view->m_pageCount, narrowPages);
    EXPECT_EQ(view->m_currentPage, view->m_pageCount);
    Press(*view, Qt::Key_PageDown);
    EXPECT_EQ(view->m_currentPage, 1);
}

// A tall, narrow window needs more than ten pages; every one of them can be reached and together
// they hold every word of the text once, in order.
TEST(InstructionLayout, TallNarrowWindowKeepsTheWholeText) {
    auto view = MakePaintedView(780, 1800, 3);
    ASSERT_GT(view->m_pageCount, 10);

    std::vector<std::string> expected;
    for (int i = 0; i < g_helpTextEntryCount && std::strcmp(g_helpTextEntries[i], "???*???") != 0; ++i) {
        std::vector<std::string> words;
        AppendWords(g_helpTextEntries[i], words);
        for (std::string& word : words) {
            if (word == ",," || word == ".." || word == "...") {
                continue;
            }
            word.erase(0, word.find_first_not_of(':'));
            if (!word.empty()) {
                expected.push_back(word);
            }
        }
    }
    std::vector<std::string> laidOut;
    for (int page = 0; page < view->m_pageCount; ++page) {
        for (int slot = 0; slot <= view->m_pages.LastLine(page); ++slot) {
            AppendWords(view->m_pages.Line(page, slot), laidOut);
        }
    }
    EXPECT_EQ(laidOut, expected);

    const CRect text(0, view->m_titleFontHeight, 780, view->m_titleFontHeight + view->m_textHeight / 2);
    for (int page = 2; page <= view->m_pageCount; ++page) {
        Press(*view, Qt::Key_PageDown);
        ASSERT_EQ(view->m_currentPage, page);
        EXPECT_GT(CountColour(*view, text, 0, 0, 0), 0) << "page " << page << " shows text";
    }
}

TEST(InstructionDrawing, TitleLinesAreBoldUnderlinedAndWithoutTheirBracket) {
    auto view = MakePaintedView(1000, 700, 3);
    const char* title = view->m_pages.Line(0, 0);
    ASSERT_EQ(title[0], '[');
    const int x = view->m_bodyFontHeight, y = view->m_titleFontHeight;

    // The underline runs under the whole title as the bold title font sets it, bracket left out.
    const int underline = LongestBlackRun(*view, CRect(x - 4, y, 1000, y + view->m_lineHeight + 4));
    const int withoutBracket = TextWidthIn(*view, view->m_helpTitleFont, title + 1);
    EXPECT_NEAR(underline, withoutBracket, 2);
    EXPECT_GT(std::abs(underline - TextWidthIn(*view, view->m_helpTitleFont, title)), 2);
    EXPECT_GT(std::abs(underline - TextWidthIn(*view, view->m_helpBodyFont, title + 1)), 2);

    // Body lines carry no underline.
    int bodySlot = 0;
    while (view->m_pages.Line(0, bodySlot)[0] == '[' || view->m_pages.Line(0, bodySlot)[0] == '\0') {
        ++bodySlot;
    }
    const int bodyY = bodySlot * view->m_lineHeight + view->m_titleFontHeight;
    EXPECT_LT(LongestBlackRun(*view, CRect(0, bodyY, 1000, bodyY + view->m_lineHeight)),
              3 * view->m_lineHeight);
}
