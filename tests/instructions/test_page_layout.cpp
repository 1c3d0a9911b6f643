#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "instructions/PageLayout.h"

#ifdef CELLWRIGHT_HAVE_HELP_TEXT
#include "instructions/HelpText.h"
#endif

namespace {

class CFixedWidthMeasurer : public ILineMeasurer {
  public:
    explicit CFixedWidthMeasurer(int pixelsPerChar) : m_pixelsPerChar(pixelsPerChar) {}
    int TextWidth(const char*, int length) override { return length * m_pixelsPerChar; }

  private:
    int m_pixelsPerChar;
};

// A text as the layout reads it: chunk pointers ending with the terminator chunk.
class CText {
  public:
    explicit CText(std::vector<std::string> chunks) : m_chunks(std::move(chunks)) {
        m_chunks.emplace_back(kTextTerminator);
        for (const std::string& chunk : m_chunks) {
            m_pointers.push_back(chunk.c_str());
        }
    }
    const char* const* Chunks() const { return m_pointers.data(); }
    int Count() const { return static_cast<int>(m_pointers.size()); }

  private:
    std::vector<std::string> m_chunks;
    std::vector<const char*> m_pointers;
};

using CPages = std::vector<std::vector<std::string>>;

// The slots a page draws (0 to its last line), page by page.
CPages DrawnPages(const CPageBook& book) {
    CPages pages;
    for (int page = 0; page < book.PageCount(); ++page) {
        std::vector<std::string> lines;
        for (int slot = 0; slot <= book.LastLine(page); ++slot) {
            lines.emplace_back(book.Line(page, slot));
        }
        pages.push_back(lines);
    }
    return pages;
}

// Ten pixels a character; a limit of 1000 pixels leaves room for 99 characters.
CPageBook Layout(const CText& text, int linesPerPage, int widthLimit = 1000, int startEntry = 0,
                 CPageFormat format = kScreenPageFormat) {
    CFixedWidthMeasurer measurer(10);
    CPageBook book;
    LayoutPages(text.Chunks(), text.Count(), startEntry, widthLimit, linesPerPage, format, measurer, book);
    return book;
}

std::vector<std::string> SplitWords(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream stream(text);
    for (std::string word; stream >> word;) {
        words.push_back(word);
    }
    return words;
}

// The words a reader should find on the pages: every token but the markers, after colon replacement.
std::vector<std::string> ExpectedWords(const char* const* chunks, int count, int start) {
    std::vector<std::string> words;
    for (int entry = start; entry < count && std::strcmp(chunks[entry], kTextTerminator) != 0; ++entry) {
        for (std::string token : SplitWords(chunks[entry])) {
            if (token == ",," || token == ".." || token == "...") {
                continue;
            }
            ReplaceLeadingColons(token);
            for (const std::string& word : SplitWords(token)) {
                words.push_back(word);
            }
        }
    }
    return words;
}

std::vector<std::string> WordsOnPages(const CPageBook& book) {
    std::vector<std::string> words;
    for (const auto& page : DrawnPages(book)) {
        for (const std::string& line : page) {
            for (const std::string& word : SplitWords(line)) {
                words.push_back(word);
            }
        }
    }
    return words;
}

} // namespace

TEST(PageLayoutMarkup, MarkersBreakLinesAndLeaveEmptyLines) {
    const CPageBook book = Layout(CText({"Alpha beta ,, gamma .. delta ,, .. epsilon ..."}), 20);
    const CPages expected = {{"Alpha beta ", "gamma ", "", "delta ", "", "", "epsilon "}, {""}};
    EXPECT_EQ(DrawnPages(book), expected);
}

TEST(PageLayoutMarkup, LeadingColonsBecomeSpacesOtherColonsStay) {
    const CPageBook book = Layout(
        CText({"Intro ,, ::: Indented text ,, 1. :: Easy ,, 10. : After ,,", ":odd a:b options: ::x: ..."}),
        20);
    const CPages expected = {
        {"Intro ", "    Indented text ", "1.    Easy ", "10.   After ", " odd a:b options:   x: "}, {""}};
    EXPECT_EQ(DrawnPages(book), expected);
}

TEST(PageLayoutMarkup, OpeningTokenIsKeptUnmeasuredAndNotReadAsMarkup) {
    // The opening token survives a marker right after it.
    EXPECT_EQ(DrawnPages(Layout(CText({"Heading .. body ..."}), 20)),
              (CPages{{"Heading ", "", "body "}, {""}}));
    // It is placed even when wider than the limit, and a marker as opening token is plain text.
    EXPECT_EQ(DrawnPages(Layout(CText({"Overlong next ..."}), 20, 50)),
              (CPages{{"Overlong ", "next "}, {""}}));
    EXPECT_EQ(DrawnPages(Layout(CText({",, word ..."}), 20)), (CPages{{",, word "}, {""}}));
}

TEST(PageLayoutTitles, TitleWithFewerThanFourLinesLeftStartsTheNextPage) {
    // Ten lines a page; a title on line 7 has three lines left, on line 6 it has four.
    const std::string sevenLines = "L0 ,, L1 ,, L2 ,, L3 ,, L4 ,, L5 ,, L6 ,,";
    const CPageBook moved = Layout(CText({sevenLines, "[Title here .. body ..."}), 10);
    ASSERT_EQ(moved.PageCount(), 3);
    EXPECT_EQ(moved.LastLine(0), 7);
    EXPECT_STREQ(moved.Line(0, 7), "");
    EXPECT_EQ(DrawnPages(moved)[1], (std::vector<std::string>{"[Title here ", "", "body "}));

    const std::string sixLines = "L0 ,, L1 ,, L2 ,, L3 ,, L4 ,, L5 ,,";
    const CPageBook kept = Layout(CText({sixLines, "[Title here .. body ..."}), 10);
    ASSERT_EQ(kept.PageCount(), 2);
    EXPECT_STREQ(kept.Line(0, 6), "[Title here ");
    EXPECT_STREQ(kept.Line(0, 8), "body ");
}

TEST(PageLayoutPaging, MarkerOnLastLineLeavesNoEmptyLineOnNextPage) {
    // Five lines a page: the marker closes line 4, so the next page starts with text.
    for (const char* marker : {",,", ".."}) {
        SCOPED_TRACE(marker);
        const std::string text = std::string("L0 ,, L1 ,, L2 ,, L3 ,, L4 ") + marker + " next ...";
        const CPages pages = DrawnPages(Layout(CText({text}), 5));
        ASSERT_EQ(pages.size(), 3u);
        EXPECT_EQ(pages[0], (std::vector<std::string>{"L0 ", "L1 ", "L2 ", "L3 ", "L4 "}));
        EXPECT_EQ(pages[1], (std::vector<std::string>{"next "}));
    }
    // ".." on the line before the last leaves that last line empty and still starts the next page at the top.
    const CPages pages = DrawnPages(Layout(CText({"L0 ,, L1 ,, L2 ,, L3 .. next ..."}), 5));
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0], (std::vector<std::string>{"L0 ", "L1 ", "L2 ", "L3 ", ""}));
    EXPECT_EQ(pages[1], (std::vector<std::string>{"next "}));
}

TEST(PageLayoutPaging, WordOverflowingTheLastLineOpensTheNextPage) {
    // A limit of 60 pixels takes five characters: "aa bb " is six and does not fit.
    const CPages pages = DrawnPages(Layout(CText({"aa bb cc dd ..."}), 3, 60));
    EXPECT_EQ(pages, (CPages{{"aa ", "bb ", "cc "}, {"dd "}, {""}}));
}

TEST(PageLayoutPaging, FinalPageBreakOpensOneEmptyPageThatIsCounted) {
    // Three full pages of text and a final "..." make four pages opened; the last one is empty.
    std::string text = "w0";
    for (int i = 1; i < 9; ++i) {
        text += " ,, w" + std::to_string(i);
    }
    const CPageBook book = Layout(CText({text + " ..."}), 3);
    ASSERT_EQ(book.PageCount(), 4);
    EXPECT_EQ(book.LastLine(2), 2);
    EXPECT_STREQ(book.Line(2, 2), "w8 ");
    EXPECT_EQ(book.LastLine(3), 0);
    EXPECT_STREQ(book.Line(3, 0), "");
    // Pages that do not exist draw nothing.
    EXPECT_EQ(book.LastLine(4), -1);
    EXPECT_EQ(book.LastLine(-1), -1);
    EXPECT_STREQ(book.Line(4, 0), "");
}

TEST(PageLayoutWrapping, LineMustStayStrictlyNarrowerThanTheLimit) {
    // "abcd efgh " is exactly 100 pixels: at a limit of 100 it breaks, at 101 it fits.
    EXPECT_EQ(DrawnPages(Layout(CText({"abcd efgh ..."}), 10, 100)), (CPages{{"abcd ", "efgh "}, {""}}));
    EXPECT_EQ(DrawnPages(Layout(CText({"abcd efgh ..."}), 10, 101)), (CPages{{"abcd efgh "}, {""}}));
    // The trailing space counts: "abcd efg " is 90 pixels and fits under 91 but not under 90.
    EXPECT_EQ(DrawnPages(Layout(CText({"abcd efg ..."}), 10, 91)), (CPages{{"abcd efg "}, {""}}));
    EXPECT_EQ(DrawnPages(Layout(CText({"abcd efg ..."}), 10, 90)), (CPages{{"abcd ", "efg "}, {""}}));
}

TEST(PageLayoutChunks, TokensFlowAcrossChunksAndReadingStopsAtTheTerminator) {
    const std::vector<std::string> chunks = {"  one   two", "three ,,",      "",
                                             "  four  ...", kTextTerminator, "lost"};
    std::vector<const char*> pointers;
    for (const std::string& chunk : chunks) {
        pointers.push_back(chunk.c_str());
    }
    CFixedWidthMeasurer measurer(10);
    CPageBook book;
    LayoutPages(pointers.data(), static_cast<int>(pointers.size()), 0, 1000, 20, kScreenPageFormat, measurer,
                book);
    EXPECT_EQ(DrawnPages(book), (CPages{{"one two three ", "four "}, {""}}));

    // Without a terminator the chunk count bounds the walk.
    LayoutPages(pointers.data(), 1, 0, 1000, 20, kScreenPageFormat, measurer, book);
    EXPECT_EQ(DrawnPages(book), (CPages{{"one two "}}));
}

TEST(PageLayoutChunks, PaperStartsAtTheFirstEntryBeginningWithABracket) {
    const CText text({"not shown ,,", " [indented bracket ,,", "[Heading .. body ..."});
    const int start = FindFirstTitleEntry(text.Chunks(), text.Count());
    EXPECT_EQ(start, 2);
    EXPECT_EQ(DrawnPages(Layout(text, 20, 1000, start, kPaperPageFormat)),
              (CPages{{"[Heading ", "", "body "}, {""}}));

    // Without a title the walk starts at the terminator and lays out nothing.
    const CText untitled({"plain words ..."});
    EXPECT_EQ(FindFirstTitleEntry(untitled.Chunks(), untitled.Count()), 1);
    const CPageBook empty = Layout(untitled, 20, 1000, 1, kPaperPageFormat);
    EXPECT_EQ(empty.PageCount(), 1);
    EXPECT_STREQ(empty.Line(0, 0), "");
}

TEST(PageLayoutCapacity, LinesPerPageAreCappedByTheFormat) {
    std::string text = "w0";
    for (int i = 1; i < 150; ++i) {
        text += " ,, w" + std::to_string(i);
    }
    text += " ...";
    const struct {
        CPageFormat m_format;
        int m_cap;
    } cases[] = {{kScreenPageFormat, 56}, {kPaperPageFormat, 69}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.m_cap);
        const CPageBook book = Layout(CText({text}), 500, 1000, 0, c.m_format);
        EXPECT_EQ(book.LinesPerPage(), c.m_cap);
        EXPECT_EQ(book.LastLine(0), c.m_cap - 1);
        EXPECT_STREQ(book.Line(0, c.m_cap - 1), ("w" + std::to_string(c.m_cap - 1) + " ").c_str());
        EXPECT_STREQ(book.Line(1, 0), ("w" + std::to_string(c.m_cap) + " ").c_str());
        EXPECT_STREQ(book.Line(0, c.m_cap), "");
    }
}

TEST(PageLayoutCapacity, NothingIsLostToTheSlotLengthOrThePageCount) {
    // A measurer that finds every line narrow: only the slot length can end a line.
    std::vector<std::string> chunks;
    for (int chunk = 0; chunk < 40; ++chunk) {
        std::string text;
        for (int word = 0; word < 30; ++word) {
            text += "word" + std::to_string(chunk * 30 + word) + " ";
        }
        chunks.push_back(text);
    }
    chunks.push_back(std::string(600, 'x') + " tail ...");
    const CText text(chunks);
    CFixedWidthMeasurer zeroWidth(0);
    CPageBook book;
    LayoutPages(text.Chunks(), text.Count(), 0, 1000, 2, kScreenPageFormat, zeroWidth, book);

    EXPECT_GT(book.PageCount(), 10);
    for (int page = 0; page < book.PageCount(); ++page) {
        for (int slot = 0; slot < book.SlotsPerPage(); ++slot) {
            EXPECT_LE(std::strlen(book.Line(page, slot)), static_cast<size_t>(kLineSlotChars));
        }
    }
    // The overlong token is wrapped at the slot length; everything else arrives word by word.
    std::vector<std::string> expected = ExpectedWords(text.Chunks(), text.Count(), 0);
    expected.erase(expected.end() - 2);
    expected.insert(expected.end() - 1, {std::string(278, 'x'), std::string(278, 'x'), std::string(44, 'x')});
    EXPECT_EQ(WordsOnPages(book), expected);
}

TEST(PageLayoutMetrics, SizesFollowTheClientArea) {
    const CInstructionMetrics m = ComputeInstructionMetrics(1000, 700, 31, 42);
    EXPECT_EQ(m.m_textWidth, 960);
    EXPECT_EQ(m.m_textHeight, 658);
    EXPECT_EQ(m.m_bodyFontHeight, 24);
    EXPECT_EQ(m.m_titleFontHeight, 28);
    EXPECT_EQ(m.m_panelFontHeight, 15);
    // A quotient that is already a multiple of 4 is not raised: 620 / 31 = 20.
    EXPECT_EQ(ComputeInstructionMetrics(800, 660, 31, 42).m_bodyFontHeight, 20);

    EXPECT_EQ(ComputeLinesPerPage(658, 27, 56), 24);
    EXPECT_EQ(ComputeLinesPerPage(3000, 10, 56), 56);
    EXPECT_EQ(ComputeLinesPerPage(3000, 10, 69), 69);
    EXPECT_EQ(ComputeLinesPerPage(10, 0, 56), 10);
    EXPECT_EQ(ComputeLinesPerPage(5, 30, 56), 1);
}

namespace {

// A text shaped like the instructions: a heading, sections with titles, paragraphs, indents and
// numbered items, every section closed by ",, ..", and the final "...".
std::vector<std::string> SyntheticInstructions() {
    std::vector<std::string> chunks = {"[Instructions For Testing, : Limited Version .. "};
    int word = 0;
    auto words = [&word](int count) {
        std::string text;
        for (int i = 0; i < count; ++i, ++word) {
            text += (word % 7 == 0   ? "extraordinarily"
                     : word % 3 == 0 ? "a"
                                     : "word") +
                    std::to_string(word) + " ";
        }
        return text;
    };
    for (int section = 1; section <= 13; ++section) {
        chunks.push_back("[Section " + std::to_string(section) + " Title .. " + words(25));
        chunks.push_back(words(30) + ",, ::: " + words(20) + ",, ");
        for (int item = 1; item <= 11; ++item) {
            chunks.push_back(std::to_string(item) + (item < 10 ? ". :: " : ". : ") + words(12) + ",, ");
        }
        chunks.push_back(section < 13 ? ".. " : words(5) + "...");
    }
    return chunks;
}

// Lays a text out at a sweep of client sizes the way the view does and checks what the player could
// see: nothing written past a capacity, no text hidden or repeated, and no blank page before the last.
void SweepClientSizes(const char* const* chunks, int count) {
    const std::vector<std::string> expected = ExpectedWords(chunks, count, 0);
    const int sizes[][2] = {{780, 540},   {800, 600},   {1024, 768}, {1200, 680},  {1280, 1024},
                            {1920, 1080}, {780, 1800},  {780, 4000}, {1024, 4000}, {2560, 1440},
                            {3840, 540},  {5760, 1080}, {7680, 540}, {7680, 4320}, {800, 8000}};
    CPageBook book; // reused, as the view reuses its pages from one size to the next
    for (const auto& size : sizes) {
        SCOPED_TRACE(testing::Message() << size[0] << " x " << size[1]);
        const int bodyDivisor =
            (size[0] > 1152 && size[0] <= 1280 && size[1] > 660 && size[1] <= 700) ? 30 : 31;
        const CInstructionMetrics metrics = ComputeInstructionMetrics(size[0], size[1], bodyDivisor, 42);
        // A line is as tall as the body font; a character about half as wide.
        const int lineHeight = metrics.m_bodyFontHeight;
        CFixedWidthMeasurer measurer(metrics.m_bodyFontHeight / 2);
        const int linesPerPage = ComputeLinesPerPage(metrics.m_textHeight, lineHeight, 56);
        LayoutPages(chunks, count, 0, metrics.m_textWidth, linesPerPage, kScreenPageFormat, measurer, book);

        ASSERT_GE(book.PageCount(), 2);
        for (int page = 0; page < book.PageCount(); ++page) {
            ASSERT_LE(book.LastLine(page), 55);
            ASSERT_LT(book.LastLine(page), linesPerPage);
            bool hasText = false;
            for (int slot = 0; slot < book.SlotsPerPage(); ++slot) {
                const std::string line = book.Line(page, slot);
                ASSERT_LE(line.size(), static_cast<size_t>(kLineSlotChars));
                if (slot > book.LastLine(page)) {
                    ASSERT_EQ(line, "") << "page " << page << " slot " << slot << " is never drawn";
                }
                hasText = hasText || !line.empty();
            }
            // Only the page opened by the final "..." is blank; the screen leaves it out of its count.
            EXPECT_EQ(hasText, page + 1 < book.PageCount()) << "page " << page;
        }
        EXPECT_EQ(WordsOnPages(book), expected);
    }
}

} // namespace

TEST(PageLayoutSweep, SyntheticTextFitsEveryClientSize) {
    const CText text(SyntheticInstructions());
    SweepClientSizes(text.Chunks(), text.Count());
}

#ifdef CELLWRIGHT_HAVE_HELP_TEXT
TEST(PageLayoutSweep, InstructionTextFitsEveryClientSize) {
    SweepClientSizes(g_helpTextEntries, g_helpTextEntryCount);
}

TEST(PageLayoutSweep, PrintedInstructionsStartAtTheHeading) {
    const int start = FindFirstTitleEntry(g_helpTextEntries, g_helpTextEntryCount);
    ASSERT_LT(start, g_helpTextEntryCount);
    CFixedWidthMeasurer measurer(40);
    CPageBook book(kPaperPageFormat);
    LayoutPages(g_helpTextEntries, g_helpTextEntryCount, start, 4845, 70, kPaperPageFormat, measurer, book);
    EXPECT_EQ(book.LinesPerPage(), 69);
    EXPECT_EQ(book.Line(0, 0)[0], '[');
    EXPECT_EQ(WordsOnPages(book), ExpectedWords(g_helpTextEntries, g_helpTextEntryCount, start));
}
#endif
