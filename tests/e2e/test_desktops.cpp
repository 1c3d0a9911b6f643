// The program on the desktops players run it on: real window managers, a Wayland compositor and
// the bare X server; a game played by keyboard alone; the caret after printing; a 2x screen.
// Judged from what the window system reports and from screenshots.

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QThread>

#include <functional>
#include <set>

#include "../core/SudokuCheck.h"
#include "PdfReader.h"
#include "PlayHarness.h"
#include "XSession.h"

namespace {

QString TestName() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return QString("%1.%2").arg(info->test_suite_name(), info->name()).replace('/', '_');
}

int Number(const QString& text, const QString& label) {
    return QRegularExpression(label + R"(\s*(-?\d+))").match(text).captured(1).toInt();
}

// The client area of a top-level window in screen coordinates.
QRect ClientRect(CXSession& x, const QString& window) {
    const QString info = x.ClientTool("xwininfo", {"-id", window});
    if (!info.contains("Absolute upper-left X")) {
        return QRect();
    }
    return QRect(Number(info, "Absolute upper-left X:"), Number(info, "Absolute upper-left Y:"),
                 Number(info, "Width:"), Number(info, "Height:"));
}

// The numbers of a property as xprop shows it ("= 0, 0, 24, 0"); empty when it is not set.
QList<int> Cardinals(const QString& xpropLine) {
    QList<int> values;
    const int eq = xpropLine.indexOf('=');
    if (eq < 0) {
        return values;
    }
    for (const QString& part : xpropLine.mid(eq + 1).split(',', Qt::SkipEmptyParts)) {
        values << part.trimmed().toInt(nullptr, 0); // decimal, or hexadecimal as xprop shows hints
    }
    return values;
}

// The frame a window manager put around the client: left, top, right, bottom.
QMargins FrameExtents(CXSession& x, const QString& window) {
    const QList<int> v = Cardinals(x.ClientTool("xprop", {"-id", window, "_NET_FRAME_EXTENTS"}));
    return v.size() >= 4 ? QMargins(v[0], v[2], v[1], v[3]) : QMargins();
}

QRect WorkArea(CXSession& x) {
    const QList<int> v = Cardinals(x.ClientTool("xprop", {"-root", "_NET_WORKAREA"}));
    return v.size() >= 4 ? QRect(v[0], v[1], v[2], v[3]) : QRect(0, 0, x.ScreenWidth(), x.ScreenHeight());
}

bool Maximized(CXSession& x, const QString& window) {
    const QString state = x.ClientTool("xprop", {"-id", window, "_NET_WM_STATE"});
    return state.contains("_NET_WM_STATE_MAXIMIZED_VERT") && state.contains("_NET_WM_STATE_MAXIMIZED_HORZ");
}

// Whether the main window covers the work area with its whole frame on the screen, its caption
// visible and nothing of the client area cut off; what is wrong otherwise.
bool CoversWorkArea(CXSession& x, const QString& window, QString* why) {
    const QRect client = ClientRect(x, window);
    const QRect screen(0, 0, x.ScreenWidth(), x.ScreenHeight());
    QString problem;
    if (!client.isValid()) {
        problem = "no main window";
    } else if (x.Desktop() == "weston") {
        // Weston tells no frame extents and no work area: maximised below its panel and caption,
        // with the client whole on the screen.
        if (!Maximized(x, window)) {
            problem = "not maximised";
        } else if (!screen.contains(client) || client.top() < 40 || client.bottom() < screen.bottom() - 12 ||
                   client.width() < screen.width() - 16) {
            problem = "client not over the work area";
        }
    } else {
        const QMargins frame = FrameExtents(x, window);
        const QRect outer = client.marginsAdded(frame);
        if (outer != WorkArea(x)) {
            problem = "frame not over the work area";
        } else if (!x.Desktop().isEmpty() && frame.top() <= 0) {
            problem = "no caption";
        }
    }
    if (why) {
        *why = problem.isEmpty() ? QString()
                                 : QString("%1: client %2,%3 %4x%5")
                                       .arg(problem)
                                       .arg(client.x())
                                       .arg(client.y())
                                       .arg(client.width())
                                       .arg(client.height());
    }
    return problem.isEmpty();
}

int CountIn(const QImage& image, const QRect& rect, QRgb colour) {
    return CountColour(image, {rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1}, qRed(colour),
                       qGreen(colour), qBlue(colour));
}

// The orange DONE button in the bottom right corner of the client area, on the screen.
bool DoneVisible(const QImage& image, const QRect& client) {
    const QRect corner(client.right() - 120, client.bottom() - 120, 120, 120);
    return CountIn(image, corner.intersected(image.rect()), qRgb(255, 135, 55)) > 300;
}

// The first white row below the menu bar at the client's left edge: where the view begins.
int ViewTop(const QImage& image, const QRect& client) {
    bool sawMenu = false;
    for (int y = client.top(); y < client.top() + client.height() / 4 && y < image.height(); ++y) {
        const bool white = (image.pixel(client.left() + 2, y) | 0xFF000000u) == qRgb(255, 255, 255);
        if (!white) {
            sawMenu = true;
        } else if (sawMenu) {
            return y;
        }
    }
    return -1;
}

// The play screen's geometry from the view's rectangle on the screen: a square is a twelfth of
// its height and the grid is centred below one square of title.
struct CBoard {
    QRect view;
    int S() const { return view.height() / 12; }
    int GridLeft() const { return view.left() + (view.width() - 9 * S()) / 2; }
    QRect Square(int r, int c) const {
        return QRect(GridLeft() + c * S() + 2, view.top() + S() + r * S() + 2, S() - 3, S() - 3);
    }
    QRect Grid() const { return QRect(GridLeft(), view.top() + S(), 9 * S() + 1, 9 * S() + 1); }
    QPoint Done() const { return view.bottomRight() + QPoint(1, 1) - QPoint(2 + S() / 2, 2 + S() / 2); }
    // The strip below the baskets, where the verdict line goes.
    QRect MessageStrip() const {
        return QRect(GridLeft(), view.top() + 11 * S() + 2, 9 * S(),
                     view.bottom() - view.top() - 11 * S() - 2);
    }
    // The points panel in the top right corner.
    QRect PointsPanel() const { return QRect(view.right() - 6 - 2 * S(), view.top() + 6, 2 * S(), S()); }
    // The caret's line in square (0, 0): two pixels right of and below the square's middle cell.
    QRect CaretLine() const {
        const int t = S() / 3;
        const int x = GridLeft() + 1 + t + 2 + 2, y = view.top() + S() + 1 + t + 2 + 2;
        return QRect(x, y, 1, 11);
    }
};

class Desktop : public ::testing::Test {
  protected:
    void TearDown() override {
        if (m_x && HasFailure()) {
            m_x->KeepArtifacts();
            std::fprintf(stderr, "e2e: screenshots and notes kept in %s\n", qPrintable(m_x->ArtifactsDir()));
        }
        m_x.reset();
    }

    // The program on a desktop of that kind (empty: the bare X server) with the screen's size.
    void Start(const QString& desktop, QSize screen, const QStringList& environment = {}) {
        m_x = std::make_unique<CXSession>(TestName());
        ASSERT_TRUE(m_x->StartServer(screen.width(), screen.height()));
        if (!desktop.isEmpty()) {
            ASSERT_TRUE(m_x->StartDesktop(desktop))
                << "the desktop " << qPrintable(desktop) << " did not start";
        }
        ASSERT_TRUE(m_x->StartProgram(environment));
        m_window = m_x->MainWindow();
        ASSERT_TRUE(WaitFor("home", [this](const QImage& image) { return ShowsHomePage(image); }))
            << "no home page";
        m_started = true;
    }

    // The home page shows its footer prompts: teal on the left, orange on the right.
    bool ShowsHomePage(const QImage& image) {
        const QRect client = ClientRect(*m_x, m_window).intersected(image.rect());
        const QRect footer(client.left(), client.bottom() - client.height() / 10, client.width(),
                           client.height() / 10);
        return CountIn(image, footer, qRgb(0, 151, 151)) > 20 &&
               CountIn(image, footer, qRgb(255, 108, 32)) > 20;
    }

    bool WaitFor(const QString& label, const std::function<bool(const QImage&)>& check, int ms = 8000) {
        return m_x->WaitForScreen(label, check, ms);
    }

    // Options by the keyboard alone: Alt opens the menu bar, Right moves to "Options", Down opens
    // it on its first item; item'th item, then Return.
    void ChooseOptionByKeys(int item) {
        m_x->Keys({"alt"});
        QThread::msleep(300);
        m_x->Keys({"Right", "Down"});
        QThread::msleep(300);
        QStringList keys;
        for (int i = 0; i < item; ++i) {
            keys << "Down";
        }
        m_x->Keys(keys << "Return");
    }

    // The view's rectangle once the home page or the board is up.
    bool FindBoard(const QString& label) {
        return WaitFor(label, [this](const QImage& image) {
            const QRect client = ClientRect(*m_x, m_window);
            const int top = ViewTop(image, client);
            if (top < 0) {
                return false;
            }
            m_board.view = QRect(client.left(), top, client.width(), client.bottom() - top + 1);
            return CountIn(image, m_board.Grid(), qRgb(255, 0, 0)) > 100 && DoneVisible(image, client);
        });
    }

    bool Alive() { return m_x->WaitForExit(0) == -1; }

    // Which squares show a red clue, row by row ("x" or "."), read from the window's own picture
    // (a compositor's pointer over a square would hide its clue); empty when the board is not up.
    QString CluePattern(const QString& label) {
        if (!FindBoard(label)) {
            return QString();
        }
        const QImage image = m_x->WindowShot(label);
        QString pattern;
        for (int s = 0; s < 81; ++s) {
            pattern += CountIn(image, m_board.Square(s / 9, s % 9), qRgb(255, 0, 0)) > 0 ? 'x' : '.';
        }
        return pattern;
    }

    std::unique_ptr<CXSession> m_x;
    QString m_window;
    CBoard m_board;
    bool m_started = false;
};

// --- window managers ---------------------------------------------------------------------------------

class WindowManager : public Desktop, public ::testing::WithParamInterface<const char*> {};

// At start the window covers the work area with its caption on the screen; in a game, whatever the
// window manager is asked to do with it (unmaximise, resize, move, squeeze, drag by the caption),
// it comes back over the work area with the game as it was.
TEST_P(WindowManager, CoversTheWorkAreaAndComesBackAfterEveryAttempt) {
    const QString desktop = GetParam() == QString("bare") ? QString() : QString(GetParam());
    Start(desktop, QSize(1280, 800));
    ASSERT_TRUE(m_started);
    QString why;
    bool covered = false;
    for (int tries = 0; tries < 50 && !(covered = CoversWorkArea(*m_x, m_window, &why)); ++tries) {
        QThread::msleep(100);
    }
    EXPECT_TRUE(covered) << qPrintable(why);
    if (!desktop.isEmpty() && desktop != "weston") {
        // No caption buttons asked for: Motif hints with decorations given and only border and title.
        const QString hints = m_x->ClientTool("xprop", {"-id", m_window, "_MOTIF_WM_HINTS"});
        const QList<int> mwm = Cardinals(hints);
        ASSERT_GE(mwm.size(), 3) << qPrintable(hints);
        EXPECT_TRUE(mwm[0] & 2) << "no decorations given";
        EXPECT_EQ(mwm[2], 2 | 8) << "decorations other than border and title";
    }

    ChooseOptionByKeys(0);
    ASSERT_TRUE(FindBoard("easy")) << "no Easy board with its DONE button on the screen";
    ASSERT_TRUE(CoversWorkArea(*m_x, m_window, &why)) << qPrintable(why);
    const QString clues = CluePattern("clues");
    ASSERT_FALSE(clues.isEmpty());

    const QRect client = ClientRect(*m_x, m_window);
    const int captionY =
        desktop == "weston" ? client.top() - 14 : client.top() - FrameExtents(*m_x, m_window).top() / 2;
    const std::vector<std::pair<QString, std::function<void()>>> attempts = {
        {"unmaximise",
         [&] {
             m_x->ClientTool("wmctrl", {"-i", "-r", m_window, "-b", "remove,maximized_vert,maximized_horz"});
         }},
        {"resize",
         [&] {
             m_x->ClientTool("wmctrl", {"-i", "-r", m_window, "-e", "0,100,100,640,480"});
         }},
        {"move",
         [&] {
             m_x->XDoTool({"windowmove", m_window, "300", "200"});
         }},
        {"squeeze",
         [&] {
             m_x->XDoTool({"windowsize", m_window, "500", "300"});
         }},
        {"minimise-and-restore",
         [&] {
             m_x->XDoTool({"windowminimize", m_window});
             QThread::msleep(500);
             // Weston 14 minimises an X11 window at another program's request (weston 10 ignores
             // it) but brings none back at one: the player does, with its window switcher.
             if (desktop == "weston") {
                 m_x->Keys({"super+Tab"});
             } else {
                 m_x->XDoTool({"windowactivate", m_window});
             }
         }},
        {"caption-drag",
         [&] { m_x->Drag(client.center().x(), captionY, client.center().x() + 150, captionY + 250); }},
        {"slow-caption-drag",
         [&] { m_x->Drag(client.center().x(), captionY, client.center().x() + 200, captionY + 350, 800); }},
    };
    for (const auto& [name, attempt] : attempts) {
        if (desktop.isEmpty() && name.contains("caption-drag")) {
            continue; // no caption without a window manager
        }
        attempt();
        // What the attempt did, for the notes: a desktop may refuse one.
        QString state;
        for (int look = 0; look < 6; ++look) {
            const bool hidden =
                m_x->ClientTool("xprop", {"-id", m_window, "_NET_WM_STATE"}).contains("HIDDEN");
            if (hidden || !CoversWorkArea(*m_x, m_window, &state)) {
                m_x->Note(name + " took effect: " + (hidden ? QString("minimised") : state));
                break;
            }
            QThread::msleep(50);
        }
        const bool back = WaitFor(name, [&](const QImage& image) {
            return Alive() && CoversWorkArea(*m_x, m_window, &state) &&
                   DoneVisible(image, ClientRect(*m_x, m_window));
        });
        EXPECT_TRUE(back) << qPrintable(name) << ": " << qPrintable(state)
                          << (Alive() ? "" : " (the program ended)");
        if (!Alive()) {
            return;
        }
    }
    // Still the same game: the same clues in the same places.
    EXPECT_EQ(CluePattern("after").toStdString(), clues.toStdString());

    // Closing the window where a window manager offers it anyway (a close button, a menu
    // entry) ends the program as File > Exit does. KWin honours the request for none. (Weston's
    // X11 manager takes no such request from a tool; its close button sends the same message.)
    if (desktop.startsWith("kwin")) {
        EXPECT_FALSE(m_x->ClientTool("xprop", {"-id", m_window, "_NET_WM_ALLOWED_ACTIONS"})
                         .contains("_NET_WM_ACTION_CLOSE"));
    } else if (!desktop.isEmpty() && desktop != "weston") {
        m_x->ClientTool("wmctrl", {"-i", "-c", m_window});
        EXPECT_EQ(m_x->WaitForExit(8000), 0) << "closing the window did not end the program cleanly";
    }
}

INSTANTIATE_TEST_SUITE_P(Desktops, WindowManager,
                         ::testing::Values("bare", "openbox", "xfwm4", "mutter", "kwin", "weston",
                                           "mutter_wayland", "kwin_wayland"),
                         [](const auto& desktop) { return std::string(desktop.param); });

// --- the keyboard alone ------------------------------------------------------------------------------

class KeyboardOnly : public Desktop, public ::testing::WithParamInterface<const char*> {
  protected:
    // An own-numbers game of the test puzzle, chosen and typed in by keys alone.
    void StartOwnNumbersGameByKeys() {
        Start(GetParam() == QString("bare") ? QString() : QString(GetParam()), QSize(1280, 800));
        ASSERT_TRUE(m_started);
        ChooseOptionByKeys(2);
        ASSERT_TRUE(m_x->WaitForWindow("^Input Your Own Numbers$"))
            << "the Options menu did not open the dialog";
        QThread::msleep(300);
        m_x->Keys(KeysFillingTheTestPuzzle());
        m_x->Keys({"Return"});
        ASSERT_TRUE(FindBoard("own-numbers")) << "no board after OK";
    }
    bool Shows(int r, int c, QRgb colour, const QString& label) {
        return WaitFor(label,
                       [&](const QImage& image) { return CountIn(image, m_board.Square(r, c), colour) > 0; });
    }
    QImage Points() { return m_x->Shot("points").copy(m_board.PointsPanel()); }
};

const QRgb kGreenNumeral = qRgb(0, 128, 128);
const QRgb kBlueNumeral = qRgb(0, 0, 128);
const QRgb kGrayPossible = qRgb(160, 160, 160);

// A whole game without the mouse: the menu by Alt and the arrows, the own numbers typed field by
// field with Tab, OK by Return; on the board a menu opened and shut with Escape, the possibles
// bought with P, a numeral fixed with F and taken back with Backspace, the solution typed, DONE
// by D and HOME by H; then File > Exit.
TEST_P(KeyboardOnly, WholeGame) {
    StartOwnNumbersGameByKeys();
    ASSERT_FALSE(HasFatalFailure());
    m_x->Keys({"alt"});
    QThread::msleep(300);
    m_x->Keys({"Down"});
    QThread::msleep(300);
    m_x->Keys({"Escape"});
    QThread::msleep(300);

    // Square (0, 0) is empty; its answer is 5, among its possibles 2, 3 and 5.
    const QImage start = Points();
    m_x->Keys({"p"});
    ASSERT_TRUE(Shows(0, 0, kGrayPossible, "bought")) << "P bought no possibles after a menu was shut";
    const QImage bought = Points();
    EXPECT_FALSE(bought == start) << "buying the possibles cost nothing";
    m_x->Keys({"5"});
    ASSERT_TRUE(Shows(0, 0, kGreenNumeral, "typed"));
    const QImage typed = Points();
    EXPECT_FALSE(typed == bought) << "the numeral cost nothing";
    m_x->Keys({"f"});
    ASSERT_TRUE(Shows(0, 0, kBlueNumeral, "fixed")) << "F did not fix the numeral";
    m_x->Keys({"BackSpace", "f"}); // refused on a blue numeral; then unfixed
    ASSERT_TRUE(Shows(0, 0, kGreenNumeral, "unfixed"));
    m_x->Keys({"BackSpace"});
    ASSERT_TRUE(WaitFor("removed", [&](const QImage& image) {
        return CountIn(image, m_board.Square(0, 0), kGreenNumeral) == 0 &&
               CountIn(image, m_board.Square(0, 0), kGrayPossible) > 0;
    })) << "Backspace did not take the numeral back to the possibles";
    EXPECT_TRUE(Points() == typed) << "fixing, unfixing or removing changed the points";

    // The whole solution typed at the caret, the numeral at (0, 0) fixed.
    m_x->Keys(KeysTypingTheTestSolution());
    m_x->Keys({"f"});
    ASSERT_TRUE(Shows(0, 0, kBlueNumeral, "fixed-again"));
    ASSERT_TRUE(WaitFor("solved", [&](const QImage& image) {
        for (int s = 0; s < 81; ++s) {
            const QRect square = m_board.Square(s / 9, s % 9);
            if (kTestPuzzle[s / 9][s % 9] == '.' && CountIn(image, square, kGreenNumeral) == 0 &&
                CountIn(image, square, kBlueNumeral) == 0) {
                return false;
            }
        }
        return true;
    })) << "the typed numerals did not all reach the board";

    m_x->Keys({"d"});
    EXPECT_TRUE(WaitFor("verdict", [&](const QImage& image) {
        return CountIn(image, m_board.MessageStrip(), qRgb(255, 0, 0)) > 50;
    })) << "no verdict line after D";
    m_x->Keys({"h"});
    EXPECT_TRUE(m_x->WaitForScreen("home", [this](const QImage& image) { return ShowsHomePage(image); }))
        << "H did not bring the home page";
    // File > Exit by its mnemonic ends the game cleanly.
    m_x->Keys({"alt"});
    QThread::msleep(300);
    m_x->Keys({"Down"});
    QThread::msleep(300);
    m_x->Keys({"x"});
    EXPECT_EQ(m_x->WaitForExit(8000), 0) << "File > Exit by keys did not end the program cleanly";
}

// A menu opened with the mouse and shut without a choice, by Escape or by a click elsewhere,
// leaves the keys to the board.
TEST_P(KeyboardOnly, KeysReachTheBoardAfterAMenuIsShutWithoutAChoice) {
    StartOwnNumbersGameByKeys();
    ASSERT_FALSE(HasFatalFailure());
    const QRect client = ClientRect(*m_x, m_window);
    const QPoint file = client.topLeft() + QPoint(20, (m_board.view.top() - client.top()) / 2);
    m_x->Click(file.x(), file.y());
    QThread::msleep(400);
    m_x->Keys({"Escape"});
    QThread::msleep(300);
    m_x->Keys({"5"});
    EXPECT_TRUE(Shows(0, 0, kGreenNumeral, "after-escape")) << "a digit after Escape did not reach the board";

    m_x->Click(file.x(), file.y());
    QThread::msleep(400);
    const QPoint title = m_board.view.topLeft() + QPoint(m_board.view.width() / 2, m_board.S() / 2);
    m_x->Click(title.x(), title.y());
    QThread::msleep(300);
    m_x->Keys({"Right", "1"}); // square (0, 1) holds an original 8: the caret moves on first
    m_x->Keys({"Right", "Right", "2"});
    EXPECT_TRUE(Shows(0, 3, kGreenNumeral, "after-click"))
        << "keys after a click elsewhere did not reach the board";
}

INSTANTIATE_TEST_SUITE_P(Desktops, KeyboardOnly,
                         ::testing::Values("bare", "mutter", "mutter_wayland", "kwin_wayland"),
                         [](const auto& desktop) { return std::string(desktop.param); });

// --- printing ------------------------------------------------------------------------------------------

// After Ctrl+P in a game the caret blinks again with no other input.
TEST_F(Desktop, CaretBlinksAgainAfterPrinting) {
    const QString pdf = QString(E2E_ARTIFACTS_DIR) + "/" + TestName() + "-print.pdf";
    QFile::remove(pdf);
    Start("openbox", QSize(1280, 800), {"CELLWRIGHT_PRINT_TO_PDF=" + pdf});
    ASSERT_TRUE(m_started);
    ChooseOptionByKeys(0);
    ASSERT_TRUE(FindBoard("easy"));
    m_x->Keys({"ctrl+p"});
    bool printed = false;
    for (int tries = 0; tries < 100 && !printed; ++tries) {
        QThread::msleep(100);
        printed = QFile::exists(pdf) && PdfPageCount(pdf) == 1;
    }
    ASSERT_TRUE(printed) << "no one-sheet PDF";
    QFile::remove(pdf);
    // The caret's column in three seconds of screenshots: blinking means it changes.
    std::set<QByteArray> seen;
    for (int i = 0; i < 20; ++i) {
        const QImage shot = m_x->Shot(QString("caret-%1").arg(i));
        const QImage column = shot.copy(m_board.CaretLine());
        seen.insert(QByteArray(reinterpret_cast<const char*>(column.constBits()), column.sizeInBytes()));
        QThread::msleep(150);
    }
    EXPECT_GE(seen.size(), 2u) << "the caret does not blink after printing";
}

// --- a high-density screen ----------------------------------------------------------------------------

// At a scale factor of 2 the numerals are drawn with the screen's own pixels: along their edges
// the 2 x 2 blocks of pixels are not all of one colour, as they would be in a picture drawn at
// half the resolution and enlarged. The window covers the work area and holds still there (one
// that took its maximised place for a wrong one asked for it again and again, and was moved and
// redrawn twice a second).
TEST_F(Desktop, NumeralsAtDeviceResolutionAndAStillWindowOnATwoTimesScreen) {
    Start("openbox", QSize(2560, 1440), {"QT_SCALE_FACTOR=2"});
    ASSERT_TRUE(m_started);
    ChooseOptionByKeys(0);
    ASSERT_TRUE(FindBoard("easy"));
    // The board as it stands once the screen has settled: a picture taken while the window
    // manager is still placing the window may catch it blank.
    const QRect grid = m_board.Grid();
    QImage shot;
    WaitFor("board", [&](const QImage& image) {
        shot = image;
        return CountIn(image, grid, qRgb(255, 0, 0)) > 2000;
    });
    int inked = 0, mixed = 0;
    for (int y = grid.top() & ~1; y + 1 <= grid.bottom(); y += 2) {
        for (int x = grid.left() & ~1; x + 1 <= grid.right(); x += 2) {
            int red = 0;
            for (const QPoint p : {QPoint(x, y), QPoint(x + 1, y), QPoint(x, y + 1), QPoint(x + 1, y + 1)}) {
                red += (shot.pixel(p) | 0xFF000000u) == qRgb(255, 0, 0) ? 1 : 0;
            }
            inked += red > 0 ? 1 : 0;
            mixed += red > 0 && red < 4 ? 1 : 0;
        }
    }
    ASSERT_GT(inked, 500) << "no red numerals found";
    EXPECT_GT(mixed * 5, inked) << mixed << " of " << inked << " blocks along the strokes are mixed";

    QString why;
    EXPECT_TRUE(CoversWorkArea(*m_x, m_window, &why)) << qPrintable(why);
    const QRect placed = ClientRect(*m_x, m_window);
    for (int i = 1; i <= 10; ++i) {
        QThread::msleep(150);
        const QRect now = ClientRect(*m_x, m_window);
        ASSERT_EQ(now, placed) << "the window moved " << i * 150 << " ms after the board was up";
    }
}

} // namespace
