#include "instructions/PageLayout.h"

#include <algorithm>
#include <cstring>

CInstructionMetrics ComputeInstructionMetrics(int clientRight, int clientBottom, int bodyFontDivisor,
                                              int panelFontDivisor) {
    CInstructionMetrics metrics{};
    metrics.m_textWidth = clientRight * 96 / 100;
    metrics.m_textHeight = clientBottom * 94 / 100;
    metrics.m_bodyFontHeight = (metrics.m_textHeight / bodyFontDivisor + 3) / 4 * 4;
    metrics.m_titleFontHeight = metrics.m_bodyFontHeight + 4;
    metrics.m_panelFontHeight = metrics.m_textHeight / panelFontDivisor;
    return metrics;
}

int ComputeLinesPerPage(int textHeight, int lineHeight, int maxLines) {
    const int lines = textHeight / std::max(lineHeight, 1);
    return std::clamp(lines, 1, std::max(maxLines, 1));
}

int FindFirstTitleEntry(const char* const* chunks, int chunkCount) {
    for (int entry = 0; entry < chunkCount; ++entry) {
        const char* chunk = chunks[entry] ? chunks[entry] : "";
        if (std::strcmp(chunk, kTextTerminator) == 0 || chunk[0] == '[') {
            return entry;
        }
    }
    return chunkCount;
}

CPageBook::CPageBook(CPageFormat format) {
    Reset(format, format.m_maxLinesPerPage);
}

void CPageBook::Reset(CPageFormat format, int linesPerPage) {
    m_format = format;
    m_format.m_slotsPerPage = std::max(format.m_slotsPerPage, 1);
    m_format.m_maxLinesPerPage = std::clamp(format.m_maxLinesPerPage, 1, m_format.m_slotsPerPage);
    m_linesPerPage = std::clamp(linesPerPage, 1, m_format.m_maxLinesPerPage);
    m_pages.clear();
    m_pages.reserve(kReservedPages);
    OpenPage();
}

int CPageBook::LastLine(int page) const {
    if (page < 0 || page >= PageCount()) {
        return -1;
    }
    return m_pages[static_cast<size_t>(page)].m_lastLine;
}

const char* CPageBook::Line(int page, int slot) const {
    if (page < 0 || page >= PageCount() || slot < 0 || slot >= m_format.m_slotsPerPage) {
        return "";
    }
    return m_pages[static_cast<size_t>(page)].m_slots[static_cast<size_t>(slot)].data();
}

int CPageBook::OpenPage() {
    CPage page;
    CLineSlot empty{};
    page.m_slots.assign(static_cast<size_t>(m_format.m_slotsPerPage), empty);
    m_pages.push_back(std::move(page));
    return PageCount() - 1;
}

void CPageBook::SetLine(int page, int slot, const std::string& text) {
    if (page < 0 || page >= PageCount() || slot < 0 || slot >= m_format.m_slotsPerPage) {
        return;
    }
    CLineSlot& target = m_pages[static_cast<size_t>(page)].m_slots[static_cast<size_t>(slot)];
    const size_t length = std::min(text.size(), static_cast<size_t>(kLineSlotChars));
    std::memcpy(target.data(), text.data(), length);
    target[length] = '\0';
}

void ReplaceLeadingColons(std::string& token) {
    for (char& c : token) {
        if (c != ':') {
            break;
        }
        c = ' ';
    }
}

namespace {

// The state of one layout run: the page being filled, its current line and the line accumulated so far.
class CLayoutRun {
  public:
    CLayoutRun(int widthLimit, ILineMeasurer& measurer, CPageBook& book)
        : m_widthLimit(widthLimit), m_linesPerPage(book.LinesPerPage()), m_measurer(measurer), m_book(book) {}

    void Token(std::string token) {
        ReplaceLeadingColons(token);
        if (m_first) {
            // The text's opening token is placed as it is: neither measured nor read as markup.
            // It goes into its slot at once so that it survives even if the next token breaks the line.
            m_first = false;
            m_line = token + ' ';
            m_book.SetLine(m_page, m_lineIndex, m_line);
            return;
        }
        if (token[0] == '[' && m_lineIndex > m_linesPerPage - 4) {
            // A title too close to the bottom of the page starts the next page instead.
            OpenPage();
            m_line += token + ' ';
            m_book.SetLine(m_page, 0, m_line);
            return;
        }
        if (token == ",," || token == ".." || token == "...") {
            BreakLine(token, nullptr);
            return;
        }
        // A word longer than a slot is hard-wrapped at the slot length instead of being cut off.
        const size_t pieceLength = kLineSlotChars - 1;
        for (size_t start = 0; start < token.size(); start += pieceLength) {
            PlaceWord(token.substr(start, pieceLength));
        }
    }

  private:
    void PlaceWord(const std::string& word) {
        m_line += word + ' ';
        // A line that would no longer fit a slot wraps like one that is too wide, so no text is cut.
        if (m_line.size() <= static_cast<size_t>(kLineSlotChars) &&
            m_measurer.TextWidth(m_line.c_str(), static_cast<int>(m_line.size())) < m_widthLimit) {
            m_book.SetLine(m_page, m_lineIndex, m_line);
            return;
        }
        BreakLine(std::string(), &word);
    }

    // Ends the current line for a marker (overflow null) or for a word that did not fit.
    void BreakLine(const std::string& marker, const std::string* overflow) {
        m_line.clear();
        int& lastLine = m_book.LastLineOf(m_page);
        if (marker == "...") {
            m_lineIndex = m_linesPerPage;
        } else if (marker == "..") {
            ++m_lineIndex;
            ++lastLine;
        }
        ++m_lineIndex;
        ++lastLine;
        if (m_lineIndex >= m_linesPerPage) {
            // The page is full; a marker that ends it leaves no empty line at the top of the next.
            lastLine = std::min(lastLine, m_linesPerPage) - 1;
            OpenPage();
        }
        if (overflow) {
            m_line = *overflow + ' ';
            m_book.SetLine(m_page, m_lineIndex, m_line);
        }
    }

    void OpenPage() {
        m_page = m_book.OpenPage();
        m_lineIndex = 0;
    }

    const int m_widthLimit;
    const int m_linesPerPage;
    ILineMeasurer& m_measurer;
    CPageBook& m_book;
    bool m_first = true;
    int m_page = 0;
    int m_lineIndex = 0;
    std::string m_line;
};

} // namespace

void LayoutPages(const char* const* chunks, int chunkCount, int startEntry, int widthLimit, int linesPerPage,
                 CPageFormat format, ILineMeasurer& measurer, CPageBook& book) {
    book.Reset(format, linesPerPage);
    CLayoutRun run(widthLimit, measurer, book);
    for (int entry = std::max(startEntry, 0); entry < chunkCount; ++entry) {
        const char* chunk = chunks[entry] ? chunks[entry] : "";
        if (std::strcmp(chunk, kTextTerminator) == 0) {
            break;
        }
        const char* cursor = chunk;
        while (*cursor != '\0') {
            while (*cursor == ' ') {
                ++cursor;
            }
            const char* end = cursor;
            while (*end != '\0' && *end != ' ') {
                ++end;
            }
            if (end != cursor) {
                run.Token(std::string(cursor, end));
            }
            cursor = end;
        }
    }
}
