// The built program in a real X server, played through xdotool and judged from screenshots only.

#include <gtest/gtest.h>

#include <algorithm>

#include <QFile>
#include <QRegularExpression>
#include <QThread>

#include "../core/SudokuCheck.h"
#include "PdfReader.h"
#include "PlayHarness.h"
#include "XSession.h"

namespace {

// Where things are on the screen, from the screen size and the client area's top alone: a square
// is a twelfth of the client height, the grid is centred and starts one square down.
struct CScreen {
    int width = 0, height = 0, clientTop = 0;
    int H() const { return height - clientTop; }
    int S() const { return H() / 12; }
    int GridLeft() const { return (width - 9 * S()) / 2; }
    CPixelRect Square(int r, int c) const {
        const int left = GridLeft() + c * S(), top = clientTop + S() + r * S();
        return {left, top, left + S(), top + S()};
    }
    // Inside the square, clear of the grid lines.
    CPixelRect SquareInside(int r, int c) const {
        const CPixelRect sq = Square(r, c);
        return {sq.left + 2, sq.top + 2, sq.right - 1, sq.bottom - 1};
    }
    CPixelRect Grid() const {
        return {GridLeft(), clientTop + S(), GridLeft() + 9 * S() + 1, clientTop + 10 * S() + 1};
    }
    QPoint Centre(const CPixelRect& rect) const {
        return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }
    QPoint Basket(int numeral) const {
        const CPixelRect sq = Square(9, numeral - 1);
        return {(sq.left + sq.right) / 2, (sq.top + sq.bottom) / 2 + 1};
    }
    QPoint Done() const { return {width - 2 - S() / 2, height - 2 - S() / 2}; }
    QPoint Again() const { return {width - 4 - S() - S() / 2, height - 2 - S() / 2}; }
    // The strip below the baskets (one pixel lower than the grid's last row) for the verdict line.
    CPixelRect MessageStrip() const {
        return {GridLeft(), clientTop + 11 * S() + 1, GridLeft() + 9 * S(), height};
    }
    // Both score panels in the top right corner.
    CPixelRect ScorePanels() const {
        const int panel = (2 * S() * 58) / 108;
        return {width - 6 - 2 * S(), clientTop + 6, width - 6, clientTop + 6 + 3 * panel};
    }
    CPixelRect PointsPanel() const {
        const int panel = (2 * S() * 58) / 108;
        return {width - 6 - 2 * S(), clientTop + 6, width - 6, clientTop + 6 + panel};
    }
    // The footer band of an instruction page, left and right halves.
    CPixelRect FooterLeft() const { return {0, height - H() / 8, width / 2, height}; }
    CPixelRect FooterRight() const { return {width / 2, height - H() / 8, width, height}; }
    CPixelRect PageBody() const { return {0, clientTop + H() / 8, width, height - H() / 8}; }
};

bool ShowsHomeFooter(const QImage& image, const CScreen& screen) {
    return CountColour(image, screen.FooterLeft(), 0, 151, 151) > 20 &&
           CountColour(image, screen.FooterRight(), 255, 108, 32) > 20;
}

QImage Crop(const QImage& image, const CPixelRect& rect) {
    return image.copy(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

QString TestName() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return QString("%1.%2").arg(info->test_suite_name(), info->name()).replace('/', '_');
}

// "Position: 187,54 (screen: 0)" and "Geometry: 630x580" of xdotool's getwindowgeometry.
QRect WindowGeometry(CXSession& x, const QString& window) {
    const QString out = x.XDoTool({"getwindowgeometry", window});
    const auto pos = QRegularExpression(R"(Position:\s*(\d+),(\d+))").match(out);
    const auto size = QRegularExpression(R"(Geometry:\s*(\d+)x(\d+))").match(out);
    if (!pos.hasMatch() || !size.hasMatch()) {
        return QRect();
    }
    return QRect(pos.captured(1).toInt(), pos.captured(2).toInt(), size.captured(1).toInt(),
                 size.captured(2).toInt());
}

class RealWindow : public ::testing::TestWithParam<QSize> {
  protected:
    void SetUp() override {
        m_x = std::make_unique<CXSession>(TestName());
        const QSize size = GetParam();
        ASSERT_TRUE(m_x->StartServer(size.width(), size.height()));
        ASSERT_TRUE(m_x->StartProgram(Environment()));
        FindClientArea();
    }
    void TearDown() override {
        if (HasFailure()) {
            m_x->KeepArtifacts();
            std::fprintf(stderr, "e2e: screenshots and notes kept in %s\n", qPrintable(m_x->ArtifactsDir()));
        }
        m_x.reset();
    }
    virtual QStringList Environment() const { return {}; }

    void FindClientArea() {
        m_screen.width = m_x->ScreenWidth();
        m_screen.height = m_x->ScreenHeight();
        // The home page is up when its footer prompts are drawn.
        ASSERT_TRUE(m_x->WaitForScreen("home", [this](const QImage& image) {
            m_screen.clientTop = ClientTop(image);
            return m_screen.clientTop > 0 && ShowsHomeFooter(image, m_screen);
        }));
        m_x->Note(QString("client top %1, S %2").arg(m_screen.clientTop).arg(m_screen.S()));
        m_x->Focus(m_x->MainWindow());
    }

    // Opens "Options" in the menu bar with the mouse and picks its item'th item with the keys.
    void ChooseOption(int item) {
        const QImage bar = m_x->Shot("menubar");
        // Words of the menu bar: runs of columns with ink, split by gaps wider than a space.
        std::vector<std::pair<int, int>> words;
        int gap = 1000;
        for (int x = 0; x < bar.width() / 2; ++x) {
            const bool ink = CountDark(bar, {x, 0, x + 1, m_screen.clientTop - 1}) > 0;
            if (ink) {
                if (gap > 8) {
                    words.push_back({x, x});
                }
                words.back().second = x;
                gap = 0;
            } else {
                ++gap;
            }
        }
        ASSERT_GE(words.size(), 3u) << "menu bar words not found";
        m_x->Click((words[1].first + words[1].second) / 2, m_screen.clientTop / 2);
        ASSERT_TRUE(m_x->WaitForWindow("^cellwright$", 5000)) << "the Options menu did not open";
        QStringList keys;
        for (int i = 0; i <= item; ++i) {
            keys << "Down";
        }
        m_x->Keys(keys << "Return");
    }

    bool WaitForBoard(const QString& label) {
        return m_x->WaitForScreen(label, [this](const QImage& image) {
            return CountColour(image, m_screen.Grid(), 255, 0, 0) > 100;
        });
    }

    std::unique_ptr<CXSession> m_x;
    CScreen m_screen;
};

// The main window on a bare X server: covering the screen, with its caption and the home page.
TEST_P(RealWindow, HomePageFillsTheScreen) {
    const QRect geometry = WindowGeometry(*m_x, m_x->MainWindow());
    EXPECT_EQ(geometry, QRect(0, 0, m_screen.width, m_screen.height));
    EXPECT_TRUE(m_x->XDoTool({"getwindowname", m_x->MainWindow()}).endsWith(" -- Version QV317"));
    const QImage home = m_x->Shot("home-check");
    EXPECT_GT(CountDark(home, m_screen.PageBody()), 2000) << "no instruction text on the home page";
}

// Own numbers through the menu bar and the dialog, solved by keys, judged at DONE; AGAIN opens
// the dialog again and Cancel leads home.
TEST_P(RealWindow, OwnNumbersSolvedByKeysAgainAndCancel) {
    ChooseOption(2);
    ASSERT_TRUE(m_x->WaitForWindow("^Input Your Own Numbers$"));
    const QString dialog = m_x->FindWindows("^Input Your Own Numbers$").front();
    const QRect box = WindowGeometry(*m_x, dialog);
    ASSERT_FALSE(box.isEmpty());
    // The load button's centre, from its place in the 420 x 357 dialog-unit template.
    m_x->Click(box.x() + (33 + 95) * box.width() / 420, box.y() + (47 * 2 + 11) * box.height() / (2 * 357));
    m_x->Focus(dialog);
    m_x->Keys({"Return"});
    ASSERT_TRUE(WaitForBoard("test-puzzle"));
    QThread::msleep(200);

    // The board shows the test puzzle: red ink exactly in the squares with a clue.
    sudoku_check::Board board{};
    const QImage start = m_x->Shot("test-puzzle-check");
    for (int r = 0; r < 9; ++r) {
        for (int c = 0; c < 9; ++c) {
            const char ch = kTestPuzzle[r][c];
            board[r * 9 + c] = ch == '.' ? 0 : ch - '0';
            EXPECT_EQ(CountColour(start, m_screen.SquareInside(r, c), 255, 0, 0) > 0, ch != '.')
                << r << "," << c;
        }
    }
    sudoku_check::Board solved = board;
    ASSERT_TRUE(sudoku_check::SolveBySingles(solved));
    ASSERT_TRUE(sudoku_check::IsValidSolution(solved));

    m_x->Focus(m_x->MainWindow());
    m_x->Keys(KeysTypingTheTestSolution());
    ASSERT_TRUE(m_x->WaitForScreen("solved", [&](const QImage& image) {
        for (int s = 0; s < 81; ++s) {
            if (board[s] == 0 && CountColour(image, m_screen.SquareInside(s / 9, s % 9), 0, 128, 128) == 0) {
                return false;
            }
        }
        return true;
    })) << "not every empty square shows a green numeral";

    m_x->Click(m_screen.Done().x(), m_screen.Done().y());
    ASSERT_TRUE(m_x->WaitForScreen("verdict", [&](const QImage& image) {
        return CountColour(image, m_screen.MessageStrip(), 255, 0, 0) > 50 &&
               CountColour(image, m_screen.ScorePanels(), 0, 148, 0) > 10 &&
               CountColour(image, m_screen.ScorePanels(), 192, 0, 0) > 10;
    })) << "no red verdict line and final score with its performance";

    m_x->Click(m_screen.Again().x(), m_screen.Again().y());
    ASSERT_TRUE(m_x->WaitForWindow("^Input Your Own Numbers$")) << "AGAIN did not open the dialog";
    m_x->Focus(m_x->FindWindows("^Input Your Own Numbers$").front());
    m_x->Keys({"Escape"});
    EXPECT_TRUE(m_x->WaitForScreen("home-after-cancel", [&](const QImage& image) {
        return ShowsHomeFooter(image, m_screen) && CountColour(image, m_screen.Grid(), 255, 0, 0) == 0;
    })) << "Cancel did not lead home";
    EXPECT_TRUE(m_x->FindWindows("^Input Your Own Numbers$").isEmpty());
}

// Easy: a numeral dragged from a basket, possibles bought with the right button, F1 and End.
TEST_P(RealWindow, EasyGameDragPossiblesHelpAndBack) {
    ChooseOption(0);
    ASSERT_TRUE(WaitForBoard("easy"));
    QThread::msleep(200);
    const QImage start = m_x->Shot("easy-start");
    std::vector<int> empty;
    for (int s = 0; s < 81; ++s) {
        if (CountColour(start, m_screen.SquareInside(s / 9, s % 9), 255, 0, 0) == 0) {
            empty.push_back(s);
        }
    }
    // The possibles are bought where the dropped numeral cannot take the square's last one away
    // (it may be wrong there): in another row, column and box.
    ASSERT_GE(empty.size(), 2u);
    const int dropped = empty[0];
    const auto apart = [dropped](int s) {
        return s / 9 != dropped / 9 && s % 9 != dropped % 9 &&
               (s / 27 != dropped / 27 || s % 9 / 3 != dropped % 9 / 3);
    };
    const auto other = std::find_if(empty.begin() + 1, empty.end(), apart);
    ASSERT_NE(other, empty.end());
    const int bought = *other;
    const CPixelRect droppedRect = m_screen.SquareInside(dropped / 9, dropped % 9);
    const CPixelRect boughtRect = m_screen.SquareInside(bought / 9, bought % 9);
    EXPECT_EQ(CountColour(start, droppedRect, 0, 128, 128), 0);

    const QPoint from = m_screen.Basket(5), to = m_screen.Centre(droppedRect);
    m_x->Drag(from.x(), from.y(), to.x(), to.y());
    QImage afterDrop;
    ASSERT_TRUE(m_x->WaitForScreen("dropped", [&](const QImage& image) {
        afterDrop = image;
        return CountColour(image, droppedRect, 0, 128, 128) > 0;
    })) << "the dropped numeral is not shown in green";
    EXPECT_NE(Crop(start, m_screen.PointsPanel()), Crop(afterDrop, m_screen.PointsPanel()))
        << "the points did not change for a placed numeral";

    const QPoint target = m_screen.Centre(boughtRect);
    m_x->Click(target.x(), target.y(), 3);
    QImage afterBuy;
    ASSERT_TRUE(m_x->WaitForScreen("possibles", [&](const QImage& image) {
        afterBuy = image;
        return CountColour(image, boughtRect, 160, 160, 160) > 0;
    })) << "no gray possibles after the right click";
    EXPECT_NE(Crop(afterDrop, m_screen.PointsPanel()), Crop(afterBuy, m_screen.PointsPanel()))
        << "the points did not change for bought possibles";

    m_x->Keys({"F1"});
    ASSERT_TRUE(m_x->WaitForScreen("help", [&](const QImage& image) {
        return CountColour(image, m_screen.Grid(), 255, 0, 0) == 0 &&
               CountColour(image, droppedRect, 0, 128, 128) == 0 &&
               CountDark(image, m_screen.PageBody()) > 2000;
    })) << "F1 did not show the instruction page";

    m_x->Keys({"End"});
    EXPECT_TRUE(m_x->WaitForScreen("back-to-board", [&](const QImage& image) {
        return CountColour(image, droppedRect, 0, 128, 128) > 0 &&
               CountColour(image, boughtRect, 160, 160, 160) > 0 &&
               CountColour(image, m_screen.Grid(), 255, 0, 0) > 100;
    })) << "End did not bring the board back as it was";
}

INSTANTIATE_TEST_SUITE_P(
    Screens, RealWindow, ::testing::Values(QSize(1024, 768), QSize(1920, 1080)), [](const auto& screen) {
        return QString("%1x%2").arg(screen.param.width()).arg(screen.param.height()).toStdString();
    });

// Ctrl+P with the PDF path set: the instruction pages at home and over a game, one sheet for the
// puzzle.
class RealWindowPrint : public RealWindow {
  protected:
    QStringList Environment() const override { return {"CELLWRIGHT_PRINT_TO_PDF=" + PdfPath()}; }
    QString PdfPath() const { return m_x->ArtifactsDir() + "/print.pdf"; }

    // Ctrl+P, then the sheet count once the file is complete (-1 when none appears in time).
    int PrintAndCount(const QString& label) {
        QFile::remove(PdfPath());
        m_x->Keys({"ctrl+p"});
        for (int tries = 0; tries < 100; ++tries) {
            QThread::msleep(100);
            const int pages = QFile::exists(PdfPath()) ? PdfPageCount(PdfPath()) : -1;
            if (pages > 0) {
                QFile::copy(PdfPath(), m_x->ArtifactsDir() + "/" + label + ".pdf");
                return pages;
            }
        }
        m_x->Note("no PDF for " + label);
        return -1;
    }
};

TEST_P(RealWindowPrint, CtrlPWritesThePdf) {
    const int instructionSheets = PrintAndCount("home");
    EXPECT_GE(instructionSheets, 2);

    ChooseOption(0);
    ASSERT_TRUE(WaitForBoard("easy"));
    m_x->Focus(m_x->MainWindow());
    EXPECT_EQ(PrintAndCount("puzzle"), 1);

    m_x->Keys({"F1"});
    ASSERT_TRUE(m_x->WaitForScreen(
        "help", [&](const QImage& image) { return CountColour(image, m_screen.Grid(), 255, 0, 0) == 0; }));
    EXPECT_EQ(PrintAndCount("help"), instructionSheets);
}

INSTANTIATE_TEST_SUITE_P(Screens, RealWindowPrint, ::testing::Values(QSize(1024, 768)),
                         [](const auto&) { return std::string("1024x768"); });

// A screen too small for the play screen: the program says so in a message box and ends with 0
// once it is answered.
TEST(RealWindowSmallScreen, MessageBoxThenCleanExit) {
    CXSession x(TestName());
    ASSERT_TRUE(x.StartServer(760, 520));
    ASSERT_TRUE(x.StartProgram({}, false));
    QString box;
    for (int tries = 0; tries < 100 && box.isEmpty(); ++tries) {
        for (const QString& window :
             x.XDoTool({"search", "--onlyvisible", "--class", "cellwright"}).split('\n')) {
            const QRect geometry = WindowGeometry(x, window);
            if (geometry.width() > 100 && geometry.height() > 50 && geometry.width() < 760) {
                box = window;
            }
        }
        if (box.isEmpty()) {
            QThread::msleep(100);
        }
    }
    const bool found = !box.isEmpty();
    EXPECT_TRUE(found) << "no message box appeared";
    if (found) {
        const QRect geometry = WindowGeometry(x, box);
        const QImage shot = x.Shot("message-box");
        EXPECT_GT(CountDark(shot, {geometry.left(), geometry.top(), geometry.right(), geometry.bottom()}),
                  200)
            << "the message box shows no text";
        x.Focus(box);
        x.Keys({"Return"});
    }
    EXPECT_EQ(x.WaitForExit(8000), 0);
    if (::testing::Test::HasFailure()) {
        x.KeepArtifacts();
        std::fprintf(stderr, "e2e: screenshots and notes kept in %s\n", qPrintable(x.ArtifactsDir()));
    }
}

} // namespace
