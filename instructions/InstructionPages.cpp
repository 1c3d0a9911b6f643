// The instruction pages on screen: layout for the client size, drawing one page with its footer,
// and the paging operations behind Page Down, Page Up, F1 and End.

#include <algorithm>
#include <cstring>
#include <string>

#include "instructions/PageDrawing.h"
#include "screen/Colours.h"
#include "screen/QuillmoorView.h"

using namespace screen_colours;

namespace {

SIZE MeasureOn(CDC* dc, const char* text) {
    SIZE size{0, 0};
    dc->GetTextExtentPoint32A(text, static_cast<int>(std::strlen(text)), &size);
    return size;
}

const char kReturnPrompt[] = "Press the End key to return.";
const char kPagingPrompt[] = "Press Page Down or Page Up for the next or previous page.";
const char kOptionsPrompt[] = "Go to the Options menu to start.";

// A prompt at the foot of the page: at the left or the right end of the bottom line.
struct CFooterPrompt {
    const char* text;
    COLORREF colour;
    bool left;
};

// The prompts a page shows, in the order they are drawn (and read); their count. Over a game the
// page tells how to return to it, on the home page how to start one.
int FooterPrompts(bool overAGame, int pageCount, CFooterPrompt prompts[3]) {
    int count = 0;
    if (overAGame) {
        prompts[count++] = {kReturnPrompt, kMagenta, false};
    }
    if (pageCount > 1) {
        prompts[count++] = {kPagingPrompt, kTeal, true};
        if (!overAGame) {
            prompts[count++] = {kOptionsPrompt, kOrange, false};
        }
    }
    return count;
}

} // namespace

void CQuillmoorView::LayoutInstructionPages() {
    const CInstructionMetrics metrics = ComputeInstructionMetrics(m_clientRect.right, m_clientRect.bottom,
                                                                  m_bodyFontDivisor, m_panelFontDivisor);
    m_textWidth = metrics.m_textWidth;
    m_textHeight = metrics.m_textHeight;
    m_bodyFontHeight = metrics.m_bodyFontHeight;
    m_titleFontHeight = metrics.m_titleFontHeight;
    m_panelFontHeight = metrics.m_panelFontHeight;
    m_pageCount = 1;

    RecreateFont(m_panelFont, m_panelFontHeight + m_panelFontAdjust, "Arial");
    RecreateFont(m_helpTitleFont, m_titleFontHeight, "Arial Bold", 1);
    RecreateFont(m_helpBodyFont, m_bodyFontHeight, "Arial");

    CClientDC dc(this);
    dc.SelectObject(&m_helpBodyFont);
    m_lineHeight = MeasureOn(&dc, "MW").cy;
    // The footer prompts take the bottom line height of the client area, and the lines begin a
    // title height down: 94% of the height would put the last line under the prompts at many
    // window sizes, so the page holds only the lines that end above them.
    const int aboveFooter = m_clientRect.bottom - m_lineHeight - m_titleFontHeight;
    m_linesPerPage = ComputeLinesPerPage(std::min(m_textHeight, aboveFooter), m_lineHeight,
                                         kScreenPageFormat.m_maxLinesPerPage);

    // The book grows past ten pages when a tall, narrow window needs more, so every word of the
    // text can be paged to at every window size.
    CDCLineMeasurer measurer(dc);
    LayoutPages(m_helpChunks, kHelpTextCapacity, 0, m_textWidth, m_linesPerPage, kScreenPageFormat, measurer,
                m_pages);
    m_pageCount = m_pages.PageCount();
}

void CQuillmoorView::DrawInstructionPage(CDC* pDC) {
    pDC->FillRect(&m_clientRect, &m_whiteBrush);
    pDC->SetTextColor(kBlack);
    pDC->SetBkMode(TRANSPARENT);
    pDC->SelectObject(&m_helpBodyFont);

    // A larger window may have fewer pages than the one the page was chosen on.
    if (m_pageCount >= 1 && m_currentPage > m_pageCount) {
        m_currentPage = m_pageCount;
    }

    DrawPageLines(pDC, m_pages, m_currentPage - 1, m_bodyFontHeight, m_titleFontHeight, m_lineHeight,
                  &m_helpBodyFont, &m_helpTitleFont);

    CFooterPrompt prompts[3];
    const int promptCount = FooterPrompts(m_option != kOptionHome, m_pageCount, prompts);
    for (int i = 0; i < promptCount; ++i) {
        const SIZE size = MeasureOn(pDC, prompts[i].text);
        const int x = prompts[i].left ? m_clientRect.left + size.cy : m_clientRect.right - size.cx - size.cy;
        pDC->SetTextColor(prompts[i].colour);
        pDC->TextOut(x, m_clientRect.bottom - size.cy, prompts[i].text,
                     static_cast<int>(std::strlen(prompts[i].text)));
    }
    if (m_pageCount > 1) {
        char pageText[32];
        const int length = wsprintfA(pageText, "Page %i", m_currentPage);
        const SIZE size = MeasureOn(pDC, pageText);
        pDC->SetTextColor(kMagenta);
        pDC->TextOut(m_clientRect.right - size.cx - size.cy, m_clientRect.top + 2, pageText, length);
    }
    pDC->SetTextColor(kBlack);
}

CString CQuillmoorView::InstructionPageText() const {
    // The page the next draw shows, which a larger window may have made the last one.
    const int page = std::max(1, std::min(m_currentPage, m_pageCount));
    char heading[48];
    wsprintfA(heading, "Page %i of %i", page, std::max(m_pageCount, 1));
    CString text = heading;
    for (int slot = 0; slot <= m_pages.LastLine(page - 1); ++slot) {
        const char* line = m_pages.Line(page - 1, slot);
        const std::string words(line + (line[0] == '[' ? 1 : 0)); // a title is drawn without its mark
        const size_t first = words.find_first_not_of(' ');
        if (first != std::string::npos) {
            text += "\n";
            text += words.substr(first, words.find_last_not_of(' ') - first + 1);
        }
    }
    CFooterPrompt prompts[3];
    const int promptCount = FooterPrompts(m_option != kOptionHome, m_pageCount, prompts);
    for (int i = 0; i < promptCount; ++i) {
        text += "\n";
        text += prompts[i].text;
    }
    return text;
}

bool CQuillmoorView::InstructionPagesShown() const {
    return m_helpShown == 1 || m_option == kOptionHome;
}

void CQuillmoorView::NextInstructionPage() {
    if (!InstructionPagesShown() || m_pageCount <= 1) {
        return;
    }
    m_currentPage += 1;
    if (m_currentPage > m_pageCount) {
        m_currentPage = 1;
    }
    CClientDC dc(this);
    DrawInstructionPage(&dc);
}

void CQuillmoorView::PreviousInstructionPage() {
    if (!InstructionPagesShown() || m_pageCount <= 1) {
        return;
    }
    m_currentPage -= 1;
    if (m_currentPage < 1) {
        m_currentPage = m_pageCount;
    }
    CClientDC dc(this);
    DrawInstructionPage(&dc);
}

void CQuillmoorView::ShowInstructions() {
    if (m_helpShown != 0 || m_option == kOptionHome) {
        return;
    }
    HideCaretCompletely();
    CClientDC dc(this);
    DrawInstructionPage(&dc);
    m_helpShown = 1;
}

void CQuillmoorView::ReturnToGame() {
    if (m_helpShown != 1 || m_option == kOptionHome) {
        return;
    }
    m_helpShown = 0;
    PaintBoard();
}
