// The game as a screen reader finds it over AT-SPI: a private session bus with its accessibility
// bus, the program's accessibility on, and a script that plays a whole own-numbers game through the
// tree and the keyboard as a player who cannot see the screen would (screen_reader.py says what it
// checks): with Qt 6.8 and later a change is said by an announcement, before by a notification.
// Screenshots along the way show that the sighted view went along.

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QtGlobal>

#include "PlayHarness.h"
#include "XSession.h"

#ifndef SCREEN_READER_SCRIPT
#error "SCREEN_READER_SCRIPT must name the screen reader's script"
#endif

// On a bare X server and in the Wayland sessions of GNOME and Plasma, where the game runs through
// the compositor's X11 server and the tree goes over the session's own bus.
class ScreenReader : public ::testing::TestWithParam<const char*> {};

TEST_P(ScreenReader, AWholeGameReadAndDrivenOverAtSpi) {
    const QString desktop = GetParam() == QString("bare") ? QString() : QString(GetParam());
    CXSession x(QString("ScreenReader.%1").arg(GetParam()));
    ASSERT_TRUE(x.StartServer(1280, 800));
    if (!desktop.isEmpty()) {
        ASSERT_TRUE(x.StartDesktop(desktop));
    }
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
    // The script ends on the instruction page that HOME brought back, heard as soon as the tree
    // has it: the picture reaches the screen a frame or two later (a nested compositor's).
    const bool homeShown = x.WaitForScreen("end", [](const QImage& end) {
        return CountColour(end, {0, 0, end.width(), end.height()}, 255, 108, 32) > 20;
    });
    EXPECT_EQ(code, 0) << qPrintable(output);
    EXPECT_TRUE(output.contains("verdict heard: Correct")) << qPrintable(output);
    EXPECT_TRUE(homeShown) << "the home page's Options prompt is not on the screen at the end";
    if (HasFailure()) {
        x.KeepArtifacts();
    }
    EXPECT_EQ(x.WaitForExit(0), -1) << "the program ended during the game";
}

INSTANTIATE_TEST_SUITE_P(Desktops, ScreenReader, ::testing::Values("bare", "mutter_wayland", "kwin_wayland"),
                         [](const auto& desktop) { return std::string(desktop.param); });

// --- Orca itself, listening to the keys --------------------------------------------------------------

// A blind player's whole own-numbers game from the home page and back, by keys alone, with Orca
// running and listening to every key as it does for a player: judged by what Orca says. Orca
// holds each key until it has heard it, so this is also the game's keys going through that delay.
class ScreenReaderByKeys : public ::testing::TestWithParam<const char*> {};

TEST_P(ScreenReaderByKeys, AWholeOwnNumbersGameHeardFromTheHomePageAndBack) {
    const QString desktop = GetParam() == QString("bare") ? QString() : QString(GetParam());
    CXSession x(QString("ScreenReaderByKeys.%1").arg(GetParam()));
    ASSERT_TRUE(x.StartServer(1280, 800));
    if (!desktop.isEmpty()) {
        ASSERT_TRUE(x.StartDesktop(desktop));
    }
    if (!x.StartScreenReader()) {
        x.KeepArtifacts();
        GTEST_SKIP() << "Orca could not start here (see " << qPrintable(x.ArtifactsDir()) << ")";
    }
    ASSERT_TRUE(x.StartProgram());
    // What the player hears after each step; the step's keys go only once the last was heard.
    const auto hears = [&x](const QString& text) {
        const bool heard = !x.WaitForSpeech(text).isEmpty();
        if (!heard) {
            x.KeepArtifacts();
        }
        return heard;
    };
    if (!desktop.isEmpty()) {
        // Read as the window manager gives the window the focus. (A bare server gives no such
        // sign: the window took the focus itself before the reader listened.)
        ASSERT_TRUE(hears("Page 1 of 6")) << "the home page was not read";
    }

    x.Keys({"alt"});
    ASSERT_TRUE(hears("File.")) << "Alt did not reach the menu bar";
    // Once, however the window manager sized the window as it came up.
    int pages = 0;
    for (const QString& said : x.Speech()) {
        if (said.contains("File.")) {
            break;
        }
        pages += said.contains("Page 1 of 6") ? 1 : 0;
    }
    EXPECT_LE(pages, 1) << "the home page was read " << pages << " times at the start";
    x.Keys({"Right"});
    ASSERT_TRUE(hears("Options."));
    x.Keys({"Down"});
    ASSERT_TRUE(hears("Easy - Lots of Clues")) << "Down did not open the Options menu";
    x.Keys({"Down", "Down"});
    ASSERT_TRUE(hears("Use Your Own Numbers"));
    x.Keys({"Return"});
    ASSERT_TRUE(hears("Input Your Own Numbers dialog"));
    ASSERT_TRUE(hears("Row 1, column 1")) << "the dialog's first field was not named";
    // An empty entry is refused: the dialog comes back and its field says why.
    x.Keys({"Return"});
    ASSERT_TRUE(hears("Need at least 20 numbers")) << "the refusal was not heard";

    // The puzzle typed field by field, each once the last was heard, as a player listens: keys
    // faster than Orca reads them flood it, and then it drops what it has not read.
    const auto field = [](int s) { return QString("Row %1, column %2").arg(s / 9 + 1).arg(s % 9 + 1); };
    for (int s = 0; s < 80; ++s) {
        const char given = kTestPuzzle[s / 9][s % 9];
        x.Keys(given == '.' ? QStringList{"Tab"} : QStringList{QString(QChar(given)), "Tab"});
        ASSERT_TRUE(hears(field(s + 1))) << "Tab to the next field was not heard";
    }
    x.Keys({"Return"});
    ASSERT_TRUE(hears("Row 1, column 1: empty")) << "the board's caret square was not read after OK";
    const int playing = x.Speech().size();
    x.Keys({"5"});
    ASSERT_TRUE(hears("Row 1, column 1: 5, yours")) << "the typed numeral was not read as the player's";
    x.Keys({"Right"});
    ASSERT_TRUE(hears("Row 1, column 2: 8, original")) << "a caret move was not read";
    x.Keys({"F1"});
    ASSERT_TRUE(hears("Page 1 of 6")) << "F1 did not read the instructions";
    x.Keys({"End"});
    ASSERT_TRUE(hears("Row 1, column 2: 8, original")) << "End did not go back to the board";

    // The rest of the solution typed at the caret, a square at a time: nine steps to the right
    // come back round the row, then one down. Each numeral is heard before the caret moves on.
    for (int s = 1; s < 81; ++s) {
        const int r = s / 9, c = s % 9;
        if (kTestPuzzle[r][c] == '.') {
            x.Keys({QString(QChar(kTestSolution[r][c]))});
            ASSERT_TRUE(hears(QString("%1: %2, yours").arg(field(s)).arg(kTestSolution[r][c])));
        }
        x.Keys({"Right"});
        ASSERT_TRUE(hears(field(r * 9 + (c + 1) % 9)));
        if (c == 8) {
            x.Keys({"Down"});
            ASSERT_TRUE(hears(field((r + 1) % 9 * 9)));
        }
    }
    x.Keys({"d"});
    const QString verdict = x.WaitForSpeech("Correct");
    EXPECT_TRUE(verdict.contains(QRegularExpression(R"(Final score \d+, performance \d+%)")))
        << qPrintable(verdict);
    // The caption's clock changes at every key; a player in the game does not hear it.
    for (const QString& said : x.Speech().mid(playing)) {
        EXPECT_FALSE(said.contains(" -- Version QV317"))
            << "the caption was read in play: " << qPrintable(said);
    }
    x.Keys({"h"});
    EXPECT_TRUE(hears("Page 1 of 6")) << "H did not bring the home page back";
    EXPECT_EQ(x.WaitForExit(0), -1) << "the program ended during the game";
    if (HasFailure()) {
        x.KeepArtifacts();
    }
}

INSTANTIATE_TEST_SUITE_P(Desktops, ScreenReaderByKeys, ::testing::Values("bare", "openbox", "mutter_wayland"),
                         [](const auto& desktop) { return std::string(desktop.param); });
