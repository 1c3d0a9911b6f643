// The home page after a finished game, in a real window: menus reached by keys, the game keys,
// Ctrl+P and a dialog leave the instruction page as it was. And the digit keys by position, under
// an AZERTY layout and with Shift on a US one.

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>

#include "PdfReader.h"
#include "XSession.h"

namespace {

QString TestName() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return QString("%1.%2").arg(info->test_suite_name(), info->name()).replace('/', '_');
}

// The program on a bare X server of 1024 x 768, its client area found below the menu bar.
class RealWindowKeys : public ::testing::Test {
  protected:
    void SetUp() override {
        m_x = std::make_unique<CXSession>(TestName());
        ASSERT_TRUE(m_x->StartServer(1024, 768));
        ASSERT_TRUE(m_x->StartProgram({"CELLWRIGHT_PRINT_TO_PDF=" + PdfPath()}));
        ASSERT_TRUE(m_x->WaitForScreen("start", [this](const QImage& image) {
            m_clientTop = ClientTop(image);
            return m_clientTop > 0 && ShowsHomeFooter(image);
        }));
        m_x->Focus(m_x->MainWindow());
    }
    void TearDown() override {
        if (HasFailure()) {
            m_x->KeepArtifacts();
            std::fprintf(stderr, "e2e: screenshots and notes kept in %s\n", qPrintable(m_x->ArtifactsDir()));
        }
        m_x.reset();
    }

    QString PdfPath() const { return m_x->ArtifactsDir() + "/print.pdf"; }
    int S() const { return (768 - m_clientTop) / 12; }
    // Square (r, c) inside its lines; row 9 are the baskets.
    CPixelRect Square(int r, int c) const {
        const int left = (1024 - 9 * S()) / 2 + c * S(), top = m_clientTop + S() + r * S();
        return {left + 2, top + 2, left + S() - 1, top + S() - 1};
    }
    CPixelRect Grid() const {
        return {Square(0, 0).left, Square(0, 0).top, Square(8, 8).right, Square(8, 8).bottom};
    }
    CPixelRect Client() const { return {0, m_clientTop, 1024, 768}; }
    QPoint RoundButton() const { return {1024 - 2 - S() / 2, 768 - 2 - S() / 2}; }

    // The home page's footer: the paging prompt in teal at the left, the Options prompt in orange.
    bool ShowsHomeFooter(const QImage& image) const {
        const int band = (768 - m_clientTop) / 8;
        return CountColour(image, {0, 768 - band, 512, 768}, 0, 151, 151) > 20 &&
               CountColour(image, {512, 768 - band, 1024, 768}, 255, 108, 32) > 20;
    }

    // Menus by keys as a player reaches them: Alt+F opens File, Right moves on to Options, Fonts
    // and Help; the first enabled item is active, Down moves over the enabled ones.
    void ChooseByKeys(int menusRight, int downs) {
        QStringList keys{"alt+f"};
        for (int i = 0; i < menusRight; ++i) {
            keys << "Right";
        }
        for (int i = 0; i < downs; ++i) {
            keys << "Down";
        }
        m_x->Keys(keys << "Return");
    }

    std::unique_ptr<CXSession> m_x;
    int m_clientTop = 0;
};

QImage Crop(const QImage& image, const CPixelRect& rect) {
    return image.copy(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

} // namespace

TEST_F(RealWindowKeys, AfterHomeNothingPaintsOverTheInstructionPage) {
    ChooseByKeys(1, 0); // Options > Easy
    ASSERT_TRUE(m_x->WaitForScreen(
        "easy", [&](const QImage& image) { return CountColour(image, Grid(), 255, 0, 0) > 100; }));
    m_x->Click(RoundButton().x(), RoundButton().y()); // DONE, with nothing filled in
    ASSERT_TRUE(m_x->WaitForScreen("finished", [&](const QImage& image) {
        const QPoint p = RoundButton();
        return CountColour(image, {p.x() - 4, p.y() - 4, p.x() + 4, p.y() + 4}, 111, 255, 43) > 0;
    }));
    // A second click on the same spot: not so soon that it makes a double click, and from
    // elsewhere, since xdotool waits for a move that would not happen.
    QThread::msleep(600);
    m_x->XDoTool({"mousemove", "--sync", "512", "400"});
    m_x->Click(RoundButton().x(), RoundButton().y()); // HOME
    QImage home;
    ASSERT_TRUE(m_x->WaitForScreen("home", [&](const QImage& image) {
        home = Crop(image, Client());
        return ShowsHomeFooter(image) && CountColour(image, Grid(), 255, 0, 0) == 0;
    }));
    m_x->Focus(m_x->MainWindow());

    // After each step the page must still be the one shown after HOME, once the program has
    // had time to act (and to repaint after a dialog).
    auto expectHome = [&](const QString& step) {
        QThread::msleep(400);
        const bool same =
            m_x->WaitForScreen(step, [&](const QImage& image) { return Crop(image, Client()) == home; });
        EXPECT_TRUE(same) << qPrintable(step) << " changed the instruction page";
    };

    // Every Fonts item, Lucida Console (in effect at first) last. The item in effect is disabled,
    // so the first enabled one is active when the menu opens.
    ChooseByKeys(2, 0); // Microsoft Sans Serif
    expectHome("font-ms-sans-serif");
    ChooseByKeys(2, 1); // Arial Bold (Lucida Console is active)
    expectHome("font-arial-bold");
    ChooseByKeys(2, 2); // Arial
    expectHome("font-arial");
    ChooseByKeys(2, 0); // Lucida Console
    expectHome("font-lucida-console");

    for (const char* key : {"Delete", "Home", "F1", "End"}) {
        m_x->Keys({key});
        expectHome(QString("key-") + key);
    }

    QFile::remove(PdfPath());
    m_x->Keys({"ctrl+p"});
    expectHome("ctrl-p");
    EXPECT_GT(PdfPageCount(PdfPath()), 1) << "Ctrl+P did not print the instructions";

    ChooseByKeys(3, 0); // Help > About Cellwright...
    ASSERT_TRUE(m_x->WaitForWindow("^About Cellwright$"));
    m_x->Focus(m_x->FindWindows("^About Cellwright$").front());
    m_x->Keys({"Return"});
    expectHome("about-box-closed");
    EXPECT_TRUE(m_x->FindWindows("^About Cellwright$").isEmpty());
}

// Under a French (AZERTY) layout the unshifted top row gives "&", "é", ...; with Shift on a US
// layout "!": still the main-row keys 1, 2, ... that type their numerals.
TEST_F(RealWindowKeys, DigitKeysTypeByPositionUnderAzertyAndShift) {
    ChooseByKeys(1, 0); // Options > Easy
    QImage board;
    ASSERT_TRUE(m_x->WaitForScreen("easy", [&](const QImage& image) {
        board = image;
        return CountColour(image, Grid(), 255, 0, 0) > 100;
    }));
    // The first two empty squares of row order; the caret starts in square (0, 0).
    std::vector<int> empty;
    for (int s = 0; s < 81 && empty.size() < 2; ++s) {
        if (CountColour(board, Square(s / 9, s % 9), 255, 0, 0) == 0) {
            empty.push_back(s);
        }
    }
    ASSERT_EQ(empty.size(), 2u);
    auto moveTo = [&](int from, int to) {
        QStringList keys;
        for (int i = (to % 9 - from % 9 + 9) % 9; i > 0; --i) {
            keys << "Right";
        }
        for (int i = (to / 9 - from / 9 + 9) % 9; i > 0; --i) {
            keys << "Down";
        }
        if (!keys.isEmpty()) {
            m_x->Keys(keys);
        }
    };
    auto setLayout = [&](const char* layout) {
        QProcess tool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", m_x->Display());
        tool.setProcessEnvironment(env);
        tool.start("setxkbmap", {layout});
        const bool done = tool.waitForFinished(10000) && tool.exitCode() == 0;
        QThread::msleep(300); // the program takes the new keymap from the server's notice
        return done;
    };
    auto showsGreen = [&](int s, const QString& label) {
        return m_x->WaitForScreen(label, [&](const QImage& image) {
            return CountColour(image, Square(s / 9, s % 9), 0, 128, 128) > 0;
        });
    };

    ASSERT_TRUE(setLayout("fr")) << "setxkbmap fr failed";
    moveTo(0, empty[0]);
    m_x->Keys({"ampersand"}); // the 1 key of an AZERTY keyboard, unshifted
    EXPECT_TRUE(showsGreen(empty[0], "azerty-1")) << "the AZERTY 1 key typed nothing";

    ASSERT_TRUE(setLayout("us"));
    moveTo(empty[0], empty[1]);
    m_x->Keys({"shift+1"});
    EXPECT_TRUE(showsGreen(empty[1], "shift-1")) << "Shift+1 typed nothing";
}
