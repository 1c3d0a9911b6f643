// A game from the board to the verdict: a won game with its verdict line, sounds, final score and
// performance; wrong grids; HOME; AGAIN under each option.

#include <QtTest/QTest>
#include <cstring>
#include <gtest/gtest.h>

#include "PlayHarness.h"
#include "common/MenuIds.h"

namespace {

const int kPerformanceGreen[3] = {0, 148, 0};
const int kZeroGreen[3] = {0, 156, 0};

int CountRgb(const CQuillmoorView& view, const RECT& rect, const int rgb[3]) {
    return CountColour(view, rect, rgb[0], rgb[1], rgb[2]);
}

int RedInMessageStrip(const CQuillmoorView& view) {
    return CountColour(view, view.m_messageRect, 255, 0, 0);
}

// Types a whole grid at the caret; grid[r][c] is the digit for every empty square.
void TypeGrid(CQuillmoorView& view, const int grid[9][9]) {
    for (const auto& [r, c] : EmptySquares(view)) {
        TypeAt(view, r, c, grid[r][c]);
    }
}

void TestSolutionGrid(int grid[9][9]) {
    for (int r = 0; r < 9; ++r) {
        for (int c = 0; c < 9; ++c) {
            grid[r][c] = TestSolutionAt(r, c);
        }
    }
}

void PressDone(CQuillmoorView& view) {
    Click(view, RectCentre(view.m_doneButtonRect));
}

// The texts of the finished board as drawn, in order, each in its place and colour: the captions
// of the buttons and panels, the final score and the performance.
struct CExpectedText {
    const char* text;
    CRect rect;
    COLORREF colour;
};
void ExpectTexts(const CTextLog& log, const std::vector<CExpectedText>& expected) {
    std::vector<CExpectedText> drawn;
    for (const CTextRecord& record : log.m_texts) {
        if (record.format == (DT_SINGLELINE | DT_VCENTER | DT_CENTER)) {
            drawn.push_back({record.text, record.rect, record.colour});
        }
    }
    ASSERT_EQ(drawn.size(), expected.size()) << ::testing::PrintToString(log.Texts());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(CString(drawn[i].text), expected[i].text) << i;
        EXPECT_TRUE(drawn[i].rect == expected[i].rect) << expected[i].text;
        EXPECT_EQ(drawn[i].colour, expected[i].colour) << expected[i].text;
    }
}

bool OptionsEnabled(CQuillmoorView& view) {
    CCmdUI ui(ID_OPTIONS_EASY);
    view.OnCmdMsg(ID_OPTIONS_EASY, &ui);
    return ui.m_bEnabled != FALSE;
}

// Notes, for each cue, what the screen showed when it started.
class CScreenAtSound : public ISoundPlayer {
  public:
    explicit CScreenAtSound(const CQuillmoorView& view) : m_view(view) { AfxSetSoundPlayer(this); }
    ~CScreenAtSound() override { AfxSetSoundPlayer(&TestSoundRecorder()); }
    int Play(int id, bool synchronous) override {
        m_cues.push_back({id, synchronous, RedInMessageStrip(m_view),
                          CountRgb(m_view, m_view.m_performanceNumberRect, kPerformanceGreen)});
        return 1;
    }
    struct Cue {
        int id;
        bool synchronous;
        int verdictInk;
        int performanceInk;
    };
    std::vector<Cue> m_cues;

  private:
    const CQuillmoorView& m_view;
};

} // namespace

TEST(GameFlow, AWonGameShowsTheVerdictScoreAndPerformance) {
    auto view = TestPuzzleGame();
    EXPECT_FALSE(OptionsEnabled(*view));
    int grid[9][9];
    TestSolutionGrid(grid);
    TypeGrid(*view, grid);
    ASSERT_EQ(view->m_points, 254); // 300 less one point for each of the 46 squares

    CScreenAtSound sounds(*view);
    CTextLog log;
    PressDone(*view);

    EXPECT_EQ(view->m_phase, 2);
    EXPECT_EQ(view->m_verdict, 0);
    EXPECT_EQ(view->m_points, 254);
    EXPECT_EQ(view->m_performance, 100);
    const CQuillmoorView& v = *view;
    ExpectTexts(log, {{"HOME", v.m_doneButtonRect, RGB(0, 0, 0)},
                      {"AGAIN", v.m_againButtonRect, RGB(0, 0, 0)},
                      {"OK  OK  OK  OK  OK", v.m_messageRect, RGB(255, 0, 0)},
                      {"FINAL SCORE", v.m_pointsLabelRect, RGB(0, 0, 0)},
                      {"254", v.m_pointsNumberRect, RGB(192, 0, 0)},
                      {"PERFORMANCE", v.m_performanceLabelRect, RGB(0, 0, 0)},
                      {"100%", v.m_performanceNumberRect, RGB(0, 148, 0)}});
    const CTextRecord verdictLine = log.Last("OK  OK  OK  OK  OK");
    EXPECT_EQ(verdictLine.face, "Arial Bold");
    EXPECT_EQ(verdictLine.height, 7 * v.m_squareHeight / 9);
    ASSERT_EQ(sounds.m_cues.size(), 2u);
    // Heard twice: the first to its end with the verdict line already up, then again while the
    // score panels are drawn.
    EXPECT_EQ(sounds.m_cues[0].id, 101);
    EXPECT_TRUE(sounds.m_cues[0].synchronous);
    EXPECT_GT(sounds.m_cues[0].verdictInk, 0);
    EXPECT_EQ(sounds.m_cues[0].performanceInk, 0);
    EXPECT_EQ(sounds.m_cues[1].id, 101);
    EXPECT_FALSE(sounds.m_cues[1].synchronous);

    EXPECT_GT(RedInMessageStrip(*view), 0);
    EXPECT_GT(CountRgb(*view, view->m_performanceNumberRect, kPerformanceGreen), 0);
    EXPECT_GT(CountColour(*view, view->m_pointsNumberRect, 192, 0, 0), 0);
    EXPECT_GT(CountColour(*view, view->m_doneButtonRect, 111, 255, 43), 0);   // HOME
    EXPECT_GT(CountColour(*view, view->m_againButtonRect, 255, 140, 255), 0); // AGAIN
    EXPECT_FALSE(AfxGetCaretState().visible);

    // A later full paint shows the same finished board.
    const std::vector<std::string> verdict = InkShape(*view, view->m_messageRect);
    log.Clear();
    view->Invalidate();
    view->UpdateWindow();
    ProcessEvents();
    EXPECT_EQ(InkShape(*view, view->m_messageRect), verdict);
    for (const CExpectedText& caption : {CExpectedText{"HOME", v.m_doneButtonRect, RGB(0, 0, 0)},
                                         CExpectedText{"AGAIN", v.m_againButtonRect, RGB(0, 0, 0)},
                                         CExpectedText{"FINAL SCORE", v.m_pointsLabelRect, RGB(0, 0, 0)},
                                         CExpectedText{"PERFORMANCE", v.m_performanceLabelRect, RGB(0, 0, 0)},
                                         CExpectedText{"OK  OK  OK  OK  OK", v.m_messageRect, RGB(255, 0, 0)},
                                         CExpectedText{"254", v.m_pointsNumberRect, RGB(192, 0, 0)},
                                         CExpectedText{"100%", v.m_performanceNumberRect, RGB(0, 148, 0)}}) {
        const std::vector<CTextRecord> drawn = log.Find(caption.text);
        ASSERT_EQ(drawn.size(), 1u) << caption.text;
        EXPECT_TRUE(CRect(drawn[0].rect) == caption.rect) << caption.text;
        EXPECT_EQ(drawn[0].colour, caption.colour) << caption.text;
    }
    EXPECT_FALSE(OptionsEnabled(*view));
}

TEST(GameFlow, AnyCompleteGridWithoutRepetitionIsCorrect) {
    // Without the given 5 at (2, 8), the test puzzle also has the solution with 2 and 5 swapped in
    // the corners of rows 0 and 2: it differs from the first one and is still accepted.
    auto view = HomePageView();
    const char* const puzzle[9] = {
        ".89.17.4.", ".64..978.", "...6.....", ".32.9....", "8..463..9",
        "....2.51.", "6....5...", ".259..43.", ".7.13.95.",
    };
    {
        CDialogScript script;
        script.Then([&] {
            FillFields(puzzle);
            return static_cast<int>(IDOK);
        });
        view->OnCmdMsg(ID_OPTIONS_OWN_NUMBERS, nullptr);
    }
    ASSERT_EQ(view->m_option, 3);
    ASSERT_EQ(view->m_givenCount, 34);
    int grid[9][9];
    TestSolutionGrid(grid);
    std::swap(grid[0][0], grid[0][8]);
    std::swap(grid[2][0], grid[2][8]);
    ASSERT_TRUE(IsValidSolutionGrid(grid));
    TypeGrid(*view, grid);
    ClearSounds();
    PressDone(*view);
    EXPECT_EQ(view->m_verdict, 0);
    EXPECT_EQ(view->m_points, 306 - 47);
    EXPECT_EQ(view->m_performance, 100);
}

TEST(GameFlow, ARepeatedNumeralOrAnEmptySquareLosesEverything) {
    auto view = TestPuzzleGame();
    int grid[9][9];
    TestSolutionGrid(grid);
    grid[0][0] = 8; // twice in row 0 with the original 8 beside it
    TypeGrid(*view, grid);
    ASSERT_GT(view->m_points, 0);
    CTextLog log;
    PressDone(*view);
    EXPECT_EQ(view->m_verdict, 1);
    EXPECT_EQ(view->m_points, 0);
    EXPECT_EQ(Sounds(), std::vector<int>{102});
    EXPECT_EQ(RedInMessageStrip(*view), 0);
    EXPECT_GT(CountRgb(*view, view->m_performanceNumberRect, kZeroGreen), 0);
    EXPECT_EQ(CountRgb(*view, view->m_performanceNumberRect, kPerformanceGreen), 0);
    // Right after the verdict the performance is a bare 0; the next full paint shows "0%".
    const CQuillmoorView& v = *view;
    ExpectTexts(log, {{"HOME", v.m_doneButtonRect, RGB(0, 0, 0)},
                      {"AGAIN", v.m_againButtonRect, RGB(0, 0, 0)},
                      {"FINAL SCORE", v.m_pointsLabelRect, RGB(0, 0, 0)},
                      {"0", v.m_pointsNumberRect, RGB(192, 0, 0)},
                      {"PERFORMANCE", v.m_performanceLabelRect, RGB(0, 0, 0)},
                      {"0", v.m_performanceNumberRect, RGB(0, 156, 0)}});
    log.Clear();
    view->PaintBoard();
    const CTextRecord zeroPercent = log.Last("0%");
    EXPECT_TRUE(CRect(zeroPercent.rect) == v.m_performanceNumberRect);
    EXPECT_EQ(zeroPercent.colour, RGB(0, 148, 0));
    EXPECT_TRUE(log.Find("OK  OK  OK  OK  OK").empty());

    // Released far away from the button: the verdict still runs, here on a board with holes.
    auto holes = TestPuzzleGame();
    TypeAt(*holes, 0, 0, 5);
    LeftPress(*holes, RectCentre(holes->m_doneButtonRect));
    EXPECT_EQ(holes->m_phase, 1);
    LeftRelease(*holes, SquareCentre(*holes, 8, 8));
    EXPECT_EQ(holes->m_phase, 2);
    EXPECT_EQ(holes->m_verdict, 1);
    EXPECT_EQ(holes->m_points, 0);
    EXPECT_EQ(Sounds(), std::vector<int>{102});
}

TEST(GameFlow, ColumnsAndBoxesAreCheckedAsWellAsRows) {
    // Two numerals swapped inside a row and a box: every row and box is still complete.
    auto view = TestPuzzleGame();
    int grid[9][9];
    TestSolutionGrid(grid);
    std::swap(grid[2][0], grid[2][1]);
    TypeGrid(*view, grid);
    PressDone(*view);
    EXPECT_EQ(view->m_verdict, 1);

    // A Latin square: every row and column complete, the boxes not.
    auto latin = HomePageView();
    int square[9][9];
    std::vector<std::string> rows(9, std::string(9, '.'));
    for (int s = 0; s < 81; ++s) {
        square[s / 9][s % 9] = (s / 9 + s % 9) % 9 + 1;
        if (s < 20) {
            rows[static_cast<size_t>(s / 9)][static_cast<size_t>(s % 9)] =
                static_cast<char>('0' + square[s / 9][s % 9]);
        }
    }
    {
        CDialogScript script;
        script.Then([&] {
            const char* ptrs[9];
            for (int r = 0; r < 9; ++r) {
                ptrs[r] = rows[static_cast<size_t>(r)].c_str();
            }
            FillFields(ptrs);
            return static_cast<int>(IDOK);
        });
        latin->OnCmdMsg(ID_OPTIONS_OWN_NUMBERS, nullptr);
    }
    ASSERT_EQ(latin->m_option, 3);
    TypeGrid(*latin, square);
    PressDone(*latin);
    EXPECT_EQ(latin->m_verdict, 1);
    EXPECT_EQ(latin->m_points, 0);
}

TEST(GameFlow, HomeReturnsToTheInstructionsWithAFreshGrid) {
    auto view = TestPuzzleGame();
    PressDone(*view);
    ASSERT_EQ(view->m_phase, 2);
    ClearSounds();

    Click(*view, RectCentre(view->m_doneButtonRect));
    EXPECT_EQ(view->m_option, 0);
    EXPECT_EQ(view->m_phase, 0);
    EXPECT_EQ(view->m_verdict, -1);
    EXPECT_EQ(view->m_points, CGameCore::kPointsMarker);
    EXPECT_EQ(view->m_gridReady, 1); // the home page made the next grid at once
    EXPECT_TRUE(IsValidSolutionGrid(view->m_grid));
    EXPECT_TRUE(OptionsEnabled(*view));
    // The instruction page has replaced the board.
    EXPECT_EQ(CountColour(*view, view->m_doneButtonRect, 111, 255, 43), 0);
    EXPECT_EQ(Sounds(), std::vector<int>{});

    // Clicks on the home page do nothing.
    Click(*view, RectCentre(view->m_doneButtonRect));
    Click(*view, SquareCentre(*view, 0, 0));
    EXPECT_EQ(view->m_option, 0);
    EXPECT_EQ(Sounds(), std::vector<int>{});
}

TEST(GameFlow, AgainStartsANewPuzzleUnderEasyAndHard) {
    for (UINT command : {ID_OPTIONS_EASY, ID_OPTIONS_HARD}) {
        const int option = command == ID_OPTIONS_EASY ? 1 : 2;
        auto view = MenuGame(command, 21);
        ASSERT_EQ(view->m_option, option);
        int before[9][9];
        std::memcpy(before, view->m_grid, sizeof before);
        TypeAt(*view, 0, 0, 1);
        PressDone(*view);
        ASSERT_EQ(view->m_phase, 2);

        Click(*view, RectCentre(view->m_againButtonRect));
        EXPECT_EQ(view->m_option, option);
        EXPECT_EQ(view->m_phase, 0);
        EXPECT_EQ(view->m_verdict, -1);
        EXPECT_NE(std::memcmp(before, view->m_grid, sizeof before), 0);
        EXPECT_EQ(view->m_points, view->m_initialPoints); // a new score, nothing spent yet
        EXPECT_EQ(view->m_emptyCount, 81 - view->m_givenCount);
        for (int s = 0; s < 81; ++s) {
            EXPECT_EQ(view->m_squares[s].value, 0);
        }
        EXPECT_GT(CountColour(*view, view->m_doneButtonRect, 255, 135, 55), 0); // DONE again
        EXPECT_TRUE(AfxGetCaretState().visible);
        EXPECT_EQ(view->m_caretRow, 0);
        EXPECT_EQ(view->m_caretCol, 0);
    }
}

TEST(GameFlow, AgainUnderOwnNumbersReopensTheDialogWithTheLastEntry) {
    auto view = TestPuzzleGame();
    PressDone(*view);
    bool sawLastEntry = false;
    {
        CDialogScript script;
        script.Then([&] {
            sawLastEntry = FieldText(0, 1) == "8" && FieldText(8, 7) == "5" && FieldText(0, 0).isEmpty();
            return static_cast<int>(IDOK);
        });
        Click(*view, RectCentre(view->m_againButtonRect));
    }
    EXPECT_TRUE(sawLastEntry);
    EXPECT_EQ(view->m_option, 3);
    EXPECT_EQ(view->m_phase, 0);
    EXPECT_EQ(view->m_givenCount, 35);
    EXPECT_EQ(view->m_points, 300);

    // Cancelled when AGAIN opened it: back to the home page with a fresh grid.
    PressDone(*view);
    {
        CDialogScript script;
        Click(*view, RectCentre(view->m_againButtonRect));
        EXPECT_EQ(script.m_dialogCalls, 1);
    }
    EXPECT_EQ(view->m_option, 0);
    EXPECT_EQ(view->m_verdict, -1);
    EXPECT_EQ(view->m_ownNumbersFromAgain, 0);
    EXPECT_EQ(view->m_points, CGameCore::kPointsMarker);
    EXPECT_TRUE(IsValidSolutionGrid(view->m_grid));
    EXPECT_TRUE(OptionsEnabled(*view));
}
