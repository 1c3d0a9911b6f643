#pragma once

#include <array>
#include <string>
#include <vector>

#include "instructions/TextMeasurer.h"

// Lays the instruction text out into pages of lines. One engine serves the screen and paper; they
// differ only in the page format, the width limit, the lines per page and where the text starts.
//
// The text is an array of chunks read in order until the chunk "???*???". Each chunk is a piece of
// one token stream (tokens are runs of non-space characters), written in a small markup:
//   leading ":"   each becomes a space (":::" indents a paragraph, "1. ::" lines items up)
//   "[word"       starts a title line (drawn in the title font without the "[")
//   ",,"          line break        ".."  line break and one empty line
//   "..."         page break        anything else is a word followed by one space

// Characters a line slot holds, not counting its terminating zero.
constexpr int kLineSlotChars = 279;

// The chunk that ends the text.
constexpr const char* kTextTerminator = "???*???";

// Capacities of one page: at most m_maxLinesPerPage lines are laid out on a page of m_slotsPerPage
// slots (the slots beyond the usable lines stay empty).
struct CPageFormat {
    int m_maxLinesPerPage;
    int m_slotsPerPage;
};

constexpr CPageFormat kScreenPageFormat{56, 63};
constexpr CPageFormat kPaperPageFormat{69, 74};

// Size arithmetic of the instruction pages for a client area (integer pixels, truncating division).
struct CInstructionMetrics {
    int m_textWidth;       // width limit of a line: 96% of the client width
    int m_textHeight;      // height for lines: 94% of the client height
    int m_bodyFontHeight;  // m_textHeight / body divisor, rounded up to a multiple of 4
    int m_titleFontHeight; // body font height + 4
    int m_panelFontHeight; // m_textHeight / panel divisor (the caller adds its panel adjustment)
};

CInstructionMetrics ComputeInstructionMetrics(int clientRight, int clientBottom, int bodyFontDivisor,
                                              int panelFontDivisor);

// Lines that fit in textHeight at lineHeight pixels a line, lowered to maxLines. Never less than one
// line, so that the layout always makes progress even on a degenerate measurement.
int ComputeLinesPerPage(int textHeight, int lineHeight, int maxLines);

// Index of the first chunk whose text begins with "[" (where the printed instructions start), or
// the index of the terminator (or chunkCount) when there is none.
int FindFirstTitleEntry(const char* const* chunks, int chunkCount);

// The laid-out pages.
//
// Page numbering: pages are stored from index 0 in the order they were opened, so the screen's page
// number n (counted from 1) is page n - 1 here and paper's page index (counted from 0) is used as is.
//
// PageCount() is the number of pages the layout opened in all, counted the way the layout counts
// them: it is 1 before any text is placed, and since the text ends with the page break "...", the
// last page opened is empty. The screen subtracts that page itself; paper counts only the pages
// opened after the first one (PageCount() - 1), which comes to the same number.
//
// The book grows as needed: a tall, narrow window that needs more pages than usual gets them, so no
// text is ever dropped. Slots are fixed buffers; nothing is written past one.
class CPageBook {
  public:
    using CLineSlot = std::array<char, kLineSlotChars + 1>;

    explicit CPageBook(CPageFormat format = kScreenPageFormat);

    // Drops every page and starts again with one empty page.
    void Reset(CPageFormat format, int linesPerPage);

    int PageCount() const { return static_cast<int>(m_pages.size()); }
    int SlotsPerPage() const { return m_format.m_slotsPerPage; }
    int LinesPerPage() const { return m_linesPerPage; }

    // Index of the last slot to draw on the page (slots 0 to this value inclusive); -1 for a page
    // that does not exist, so that a drawing loop draws nothing.
    int LastLine(int page) const;

    // The text of a slot; "" for a slot or page that does not exist.
    const char* Line(int page, int slot) const;

    // Used by the layout.
    int OpenPage();
    void SetLine(int page, int slot, const std::string& text);
    int& LastLineOf(int page) { return m_pages[static_cast<size_t>(page)].m_lastLine; }

  private:
    struct CPage {
        std::vector<CLineSlot> m_slots;
        int m_lastLine = 0;
    };

    // Room for this many pages is made up front; a typical window needs fewer.
    static constexpr int kReservedPages = 10;

    CPageFormat m_format;
    int m_linesPerPage = 1;
    std::vector<CPage> m_pages;
};

// Replaces every leading ":" of a token by a space; colons further in stay.
void ReplaceLeadingColons(std::string& token);

// Lays the text out into book. Reads chunks from startEntry until the terminator chunk (or
// chunkCount). A line takes words while the measured line, trailing space included, stays strictly
// narrower than widthLimit and fits a slot. linesPerPage is capped by the format's maximum.
void LayoutPages(const char* const* chunks, int chunkCount, int startEntry, int widthLimit, int linesPerPage,
                 CPageFormat format, ILineMeasurer& measurer, CPageBook& book);
