// The game as a screen reader finds it over AT-SPI: a private session bus with its accessibility
// bus, the program's accessibility on, and a script that plays a whole own-numbers game through the
// tree and the keyboard as a player who cannot see the screen would (screen_reader.py says what it
// checks): with Qt 6.8 and later a change is said by an announcement, before by a notification.
// Screenshots along the way show that the sighted view went along.

#include <gtest/gtest.h>

#include <QtGlobal>

#include "PlayHarness.h"
#include "XSession.h"

#ifndef SCREEN_READER_SCRIPT
#error "SCREEN_READER_SCRIPT must name the screen reader's script"
#endif

TEST(ScreenReader, AWholeGameReadAndDrivenOverAtSpi) {
    CXSession x("ScreenReader.AWholeGameReadAndDrivenOverAtSpi");
    ASSERT_TRUE(x.StartServer(1280, 800));
    ASSERT_TRUE(x.StartAccessibilityBus());
    ASSERT_TRUE(x.StartProgram());
    QString puzzle, solution;
    for (int r = 0; r < 9; ++r) {
        puzzle += kTestPuzzle[r];
        solution += kTestSolution[r];
    }
    // The game is built on the Qt this test is built on.
    const QString spoken = QT_VERSION >= QT_VERSION_CHECK(6, 8, 0) ? "announcements" : "notifications";
    QString output;
    const int code =
        x.RunClient("/usr/bin/python3", {SCREEN_READER_SCRIPT, puzzle, solution, spoken}, 75000, &output);
    // The script ends on the instruction page that HOME brought back.
    const QImage end = x.Shot("end");
    if (code != 0 || HasFailure()) {
        x.KeepArtifacts();
    }
    EXPECT_EQ(code, 0) << qPrintable(output);
    EXPECT_TRUE(output.contains("verdict heard: Correct")) << qPrintable(output);
    EXPECT_GT(CountColour(end, {0, 0, end.width(), end.height()}, 255, 108, 32), 20)
        << "the home page's Options prompt is not on the screen at the end";
    EXPECT_EQ(x.WaitForExit(0), -1) << "the program ended during the game";
}
