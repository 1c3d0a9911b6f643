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
