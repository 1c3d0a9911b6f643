// Every client size from the smallest accepted one to 3840 x 2160, on a coarse grid, plus very tall
// and very wide shapes: the instruction pages are laid out and drawn, and a game with the
// heaviest board is painted, without a fault and with what a player would notice intact.
//
// CELLWRIGHT_SWEEP_STEP sets the grid step in pixels (the sanitizer build takes a coarser one).

#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "ViewHarness.h"
#include "common/MenuIds.h"
#include "instructions/HelpText.h"
#include "instructions/PageLayout.h"

#if defined(__SANITIZE_ADDRESS__)
#define CELLWRIGHT_TEST_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CELLWRIGHT_TEST_SANITIZED 1
#endif
#endif

namespace {

#ifdef CELLWRIGHT_TEST_SANITIZED
constexpr int kDefaultStep = 194;
#else
constexpr int kDefaultStep = 97;
#endif

struct CClientSize {
    int w, h;
};

std::string Name(const CClientSize& s) {
    return std::to_string(s.w) + "x" + std::to_string(s.h);
}

int SweepStep() {
    const char* env = std::getenv("CELLWRIGHT_SWEEP_STEP");
    const int step = env ? std::atoi(env) : 0;
    return step >= 16 ? step : kDefaultStep;
}

// The grid of sizes, its far corner always included, then the extreme shapes.
std::vector<CClientSize> SweepSizes() {
    const int step = SweepStep();
    std::vector<int> widths, heights;
    for (int w = 780; w < 3840; w += step) {
        widths.push_back(w);
    }
    widths.push_back(3840);
    for (int h = 540; h < 2160; h += step) {
        heights.push_back(h);
    }
    heights.push_back(2160);
    std::vector<CClientSize> sizes;
    for (int w : widths) {
        for (int h : heights) {
            sizes.push_back({w, h});
        }
    }
    for (CClientSize s :
         {CClientSize{780, 4000}, {4000, 540}, {3840, 600}, {781, 2160}, {5000, 2800}, {1000, 541}}) {
        sizes.push_back(s);
    }
    return sizes;
}

void Resize(CQuillmoorView& view, const CClientSize& size) {
    view.Widget()->resize(size.w, size.h);
    ProcessEvents();
    view.UpdateWindow();
    ProcessEvents();
}

bool HasInk(const CQuillmoorView& view, const RECT& rect, int r, int g, int b) {
    const QImage& image = view.BackingImage();
    const int left = std::max<int>(rect.left, 0), right = std::min<int>(rect.right, image.width());
    const int top = std::max<int>(rect.top, 0), bottom = std::min<int>(rect.bottom, image.height());
    for (int y = top; y < bottom; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = left; x < right; ++x) {
            if (qRed(row[x]) == r && qGreen(row[x]) == g && qBlue(row[x]) == b) {
                return true;
            }
        }
    }
    return false;
}

bool IsMarker(const std::string& token) {
    return token == ",," || token == ".." || token == "...";
}

// Characters other than spaces in the instruction text's words, markers and colons left out.
size_t TextCharacters() {
    size_t count = 0;
    for (int i = 0; i < g_helpTextEntryCount; ++i) {
        if (std::strcmp(g_helpTextEntries[i], kTextTerminator) == 0) {
            break;
        }
        std::string entry = g_helpTextEntries[i];
        size_t pos = 0;
        while (pos < entry.size()) {
            const size_t start = entry.find_first_not_of(' ', pos);
            if (start == std::string::npos) {
                break;
            }
            const size_t end = std::min(entry.find(' ', start), entry.size());
            const std::string token = entry.substr(start, end - start);
            if (!IsMarker(token)) {
                count += token.size() - std::min(token.find_first_not_of(':'), token.size());
            }
            pos = end;
        }
    }
    return count;
}

int Words(const char* line) {
    int words = 0;
    for (const char* p = line; *p != '\0'; ++p) {
        if (*p != ' ' && (p == line || p[-1] == ' ')) {
            ++words;
        }
    }
    return words;
}

// The pages as laid out for the view's current size: every page holds text, no word is lost,
// lines of several words keep inside the width limit, and the page shown has ink on it; with
// drawAll, so has every page in turn.
void CheckInstructionPages(CQuillmoorView& view, const CClientSize& size, size_t expectedCharacters,
                           bool drawAll) {
    ASSERT_GE(view.m_pageCount, 1);
    ASSERT_GE(view.m_linesPerPage, 1);
    CClientDC dc(&view);
    dc.SelectObject(&view.m_helpBodyFont);
    size_t characters = 0;
    for (int page = 0; page < view.m_pages.PageCount(); ++page) {
        int textLines = 0;
        for (int slot = 0; slot <= view.m_pages.LastLine(page); ++slot) {
            const char* line = view.m_pages.Line(page, slot);
            for (const char* p = line; *p != '\0'; ++p) {
                characters += *p != ' ';
            }
            if (Words(line) == 0) {
                continue;
            }
            ++textLines;
            if (Words(line) > 1) {
                SIZE extent{0, 0};
                dc.GetTextExtentPoint32A(line, static_cast<int>(std::strlen(line)), &extent);
                EXPECT_LT(extent.cx, view.m_textWidth) << "page " << page + 1 << ": " << line;
            }
        }
        if (page < view.m_pageCount) {
            EXPECT_GT(textLines, 0) << "page " << page + 1 << " of " << view.m_pageCount << " is empty";
        }
    }
    EXPECT_EQ(characters, expectedCharacters) << "text lost or doubled in the layout";

    // Every page drawn, the last one leading back to the first.
    const RECT body{0, 0, size.w, size.h - view.m_lineHeight};
    EXPECT_TRUE(HasInk(view, body, 0, 0, 0)) << "the page shown has no text";
    for (int page = 1; drawAll && page <= view.m_pageCount; ++page) {
        EXPECT_EQ(view.m_currentPage, page);
        EXPECT_TRUE(HasInk(view, body, 0, 0, 0)) << "page " << page << " shows no text";
        view.NextInstructionPage();
    }
    EXPECT_EQ(view.m_currentPage, 1);
}

// The play screen as painted for the view's current size.
void CheckBoard(CQuillmoorView& view, const CClientSize& size) {
    const int S = view.m_squareHeight;
    ASSERT_EQ(S, size.h / 12);
    const CRect& topLeft = view.m_squareRect[0][0];
    if (size.w >= 9 * S) {
        EXPECT_GE(topLeft.left, 0);
        EXPECT_LE(view.m_squareRect[0][9].left, size.w) << "grid wider than the client";
    }

    // The clues are drawn.
    int clue = 0;
    while (clue < 81 && view.m_grid[clue / 9][clue % 9] == 0) {
        ++clue;
    }
    ASSERT_LT(clue, 81);
    if (size.w >= 9 * S) {
        EXPECT_TRUE(HasInk(view, view.m_squareRect[clue / 9][clue % 9], 255, 0, 0)) << "clue not drawn";
    }

    // The caret, a 3 x 15 bar, inside the square it marks.
    const CRect& caretSquare = view.m_squareRect[view.m_caretRow][view.m_caretCol];
    const CCaretState caret = AfxGetCaretState();
    EXPECT_TRUE(caret.exists);
    EXPECT_TRUE(caret.visible);
    EXPECT_EQ(caret.x, view.m_caretX);
    EXPECT_EQ(caret.y, view.m_caretY);
    EXPECT_GE(caret.x, caretSquare.left);
    EXPECT_LE(caret.x + caret.width, caretSquare.right);
    EXPECT_GE(caret.y, caretSquare.top);
    EXPECT_LE(caret.y + caret.height, caretSquare.bottom);

    // The points, and the help panel's text wherever the panel has room for a line.
    if (size.w >= 9 * S) {
        EXPECT_TRUE(HasInk(view, view.m_pointsNumberRect, 192, 0, 0)) << "points not drawn";
    }
    const CRect& help = view.m_helpPanelRect;
    if (help.right - help.left >= 40 && help.bottom - help.top >= S) {
        EXPECT_TRUE(HasInk(view, help, 0, 0, 0)) << "help panel empty";
    }
}

// A view, painted once at the smallest accepted size, that every size of the sweep then resizes;
// relayout on every change of size is part of what is under test.
class WindowSweep : public ::testing::Test {
  protected:
    void SetUp() override { m_view = MakePaintedView(780, 540, 7); }
    std::unique_ptr<CQuillmoorView> m_view;
};

TEST_F(WindowSweep, InstructionPagesAtEverySize) {
    const size_t expected = TextCharacters();
    ASSERT_GT(expected, 1000u);
    const std::vector<CClientSize> sizes = SweepSizes();
    for (size_t i = 0; i < sizes.size(); ++i) {
        const CClientSize& size = sizes[i];
        SCOPED_TRACE(Name(size));
        Resize(*m_view, size);
        ASSERT_EQ(m_view->m_clientRect, CRect(0, 0, size.w, size.h));
        // Drawing every page of every size would mostly time the filling of large windows.
        CheckInstructionPages(*m_view, size, expected, i % 5 == 0 || i + 8 > sizes.size());
        if (HasFailure()) {
            break; // one size's report is enough
        }
    }
}

// The heaviest board (possibles bought on every empty square) through every size, the font of the
// possibles changing as it goes, and the finished game's screen every few sizes.
TEST_F(WindowSweep, PlayScreenAtEverySize) {
    ASSERT_TRUE(m_view->OnCmdMsg(ID_OPTIONS_EASY, nullptr));
    ProcessEvents();
    ASSERT_EQ(m_view->m_option, 1);
    for (int s = 0; s < 81; ++s) {
        if (m_view->m_grid[s / 9][s % 9] == 0) {
            m_view->m_squares[s].possiblesPaid = 1;
        }
    }
    m_view->RefreshAllPossibles(0);
    const unsigned fonts[] = {ID_FONT_LUCIDA_CONSOLE, ID_FONT_MS_SANS_SERIF, ID_FONT_ARIAL_BOLD,
                              ID_FONT_ARIAL};

    int index = 0;
    for (const CClientSize& size : SweepSizes()) {
        SCOPED_TRACE(Name(size));
        Resize(*m_view, size);
        ASSERT_EQ(m_view->m_clientRect, CRect(0, 0, size.w, size.h));
        CheckBoard(*m_view, size);

        if (index % 3 == 0) {
            m_view->OnCmdMsg(fonts[(index / 3) % 4], nullptr);
            CheckBoard(*m_view, size);
        }

        if (index % 7 == 0) {
            // The finished game's screen: HOME and AGAIN, both panels, the verdict.
            m_view->m_phase = 2;
            m_view->HideCaretCompletely();
            m_view->PaintBoard();
            if (size.w >= 9 * m_view->m_squareHeight) {
                EXPECT_TRUE(HasInk(*m_view, m_view->m_performanceNumberRect, 0, 148, 0)) << "no performance";
            }
            m_view->m_phase = 0;
            m_view->PaintBoard();
        }
        ++index;
        if (HasFailure()) {
            break;
        }
    }
}

} // namespace
