// The keys over the test puzzle's board and on the home page: the caret with its wrap, typed
// digits and their price, Delete and Home, and which keys act in which state.

#include <QCoreApplication>
#include <QKeyEvent>
#include <QtTest/QTest>
#include <cstring>
#include <gtest/gtest.h>

#include "PlayHarness.h"
#include "common/MenuIds.h"

namespace {

void ExpectCaretAt(const CQuillmoorView& view, int r, int c) {
    EXPECT_EQ(view.m_caretRow, r);
    EXPECT_EQ(view.m_caretCol, c);
    const CCaretState caret = AfxGetCaretState();
    const RECT& centre = view.m_possibleRect[r * 10 + c][4];
    EXPECT_EQ(caret.x, centre.left + 2);
    EXPECT_EQ(caret.y, centre.top + 2);
    EXPECT_TRUE(caret.visible);
    EXPECT_EQ(view.m_caretShowCount, 1);
}

} // namespace

TEST(KeyboardPlay, ArrowsMoveTheCaretAndWrapWithinTheRowOrColumn) {
    auto view = TestPuzzleGame();
    ExpectCaretAt(*view, 0, 0);
    Key(*view, Qt::Key_Left);
    ExpectCaretAt(*view, 0, 8);
    Key(*view, Qt::Key_Right);
    ExpectCaretAt(*view, 0, 0);
    Key(*view, Qt::Key_Up);
    ExpectCaretAt(*view, 8, 0);
    Key(*view, Qt::Key_Down);
    ExpectCaretAt(*view, 0, 0);
    Key(*view, Qt::Key_Down);
    Key(*view, Qt::Key_Right);
    ExpectCaretAt(*view, 1, 1);
    EXPECT_EQ(Sounds(), std::vector<int>{});
}

TEST(KeyboardPlay, DigitsFillTheCaretSquareInGreenForOnePointEachTime) {
    auto view = TestPuzzleGame();
    Key(*view, Qt::Key_5);
    EXPECT_EQ(Square(*view, 0, 0).value, 5);
    EXPECT_TRUE(ShowsGreen(*view, 0, 0));
    EXPECT_EQ(view->m_points, 299);
    Key(*view, Qt::Key_5);
    EXPECT_EQ(view->m_points, 298);
    Key(*view, Qt::Key_2);
    EXPECT_EQ(Square(*view, 0, 0).value, 2);
    EXPECT_EQ(view->m_points, 297);
    ExpectCaretAt(*view, 0, 0); // the caret stays, shown once

    Key(*view, Qt::Key_7, Qt::KeypadModifier); // keypad digits are not digits here
    Key(*view, Qt::Key_0);
    EXPECT_EQ(Square(*view, 0, 0).value, 2);
    EXPECT_EQ(view->m_points, 297);
    EXPECT_EQ(Sounds(), std::vector<int>{});
}

TEST(KeyboardPlay, DigitsOnOriginalOrBlueNumeralsAreRefused) {
    auto view = TestPuzzleGame();
    Key(*view, Qt::Key_5);
    Key(*view, Qt::Key_Home); // fixes it
    Key(*view, Qt::Key_3);
    TypeAt(*view, 0, 1, 3); // an original 8
    EXPECT_EQ(Sounds(), (std::vector<int>{103, 103}));
    EXPECT_EQ(Square(*view, 0, 0).value, 5);
    EXPECT_EQ(Square(*view, 0, 1).value, 0);
    EXPECT_EQ(view->m_grid[0][1], 8);
    EXPECT_EQ(view->m_points, 299);
}

TEST(KeyboardPlay, DeleteRemovesGreenNumeralsAndHomeFixesThemForFree) {
    auto view = TestPuzzleGame();
    TypeAt(*view, 0, 0, 5);
    TypeAt(*view, 0, 3, 3);
    TypeAt(*view, 0, 6, 6);
    Click(*view, SquareCentre(*view, 0, 6)); // blue
    RightClick(*view, SquareCentre(*view, 2, 0));
    const int points = view->m_points;

    Key(*view, Qt::Key_Delete);
    EXPECT_EQ(Square(*view, 0, 0).value, 0);
    EXPECT_EQ(Square(*view, 0, 3).value, 0);
    EXPECT_FALSE(ShowsGreen(*view, 0, 0));
    EXPECT_EQ(Square(*view, 0, 6).value, 6);
    EXPECT_TRUE(ShowsBlue(*view, 0, 6));
    EXPECT_TRUE(ShowsGray(*view, 2, 0));
    EXPECT_EQ(view->m_points, points);

    TypeAt(*view, 0, 0, 5);
    TypeAt(*view, 0, 3, 3);
    Key(*view, Qt::Key_Home);
    EXPECT_EQ(Square(*view, 0, 0).fixed, 1);
    EXPECT_EQ(Square(*view, 0, 3).fixed, 1);
    EXPECT_TRUE(ShowsBlue(*view, 0, 3));
    EXPECT_FALSE(ShowsGreen(*view, 0, 3));

    Key(*view, Qt::Key_Delete);
    EXPECT_EQ(Square(*view, 0, 0).value, 5);
    EXPECT_EQ(Square(*view, 0, 3).value, 3);
    EXPECT_EQ(view->m_points, points - 2);
    EXPECT_EQ(Sounds(), std::vector<int>{});
}

TEST(KeyboardPlay, AfterDoneOnlyDeleteHomeAndThePageKeysAct) {
    auto view = TestPuzzleGame();
    TypeAt(*view, 0, 0, 5);
    TypeAt(*view, 0, 3, 3);
    Click(*view, RectCentre(view->m_doneButtonRect));
    ASSERT_EQ(view->m_phase, 2);
    ASSERT_EQ(view->m_verdict, 1);
    ASSERT_FALSE(AfxGetCaretState().visible);
    ClearSounds();

    Key(*view, Qt::Key_Right);
    Key(*view, Qt::Key_7);
    EXPECT_EQ(view->m_caretCol, 3);
    EXPECT_EQ(Square(*view, 0, 3).value, 3);

    Key(*view, Qt::Key_Delete); // still clears the finished board; the verdict stays
    EXPECT_EQ(Square(*view, 0, 0).value, 0);
    EXPECT_EQ(view->m_phase, 2);
    EXPECT_EQ(view->m_verdict, 1);
    EXPECT_EQ(view->m_points, 0);
    EXPECT_FALSE(AfxGetCaretState().visible);
    EXPECT_GT(CountColour(*view, view->m_doneButtonRect, 111, 255, 43), 0); // HOME

    Key(*view, Qt::Key_F1);
    EXPECT_EQ(view->m_helpShown, 1);
    Key(*view, Qt::Key_End);
    EXPECT_EQ(view->m_helpShown, 0);
    EXPECT_EQ(Sounds(), std::vector<int>{});
}

TEST(KeyboardPlay, GameKeysAreIgnoredOverTheInstructionsAndOnTheHomePage) {
    auto view = TestPuzzleGame();
    Key(*view, Qt::Key_F1);
    ASSERT_EQ(view->m_helpShown, 1);
    Key(*view, Qt::Key_5);
    Key(*view, Qt::Key_Right);
    Key(*view, Qt::Key_Home);
    Key(*view, Qt::Key_Return);
    EXPECT_EQ(Square(*view, 0, 0).value, 0);
    EXPECT_EQ(view->m_caretCol, 0);
    EXPECT_EQ(view->m_points, 300);
    EXPECT_FALSE(AfxGetCaretState().visible);
    Key(*view, Qt::Key_End);
    EXPECT_TRUE(AfxGetCaretState().visible);

    auto home = HomePageView();
    const QImage before = home->BackingImage().copy();
    for (Qt::Key key :
         {Qt::Key_5, Qt::Key_Right, Qt::Key_Down, Qt::Key_Delete, Qt::Key_Home, Qt::Key_F1, Qt::Key_End}) {
        Key(*home, key);
    }
    ProcessEvents();
    EXPECT_EQ(home->m_helpShown, 0);
    EXPECT_EQ(home->m_option, 0);
    EXPECT_TRUE(home->BackingImage() == before);
    ASSERT_GT(home->m_pageCount, 1);
    Key(*home, Qt::Key_PageDown);
    EXPECT_EQ(home->m_currentPage, 2);
    Key(*home, Qt::Key_PageUp);
    EXPECT_EQ(home->m_currentPage, 1);
    EXPECT_EQ(Sounds(), std::vector<int>{});
}

// Digits are keys: Shift and the keyboard layout do not change which numeral a main-row key
// types, and the keypad types none.
TEST(KeyboardPlay, MainRowDigitKeysTypeByPositionUnderShiftAndAnAzertyLayout) {
    auto view = TestPuzzleGame();
    auto native = [&](int key, Qt::KeyboardModifiers modifiers, quint32 keycode, const char* text) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, keycode, 0, 0, QString::fromUtf8(text));
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, keycode, 0, 0, QString::fromUtf8(text));
        QCoreApplication::sendEvent(view->Widget(), &press);
        QCoreApplication::sendEvent(view->Widget(), &release);
        ProcessEvents();
    };
    native(Qt::Key_Exclam, Qt::ShiftModifier, 10, "!");
    EXPECT_EQ(Square(*view, 0, 0).value, 1);
    native(Qt::Key_Eacute, Qt::NoModifier, 11, "\u00e9");
    EXPECT_EQ(Square(*view, 0, 0).value, 2);
    native(Qt::Key_ParenLeft, Qt::NoModifier, 14, "(");
    EXPECT_EQ(Square(*view, 0, 0).value, 5);
    EXPECT_EQ(view->m_points, 297);

    native(Qt::Key_9, Qt::KeypadModifier, 81, "9");
    native(Qt::Key_Agrave, Qt::NoModifier, 19, "\u00e0"); // the 0 key
    EXPECT_EQ(Square(*view, 0, 0).value, 5);
    EXPECT_EQ(view->m_points, 297);
    EXPECT_TRUE(ShowsGreen(*view, 0, 0));
    EXPECT_EQ(Sounds(), std::vector<int>{});
}

// --- everything the mouse does, by keys ---------------------------------------------------------------

namespace {

// What a step of play leaves: the board, the score, the phase, the sounds and the picture.
struct CPlayStep {
    std::vector<int> squares;
    int points = 0, phase = 0, verdict = 0, option = 0;
    std::vector<int> sounds;
    QImage picture;

    explicit CPlayStep(const CQuillmoorView& view)
        : points(view.m_points), phase(view.m_phase), verdict(view.m_verdict), option(view.m_option),
          sounds(Sounds()), picture(view.BackingImage().copy()) {
        for (const SquareRecord& sq : view.m_squares) {
            squares.insert(squares.end(), {sq.value, sq.fixed, sq.possiblesPaid});
            squares.insert(squares.end(), sq.possibles, sq.possibles + 9);
        }
        ClearSounds();
    }
};

// The same game played twice, once by each hand: every step must leave the same board, score,
// sounds and pixels.
std::vector<CPlayStep> PlayTheSameGame(bool byMouse) {
    auto view = TestPuzzleGame();
    ClearSounds();
    std::vector<CPlayStep> steps;
    CQuillmoorView& v = *view;
    auto caretTo = [&](int r, int c) { MoveCaretTo(v, r, c); };
    auto step = [&] { steps.emplace_back(v); };
    // Possibles bought on two squares of row 0, then the second possible of the first chosen.
    for (int c : {0, 3}) {
        byMouse ? RightClick(v, SquareCentre(v, 0, c)) : (caretTo(0, c), Key(v, Qt::Key_P));
        step();
    }
    const int second = Square(v, 0, 0).possibles[1];
    byMouse ? Click(v, SlotCentre(v, 0, 0, CQuillmoorView::kPossibleSlot[1]))
            : (caretTo(0, 0), Key(v, static_cast<Qt::Key>(Qt::Key_0 + second)));
    step();
    // A numeral placed, fixed, refused removal while blue, unfixed, removed.
    byMouse ? Drag(v, BasketCentre(v, 5), SquareCentre(v, 0, 6)) : (caretTo(0, 6), Key(v, Qt::Key_5));
    step();
    byMouse ? Click(v, SquareCentre(v, 0, 6)) : Key(v, Qt::Key_F);
    step();
    byMouse ? Drag(v, SquareCentre(v, 0, 6), RectCentre(v.m_titleRect)) : Key(v, Qt::Key_Backspace);
    step();
    byMouse ? Click(v, SquareCentre(v, 0, 6)) : Key(v, Qt::Key_F);
    step();
    byMouse ? Drag(v, SquareCentre(v, 0, 6), RectCentre(v.m_titleRect)) : Key(v, Qt::Key_Backspace);
    step();
    // Refused: buying on an original number; a numeral moved away... from an empty square.
    byMouse ? RightClick(v, SquareCentre(v, 0, 1)) : (caretTo(0, 1), Key(v, Qt::Key_P));
    step();
    byMouse ? Click(v, SquareCentre(v, 0, 8)) : (caretTo(0, 8), Key(v, Qt::Key_F));
    step();
    // DONE on an unfinished grid, then HOME.
    byMouse ? Click(v, RectCentre(v.m_doneButtonRect)) : Key(v, Qt::Key_D);
    step();
    byMouse ? LeftPress(v, RectCentre(v.m_doneButtonRect)) : Key(v, Qt::Key_H);
    ProcessEvents();
    step();
    return steps;
}

} // namespace

TEST(KeyboardPlay, EveryMouseActionHasAKeyThatDoesTheSame) {
    const std::vector<CPlayStep> mouse = PlayTheSameGame(true);
    const std::vector<CPlayStep> keys = PlayTheSameGame(false);
    ASSERT_EQ(mouse.size(), keys.size());
    const std::vector<std::vector<int>> sounds = {{}, {}, {}, {}, {}, {103}, {}, {}, {103}, {103}, {102}, {}};
    for (size_t i = 0; i < mouse.size(); ++i) {
        SCOPED_TRACE("step " + std::to_string(i));
        EXPECT_EQ(mouse[i].squares, keys[i].squares);
        EXPECT_EQ(mouse[i].points, keys[i].points);
        EXPECT_EQ(mouse[i].phase, keys[i].phase);
        EXPECT_EQ(mouse[i].verdict, keys[i].verdict);
        EXPECT_EQ(mouse[i].option, keys[i].option);
        EXPECT_EQ(mouse[i].sounds, sounds[i]);
        EXPECT_EQ(keys[i].sounds, sounds[i]);
        EXPECT_TRUE(mouse[i].picture == keys[i].picture);
    }
    // The prices along the way: two purchases, a chosen possible and a placed numeral.
    EXPECT_EQ(keys[1].points, 300 - 10);
    EXPECT_EQ(keys[3].points, 300 - 12);
    EXPECT_EQ(keys[7].points, 300 - 12);
    EXPECT_EQ(keys.back().option, 0);
}

// The letters act only where the mouse would, and never with Ctrl or Alt held.
TEST(KeyboardPlay, LettersActOnlyWhereTheMouseActionWould) {
    auto home = HomePageView();
    const QImage homePicture = home->BackingImage().copy();
    for (Qt::Key key : {Qt::Key_D, Qt::Key_H, Qt::Key_A, Qt::Key_P, Qt::Key_F, Qt::Key_Backspace}) {
        Key(*home, key);
    }
    EXPECT_EQ(home->m_option, 0);
    EXPECT_TRUE(home->BackingImage() == homePicture);

    auto view = TestPuzzleGame();
    TypeAt(*view, 0, 0, 5);
    ClearSounds();
    for (Qt::KeyboardModifiers held : {Qt::ControlModifier, Qt::AltModifier}) {
        for (Qt::Key key : {Qt::Key_D, Qt::Key_P, Qt::Key_F, Qt::Key_Backspace}) {
            Key(*view, key, held);
        }
    }
    Key(*view, Qt::Key_H); // HOME and AGAIN are not on the board yet
    Key(*view, Qt::Key_A);
    Key(*view, Qt::Key_F1);
    for (Qt::Key key : {Qt::Key_D, Qt::Key_P, Qt::Key_F, Qt::Key_Backspace}) {
        Key(*view, key);
    }
    Key(*view, Qt::Key_End);
    EXPECT_EQ(Square(*view, 0, 0).value, 5);
    EXPECT_EQ(Square(*view, 0, 0).fixed, 0);
    EXPECT_EQ(Square(*view, 0, 0).possiblesPaid, 0);
    EXPECT_EQ(view->m_phase, 0);
    EXPECT_EQ(view->m_points, 299);
    EXPECT_EQ(Sounds(), std::vector<int>{});

    Key(*view, Qt::Key_D, Qt::ShiftModifier); // the letter as typed, either case
    ASSERT_EQ(view->m_phase, 2);
    ClearSounds();
    for (Qt::Key key : {Qt::Key_D, Qt::Key_P, Qt::Key_F, Qt::Key_Backspace}) {
        Key(*view, key);
    }
    Key(*view, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(view->m_phase, 2);
    EXPECT_EQ(Square(*view, 0, 0).value, 5);
    EXPECT_EQ(Sounds(), std::vector<int>{});
}
