// Printing: the instruction pages on paper, the puzzle's original numbers, or after a wrong answer
// the solution, through the framework's print flow.

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/SoundCues.h"
#include "instructions/PageDrawing.h"
#include "printing/PaperMetrics.h"
#include "screen/Colours.h"
#include "screen/QuillmoorView.h"

using namespace screen_colours;

namespace {

// Names a PDF file that Ctrl+P prints into without the Print dialog (tests and scripts).
const char kPrintToPdfVariable[] = "CELLWRIGHT_PRINT_TO_PDF";

const char* PrintToPdfPath() {
    const char* path = std::getenv(kPrintToPdfVariable);
    return path != nullptr && path[0] != '\0' ? path : nullptr;
}

} // namespace

// --- the print flow ---------------------------------------------------------------------------

// With no dialog to show it in, a file that cannot be written is reported where the script that
// named it can see it.
void CQuillmoorView::PrintIntoPdf(const char* pdfPath) {
    if (!PrintToPdf(pdfPath)) {
        std::fprintf(stderr, "cellwright: %s: cannot write the PDF file \"%s\"; nothing was printed\n",
                     kPrintToPdfVariable, pdfPath);
    }
}

void CQuillmoorView::OnPrintCommand() {
    if (const char* pdfPath = PrintToPdfPath()) {
        PrintIntoPdf(pdfPath);
        return;
    }
    OnFilePrint();
}

void CQuillmoorView::OnPrintDirectCommand() {
    if (const char* pdfPath = PrintToPdfPath()) {
        PrintIntoPdf(pdfPath);
        return;
    }
    OnFilePrintDirect();
}

void CQuillmoorView::OnPrint(CDC* pDC, CPrintInfo* pInfo) {
    const CPaperMetrics metrics = ComputePaperMetrics(pInfo->m_rectDraw);
    m_printRect = pInfo->m_rectDraw;
    m_printTextWidth = metrics.m_textWidth;
    m_printSideMargin = metrics.m_sideMargin;
    m_printTextHeight = metrics.m_textHeight;
    m_printFontHeight = metrics.m_fontHeight;
    m_printTopMargin = metrics.m_topMargin;
    m_printCell = metrics.m_cell;
    m_printGridLeft = metrics.m_gridLeft;
    m_printGridTop = metrics.m_gridTop;

    if (InstructionPagesShown()) {
        PrintInstructions(pDC);
    } else if (m_verdict != kVerdictCorrect) {
        PrintGrid(pDC);
    }
    // After a correct answer there is nothing to print: the sheet stays blank.
}

void CQuillmoorView::OnEndPrinting(CDC*, CPrintInfo*) {
    // The print dialog took the caret away; the new one stays hidden until the game shows it.
    CreatePuzzleCaret();
    m_caretShowCount = 0;
}

// --- instructions on paper --------------------------------------------------------------------

void CQuillmoorView::PrintInstructions(CDC* pDC) {
    // A layout made for another sheet size would run off the bottom or the side of this one, so
    // it is made again; on the same sheet the existing pages are reused.
    if (m_printLayoutDone == 0 || m_printLayoutRect != m_printRect) {
        LayoutPrintPages(pDC);
        m_printLayoutDone = 1;
    }
    for (m_printPage = 0; m_printPage < m_printPageCount; ++m_printPage) {
        if (m_printPage > 0) {
            pDC->EndPage();
            pDC->StartPage();
        }
        PrintInstructionPage(pDC);
    }
}

void CQuillmoorView::LayoutPrintPages(CDC* pDC) {
    m_printPageCount = 1;
    RecreateFont(m_printTitleFont, m_printFontHeight * 5 / 4, "Arial Bold", 1);
    RecreateFont(m_printBodyFont, m_printFontHeight, "Courier New");

    CFont* previousFont = pDC->SelectObject(&m_printBodyFont);
    SIZE size{0, 0};
    pDC->GetTextExtentPoint32A("MW", 2, &size);
    m_printLineHeight = size.cy;
    m_printLinesPerPage =
        ComputeLinesPerPage(m_printTextHeight, m_printLineHeight, kPaperPageFormat.m_maxLinesPerPage);

    // Paper starts at the first section title: whatever comes before it is for the screen only.
    const int start = FindFirstTitleEntry(m_helpChunks, kHelpTextCapacity);
    CDCLineMeasurer measurer(*pDC);
    LayoutPages(m_helpChunks, kHelpTextCapacity, start, m_printTextWidth, m_printLinesPerPage,
                kPaperPageFormat, measurer, m_printLines);

    // The text ends with a page break, which opens one last, empty page: it is not printed. Should
    // that last page hold text after all, it is printed rather than lost.
    const int lastPage = m_printLines.PageCount() - 1;
    const bool lastPageEmpty =
        m_printLines.LastLine(lastPage) == 0 && m_printLines.Line(lastPage, 0)[0] == '\0';
    m_printPageCount = lastPageEmpty ? lastPage : lastPage + 1;
    m_printLayoutRect = m_printRect;
    pDC->SelectObject(previousFont);
}

void CQuillmoorView::PrintInstructionPage(CDC* pDC) {
    const int a = m_printLineHeight;
    const int right = m_printTextWidth + m_printSideMargin; // the right end of the text column

    const CString header = NoticeWithTime();
    RecreateFont(m_printHeaderFont, 4 * m_printFontHeight / 5, "Arial");
    CFont* previousFont = pDC->SelectObject(&m_printHeaderFont);
    pDC->TextOut(m_printSideMargin, a / 2, header);

    if (m_printPage > 0) {
        const UINT format = DT_SINGLELINE | DT_VCENTER | DT_RIGHT;
        CRect labelRect(right - 3 * a / 2 - 3 * a, a / 2, right - 3 * a / 2, a + a / 2);
        pDC->DrawText("Page ", -1, &labelRect, format);
        char number[16];
        const int length = wsprintfA(number, "%2i", m_printPage + 1);
        CRect numberRect(right - 3 * a / 2, a / 2, right, a + a / 2);
        pDC->DrawText(number, length, &numberRect, format);
    }

    pDC->SelectObject(&m_printBodyFont);
    m_printHeaderFont.DeleteObject();

    DrawPageLines(pDC, m_printLines, m_printPage, m_printSideMargin, m_printTopMargin, m_printLineHeight,
                  &m_printBodyFont, &m_printTitleFont);
    pDC->SelectObject(previousFont);
}

// --- the grid on paper ------------------------------------------------------------------------

void CQuillmoorView::PrintGrid(CDC* pDC) {
    const int cell = m_printCell;
    const int left = m_printGridLeft;
    const int top = m_printGridTop;
    RecreateFont(m_gridDigitFont, 2 * cell / 9, "Arial Bold");

    // Every line in light blue, then the box lines again in blue over them.
    auto drawLines = [&](int step) {
        for (int i = 0; i <= 9; i += step) {
            pDC->MoveTo(left, top + i * cell);
            pDC->LineTo(left + 9 * cell, top + i * cell);
        }
        for (int j = 0; j <= 9; j += step) {
            pDC->MoveTo(left + j * cell, top);
            pDC->LineTo(left + j * cell, top + 9 * cell + 1);
        }
    };
    CPen* previousPen = pDC->SelectObject(&m_linePen);
    drawLines(1);
    pDC->SelectObject(&m_boxPen);
    drawLines(3);
    pDC->SelectObject(previousPen);

    CFont* previousFont = pDC->SelectObject(&m_gridDigitFont);
    auto drawDigit = [&](int row, int col, int digit) {
        CRect rect(left + col * cell, top + row * cell, left + col * cell + cell, top + row * cell + cell);
        pDC->DrawText(NumberText(digit), -1, &rect, kCentred);
    };

    if (m_verdict == kVerdictNone) {
        // Before DONE: the puzzle's own numbers only, never the player's.
        pDC->SetTextColor(kRed);
        for (int row = 0; row < 9; ++row) {
            for (int col = 0; col < 9; ++col) {
                if (m_grid[row][col] > 0) {
                    drawDigit(row, col, m_grid[row][col]);
                }
            }
        }
        pDC->SetTextColor(kBlack);
    } else if (m_verdict == kVerdictWrong && (m_option == kOptionEasy || m_option == kOptionHard)) {
        pDC->SetTextColor(kSolutionGray);
        for (int s = 0; s < kSquareCount; ++s) {
            if (m_solution[s].solution > 0) {
                drawDigit(s / 9, s % 9, m_solution[s].solution);
            }
        }
        pDC->SetTextColor(kBlack);
    } else if (m_verdict == kVerdictWrong && m_option == kOptionOwnNumbers) {
        // Typed-in numbers have no solution of ours to print: the empty grid and the 'brrr'.
        PlaySoundCue(kSoundForbidden);
    }
    pDC->SelectObject(previousFont);
}
