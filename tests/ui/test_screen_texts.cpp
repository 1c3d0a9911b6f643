// What the play screen says, read from the text record rather than from pixels: the title, the
// button and panel captions, the points with their sign, the numerals and possibles in their
// faces and colours, and the two text panels word for word.

#include <gtest/gtest.h>

#include <string>

#include "PlayHarness.h"

namespace {

constexpr UINT kCentred = DT_SINGLELINE | DT_VCENTER | DT_CENTER;
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kPointsRed = RGB(192, 0, 0);

// One single-line text drawn once, centred in rect, in this face, height and colour.
void ExpectCaption(const CTextLog& log, const char* text, const RECT& rect, COLORREF colour, const char* face,
                   int height) {
    const std::vector<CTextRecord> found = log.Find(text);
    ASSERT_EQ(found.size(), 1u) << "\"" << text << "\"";
    const CTextRecord& record = found.front();
    EXPECT_TRUE(CRect(record.rect) == CRect(rect)) << text;
    EXPECT_EQ(record.format, kCentred) << text;
    EXPECT_EQ(record.colour, colour) << text;
    EXPECT_EQ(record.face, face) << text;
    EXPECT_EQ(record.height, height) << text;
    EXPECT_FALSE(record.printer) << text;
}

const char kHelpPanel[] =
    "To populate a square, drag a number from one of the baskets below the grid. An alternative to this is "
    "to move the caret -- the small vertical blinking line -- to the desired square and then type the "
    "number. These numbers will be green and cost 1 point. If you are sure that a green number is correct, "
    "click on it to 'fix' it. This will turn it blue and make it behave as if it were one of the red or "
    "original or given numbers. \n\nYou can find out all the possible numbers that can go into an empty "
    "square by right-clicking there. This costs 5 points. The 'possibles' are small gray numbers along the "
    "edges of the square. If you click on one of these, it will become the green number and will be "
    "removed from all 'possibles' in all squares in the same row, column, and box. This will cost 1 point. "
    "Should you decide to remove or replace such a green number, all the 'possibles' in all affected "
    "squares in the same row, column and box will be updated as necessary. If the gray numbers are hard to "
    "read, try a different font by going to the Fonts menu, above.\n\nAny time you hear a 'brrr' sound, it "
    "means that you are trying to do something that is not allowed. For example, attempting to delete a "
    "red number. For more information, press the F1 key. ";

// The option panel of the test puzzle: 35 numbers, 46 empty squares, 300 points, 254 at best.
std::string OptionPanel(bool withPerformance) {
    std::string text = "You are playing under option 3 -- Use Your Own Numbers. \n\nYou started out with 46 "
                       "empty squares. This means that the highest score that you could get is 254. \n\nThe "
                       "highest score is equal to your initial 'Points Left' or 300, minus the number of "
                       "empty squares.";
    if (withPerformance) {
        text += "\n\nYour performance is your final score divided by the highest score that you could get, "
                "expressed as a percentage.";
    }
    return text +
           "\n\nYour final score will be the same as the number in 'Points Left', at the time you "
           "click on 'DONE', provided that your solution is correct, otherwise it will be set to zero. "
           "Your final score will never be less than zero.";
}

} // namespace

TEST(ScreenTexts, TitleDoneAndPointsLeftWithTheirFacesAndColours) {
    auto view = TestPuzzleGame();
    const int S = view->m_squareHeight;
    ASSERT_EQ(S, 64);
    CTextLog log;
    view->PaintBoard();

    ExpectCaption(log, "Cellwright", view->m_titleRect, kBlack, "Arial Bold", S / 2);
    ExpectCaption(log, "DONE", view->m_doneButtonRect, kBlack, "Arial Bold", 2 * S / 7);
    ExpectCaption(log, "POINTS LEFT", view->m_pointsLabelRect, kBlack, "Arial Bold", 2 * S / 7);
    ExpectCaption(log, "300", view->m_pointsNumberRect, kPointsRed, "Arial Bold", 2 * S / 7);
    for (const char* later : {"HOME", "AGAIN", "FINAL SCORE", "PERFORMANCE", "OK  OK  OK  OK  OK"}) {
        EXPECT_TRUE(log.Find(later).empty()) << later;
    }

    // The clues, and nothing else, in red in their squares.
    int clues = 0;
    for (const CTextRecord& record : log.m_texts) {
        if (record.colour != RGB(255, 0, 0)) {
            continue;
        }
        ++clues;
        int r = 0, c = 0;
        ASSERT_TRUE(view->FindSquare(CPoint(record.rect.left + 1, record.rect.top + 1), &r, &c));
        EXPECT_EQ(record.text, CString(static_cast<char>('0' + view->m_grid[r][c]))) << r << "," << c;
        EXPECT_TRUE(CRect(record.rect) == view->m_squareRect[r][c]);
        EXPECT_EQ(record.face, "Arial Bold");
        EXPECT_EQ(record.height, 2 * S / 7);
    }
    EXPECT_EQ(clues, 35);
}

TEST(ScreenTexts, PlayersNumeralsPossiblesAndNegativePointsKeepTheirSign) {
    auto view = TestPuzzleGame();
    const int S = view->m_squareHeight;
    view->m_points = 0;
    CTextLog log;
    TypeAt(*view, 0, 0, 5);
    Click(*view, SquareCentre(*view, 0, 0)); // fixed: blue
    RightClick(*view, SquareCentre(*view, 0, 3));

    // The charge is drawn at once and again by the repaint, minus sign and all.
    const std::vector<CTextRecord> minusOne = log.Find("-1");
    ASSERT_EQ(minusOne.size(), 2u);
    for (const CTextRecord& record : minusOne) {
        EXPECT_TRUE(CRect(record.rect) == view->m_pointsNumberRect);
        EXPECT_EQ(record.colour, kPointsRed);
    }
    const CTextRecord minusSix = log.Last("-6");
    EXPECT_TRUE(CRect(minusSix.rect) == view->m_pointsNumberRect);
    EXPECT_EQ(minusSix.colour, kPointsRed);

    std::vector<CTextRecord> fives; // the player's, not the red clues
    for (const CTextRecord& record : log.Find("5")) {
        if (record.colour != RGB(255, 0, 0)) {
            fives.push_back(record);
        }
    }
    ASSERT_GE(fives.size(), 2u);
    EXPECT_EQ(fives.front().colour, RGB(0, 128, 128)); // green as typed
    EXPECT_EQ(fives.back().colour, RGB(0, 0, 128));    // blue once fixed
    for (const CTextRecord& record : fives) {
        EXPECT_EQ(record.face, "Arial Bold");
        EXPECT_EQ(record.height, S / 4);
    }

    // Square (0, 3) may hold 2 and 3 only, drawn small and gray in the Fonts menu's face.
    std::string possibles;
    for (const CTextRecord& record : log.m_texts) {
        if (record.colour == RGB(160, 160, 160)) {
            possibles += record.text.Str();
            EXPECT_EQ(record.face, "Lucida Console");
            EXPECT_EQ(record.height, 2 * S / 9);
        }
    }
    EXPECT_EQ(possibles, "23");
}

TEST(ScreenTexts, TextPanelsWordForWordAndThePerformanceSentenceOnlyAfterDone) {
    auto view = TestPuzzleGame();
    CTextLog log;
    view->PaintBoard();
    const int panelHeight = view->m_panelFontHeight + view->m_panelFontAdjust;

    const CTextRecord help = log.Last(kHelpPanel);
    EXPECT_TRUE(CRect(help.rect) == view->m_helpPanelRect);
    EXPECT_EQ(help.format, static_cast<UINT>(DT_WORDBREAK));
    EXPECT_EQ(help.colour, kBlack);
    EXPECT_EQ(help.face, "Arial");
    EXPECT_EQ(help.height, panelHeight);

    const CTextRecord option = log.Last(OptionPanel(false).c_str());
    EXPECT_TRUE(CRect(option.rect) == view->m_optionPanelRect);
    EXPECT_EQ(option.format, static_cast<UINT>(DT_WORDBREAK));
    EXPECT_EQ(option.face, "Arial");
    EXPECT_EQ(option.height, panelHeight);

    log.Clear();
    Click(*view, RectCentre(view->m_doneButtonRect));
    ASSERT_EQ(view->m_phase, 2);
    EXPECT_TRUE(CRect(log.Last(OptionPanel(true).c_str()).rect) == view->m_optionPanelRect);
    EXPECT_TRUE(log.Find(OptionPanel(false).c_str()).empty());
    EXPECT_EQ(log.Find(kHelpPanel).size(), 1u);
}
