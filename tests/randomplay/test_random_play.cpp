// Random play on the real view: thousands of presses, releases, double clicks, right clicks and
// keys (the game's and any other) at random points, across the home page, every option, DONE,
// HOME, AGAIN and F1, with fixed seeds. After every single Qt event the rules of the game must
// still hold; the own-numbers dialog is answered at random through the modal hook, never in a way
// that could keep it open.

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>
#include <cstdlib>
#include <deque>
#include <random>
#include <sstream>
#include <string>

#include "../core/SudokuCheck.h"
#include "PlayHarness.h"
#include "common/MenuIds.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// Events per seed; the sanitizer build runs far fewer. CELLWRIGHT_RANDOM_EVENTS overrides both.
int EventsPerSeed() {
    if (const char* env = std::getenv("CELLWRIGHT_RANDOM_EVENTS")) {
        return std::max(1, std::atoi(env));
    }
    return kSanitized ? 2500 : 5000;
}

// What the rules are checked against: the state before and after one event.
struct CState {
    int grid[81];
    int values[81];
    int points, option, phase, verdict, helpShown, initialPoints, givenCount;

    explicit CState(const CQuillmoorView& v) {
        for (int s = 0; s < 81; ++s) {
            grid[s] = v.m_grid[s / 9][s % 9];
            values[s] = v.m_squares[s].value;
        }
        points = v.m_points;
        option = v.m_option;
        phase = v.m_phase;
        verdict = v.m_verdict;
        helpShown = v.m_helpShown;
        initialPoints = v.m_initialPoints;
        givenCount = v.m_givenCount;
    }
    // A puzzle on the board with its score computed.
    bool InGame() const { return option >= 1 && option <= 3 && points <= 16000; }
    // Judged by the rules here, apart from the program's own check.
    bool Correct() const {
        sudoku_check::Board board{};
        for (int s = 0; s < 81; ++s) {
            board[s] = grid[s] > 0 ? grid[s] : values[s];
        }
        return sudoku_check::IsValidSolution(board);
    }
};

int InitialPointsFor(int empty) {
    if (empty > 46) {
        return 300 + 3 * (empty - 46) * (empty - 45);
    }
    return 300 - 3 * (46 - empty) * (47 - empty);
}

// An empty string when the step from a to b keeps the rules; otherwise what broke.
// mayStartGame: the event was an Options command, a left press on HOME or AGAIN or their keys H and
// A while a game was finished (they act on the press).
std::string CheckStep(const CState& a, const CState& b, bool mayStartGame) {
    std::ostringstream why;
    if (b.InGame()) {
        for (int s = 0; s < 81; ++s) {
            if (b.grid[s] < 0 || b.grid[s] > 9 || b.values[s] < 0 || b.values[s] > 9) {
                why << "square " << s << " holds " << b.grid[s] << "/" << b.values[s];
            } else if (b.grid[s] > 0 && b.values[s] > 0) {
                why << "square " << s << " holds original " << b.grid[s] << " and player's " << b.values[s];
            }
        }
    }
    // A press on HOME or AGAIN that left the finished game as it was is judged like any other.
    const bool stayed = a.InGame() && a.phase == 2 && b.InGame() && b.phase == 2 && b.option == a.option &&
                        std::equal(a.grid, a.grid + 81, b.grid);
    if (mayStartGame && !stayed) {
        if (b.InGame() && (b.points != b.initialPoints || b.points != InitialPointsFor(81 - b.givenCount) ||
                           b.phase != 0 || b.verdict != -1)) {
            why << "new game starts with " << b.points << " points, phase " << b.phase;
        }
        return why.str();
    }
    if (a.option == 0 && b.option != 0) {
        why << "a game began without an Options command";
    }
    if (!a.InGame()) {
        return why.str();
    }
    if (b.option != a.option || !b.InGame()) {
        return why.str() + "the game ended without HOME or AGAIN";
    }
    for (int s = 0; s < 81; ++s) {
        if (a.grid[s] != b.grid[s]) {
            why << "original number of square " << s << " changed from " << a.grid[s] << " to " << b.grid[s];
            break;
        }
    }
    if (a.phase == 2) {
        if (b.phase != 2 || b.points != a.points || b.verdict != a.verdict) {
            why << "a finished game changed: points " << a.points << " -> " << b.points << ", phase "
                << b.phase;
        }
        // Delete still clears green numerals from a finished board; nothing new is placed.
        for (int s = 0; s < 81; ++s) {
            if (a.values[s] != b.values[s] && b.values[s] != 0) {
                why << "square " << s << " got " << b.values[s] << " after DONE";
                break;
            }
        }
    } else if (b.phase == 2) {
        const bool correct = b.Correct();
        const int expected = correct ? std::max(a.points, 0) : 0;
        if (b.points != expected || b.verdict != (correct ? 0 : 1)) {
            why << "DONE on a " << (correct ? "correct" : "wrong") << " grid with " << a.points
                << " points gave final score " << b.points << " and verdict " << b.verdict;
        }
    } else {
        const int charge = a.points - b.points;
        if (charge != 0 && charge != 1 && charge != 5) {
            why << "points went from " << a.points << " to " << b.points;
        }
    }
    return why.str();
}

const Qt::Key kKeys[] = {
    Qt::Key_Left,    Qt::Key_Right,   Qt::Key_Up,       Qt::Key_Down,  Qt::Key_Home,     Qt::Key_End,
    Qt::Key_Delete,  Qt::Key_PageUp,  Qt::Key_PageDown, Qt::Key_F1,    Qt::Key_1,        Qt::Key_2,
    Qt::Key_3,       Qt::Key_4,       Qt::Key_5,        Qt::Key_6,     Qt::Key_7,        Qt::Key_8,
    Qt::Key_9,       Qt::Key_0,       Qt::Key_A,        Qt::Key_P,     Qt::Key_Q,        Qt::Key_Z,
    Qt::Key_D,       Qt::Key_F,       Qt::Key_H,        Qt::Key_X,     Qt::Key_F2,       Qt::Key_F3,
    Qt::Key_F4,      Qt::Key_F5,      Qt::Key_F6,       Qt::Key_F10,   Qt::Key_F12,      Qt::Key_Escape,
    Qt::Key_Tab,     Qt::Key_Backtab, Qt::Key_Return,   Qt::Key_Enter, Qt::Key_Space,    Qt::Key_Backspace,
    Qt::Key_Insert,  Qt::Key_Shift,   Qt::Key_Control,  Qt::Key_Alt,   Qt::Key_Menu,     Qt::Key_Minus,
    Qt::Key_Plus,    Qt::Key_Period,  Qt::Key_Comma,    Qt::Key_Slash, Qt::Key_Asterisk, Qt::Key_CapsLock,
    Qt::Key_NumLock, Qt::Key_Pause,   Qt::Key_Print,
};

class CRandomPlayer {
  public:
    CRandomPlayer(unsigned seed, int width, int height) : m_rng(seed) {
        m_view = MakePaintedView(width, height, seed);
        m_width = width;
        m_height = height;
        AfxSetModalHook([this](const char* kind, QWidget*, const char*) { return AnswerModal(kind); });
    }
    ~CRandomPlayer() {
        AfxSetModalHook([](const char*, QWidget*, const char*) { return static_cast<int>(IDCANCEL); });
    }

    // Plays until events have been sent; an empty string when every step kept the rules.
    std::string Play(int events) {
        while (m_sent < events && m_failure.empty()) {
            Step();
            if (TestSoundRecorder().m_cues.size() > 1000) {
                ClearSounds();
            }
        }
        return m_failure;
    }

    int m_games = 0, m_verdicts = 0, m_correct = 0, m_helps = 0, m_dialogs = 0;
    const CQuillmoorView& View() const { return *m_view; }
    int Sent() const { return m_sent; }

  private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
    bool Chance(int percent) { return Pick(100) < percent; }

    // --- the own-numbers dialog --------------------------------------------------------------------
    int AnswerModal(const char* kind) {
        if (std::string(kind) == "messagebox") {
            return IDOK;
        }
        if (std::string(kind) != "dialog") {
            return IDCANCEL;
        }
        ++m_dialogs;
        // A wrong entry opens the dialog again; a few rounds, then Cancel, so it always ends.
        if (++m_dialogRound > 4) {
            return IDCANCEL;
        }
        if (m_loadPending) {
            m_loadPending = false;
            return IDOK;
        }
        const int choice = Pick(100);
        if (choice < 35) {
            m_loadPending = true;
            return COwnNumbersDialog::kLoadTestButton;
        }
        if (choice < 55) {
            const char* const junk[] = {"", "0", "a", "x", " ", "-", "12", "99", "5", "7", "#", "1"};
            for (int r = 0; r < 9; ++r) {
                for (int c = 0; c < 9; ++c) {
                    if (Chance(40)) {
                        Field(r, c)->setText(junk[Pick(12)]);
                    }
                }
            }
            return IDOK;
        }
        if (choice < 70) {
            // The test puzzle with one change: a clue removed, moved or doubled.
            FillFields(kTestPuzzle);
            const int r = Pick(9), c = Pick(9);
            Field(r, c)->setText(Chance(50) ? QString() : QString::number(1 + Pick(9)));
            return IDOK;
        }
        if (choice < 80) {
            return COwnNumbersDialog::kClearButton;
        }
        return IDCANCEL;
    }

    // --- events ------------------------------------------------------------------------------------
    CPoint RandomPoint() {
        const CQuillmoorView& v = *m_view;
        switch (Pick(8)) {
        case 0:
        case 1:
            return SquareCentre(v, Pick(9), Pick(9));
        case 2:
            return SlotCentre(v, Pick(9), Pick(9), Pick(9));
        case 3:
            return BasketCentre(v, 1 + Pick(9));
        case 4:
            return Chance(50) ? RectCentre(v.m_doneButtonRect) : RectCentre(v.m_againButtonRect);
        case 5:
            return GridLineRightOf(v, Pick(9), Pick(9));
        default:
            // Anywhere, a little past the edges too.
            return CPoint(Pick(m_width + 20) - 10, Pick(m_height + 20) - 10);
        }
    }

    void Mouse(QEvent::Type type, Qt::MouseButton button, CPoint p) {
        const QPointF local(p.x, p.y);
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent event(type, local, m_view->Widget()->mapToGlobal(local), button, held, Modifiers());
        std::ostringstream what;
        what << (type == QEvent::MouseButtonPress     ? "press"
                 : type == QEvent::MouseButtonRelease ? "release"
                                                      : "double-click")
             << (button == Qt::RightButton ? " right" : "") << " at " << p.x << "," << p.y;
        // Only a left press on HOME or AGAIN may leave a finished game.
        const bool onButtons = CQuillmoorView::HitsStrictly(m_view->m_doneButtonRect, p) ||
                               CQuillmoorView::HitsStrictly(m_view->m_againButtonRect, p);
        const bool leftPress = button == Qt::LeftButton && type != QEvent::MouseButtonRelease && onButtons;
        Send(what.str(), leftPress, [&] { QCoreApplication::sendEvent(m_view->Widget(), &event); });
    }

    void KeyEvent(Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QString text;
        if (key >= Qt::Key_0 && key <= Qt::Key_9) {
            text = QChar('0' + (key - Qt::Key_0));
        } else if (key >= Qt::Key_A && key <= Qt::Key_Z) {
            text = QChar('a' + (key - Qt::Key_A));
        }
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
        std::ostringstream what;
        what << "key 0x" << std::hex << key << " modifiers 0x" << modifiers;
        // H and A are HOME and AGAIN from the keyboard.
        const bool homeOrAgain =
            (key == Qt::Key_H || key == Qt::Key_A) && !(modifiers & (Qt::ControlModifier | Qt::AltModifier));
        Send(what.str(), homeOrAgain, [&] {
            QCoreApplication::sendEvent(m_view->Widget(), &press);
            QCoreApplication::sendEvent(m_view->Widget(), &release);
        });
    }

    Qt::KeyboardModifiers Modifiers() {
        const int r = Pick(100);
        return r < 85   ? Qt::NoModifier
               : r < 93 ? Qt::ShiftModifier
               : r < 97 ? Qt::AltModifier
                        : Qt::ControlModifier;
    }

    void Command(UINT id) {
        CCmdUI ui(id);
        m_view->OnCmdMsg(id, &ui);
        // The Options items are enabled on the home page only.
        if ((m_view->m_option == 0) != (ui.m_bEnabled != FALSE)) {
            Fail("Options item enabled " + std::to_string(ui.m_bEnabled) + " with option " +
                 std::to_string(m_view->m_option));
            return;
        }
        if (!ui.m_bEnabled) {
            return;
        }
        Send("command " + std::to_string(id), true, [&] { m_view->OnCmdMsg(id, nullptr); });
    }

    // Types the solution of the puzzle on the board at the caret, as a player who knows it would.
    void TypeSolution() {
        sudoku_check::Board board{};
        for (int s = 0; s < 81; ++s) {
            board[s] = m_view->m_grid[s / 9][s % 9];
        }
        if (!sudoku_check::SolveBySingles(board)) {
            return;
        }
        for (int s = 0; s < 81 && m_failure.empty() && m_view->m_helpShown == 0; ++s) {
            if (m_view->m_grid[s / 9][s % 9] > 0 || m_view->m_squares[s].value == board[s]) {
                continue;
            }
            for (int n = (s % 9 - m_view->m_caretCol + 9) % 9; n > 0 && m_failure.empty(); --n) {
                KeyEvent(Qt::Key_Right, Qt::NoModifier);
            }
            for (int n = (s / 9 - m_view->m_caretRow + 9) % 9; n > 0 && m_failure.empty(); --n) {
                KeyEvent(Qt::Key_Down, Qt::NoModifier);
            }
            KeyEvent(static_cast<Qt::Key>(Qt::Key_0 + board[s]), Qt::NoModifier);
        }
    }

    void Step() {
        const int r = Pick(1000);
        const bool home = m_view->m_option == 0;
        if (home && r < 60) {
            const UINT ids[] = {ID_OPTIONS_EASY, ID_OPTIONS_HARD, ID_OPTIONS_OWN_NUMBERS};
            Command(ids[Pick(3)]);
        } else if (r < 62) {
            const UINT ids[] = {ID_OPTIONS_EASY, ID_OPTIONS_HARD, ID_OPTIONS_OWN_NUMBERS};
            Command(ids[Pick(3)]);
        } else if (r < 65 && !home && m_view->m_phase == 0 && m_view->m_helpShown == 0) {
            TypeSolution(); // a few hundred key events: now and then, to reach correct verdicts
        } else if (r < 300) {
            KeyEvent(kKeys[Pick(static_cast<int>(sizeof kKeys / sizeof kKeys[0]))],
                     Chance(5) ? Qt::KeypadModifier : Modifiers());
        } else if (r < 400) {
            Mouse(QEvent::MouseButtonPress, Qt::LeftButton, RandomPoint());
        } else if (r < 500) {
            Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, RandomPoint());
        } else if (r < 750) {
            // A click or a drag.
            const CPoint from = RandomPoint();
            Mouse(QEvent::MouseButtonPress, Qt::LeftButton, from);
            Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Chance(50) ? from : RandomPoint());
        } else if (r < 850) {
            // A double click as Qt reports it: press, release, double-click, release.
            const CPoint p = RandomPoint();
            Mouse(QEvent::MouseButtonPress, Qt::LeftButton, p);
            Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, p);
            Mouse(QEvent::MouseButtonDblClick, Qt::LeftButton, p);
            Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, p);
        } else if (r < 950) {
            const CPoint p = RandomPoint();
            Mouse(QEvent::MouseButtonPress, Qt::RightButton, p);
            Mouse(QEvent::MouseButtonRelease, Qt::RightButton, p);
        } else {
            Mouse(QEvent::MouseButtonPress, Chance(50) ? Qt::MiddleButton : Qt::RightButton, RandomPoint());
        }
    }

    template <typename F> void Send(const std::string& what, bool leftPress, F deliver) {
        if (!m_failure.empty()) {
            return;
        }
        const CState before(*m_view);
        const bool mayStartGame =
            (leftPress && before.InGame() && before.phase == 2) || what.rfind("command", 0) == 0;
        m_dialogRound = 0;
        m_loadPending = false;
        deliver();
        ProcessEvents();
        ++m_sent;
        const CState after(*m_view);
        m_recent.push_back(what);
        if (m_recent.size() > 12) {
            m_recent.pop_front();
        }
        if (after.InGame() && (!before.InGame() || mayStartGame)) {
            ++m_games;
        }
        if (before.phase != 2 && after.phase == 2) {
            ++m_verdicts;
            m_correct += after.verdict == 0 ? 1 : 0;
        }
        m_helps += before.helpShown == 0 && after.helpShown == 1 ? 1 : 0;
        const std::string broken = CheckStep(before, after, mayStartGame);
        if (!broken.empty()) {
            Fail(broken);
        }
    }

    void Fail(const std::string& broken) {
        std::ostringstream message;
        message << "after event " << m_sent << ": " << broken << "\nlast events:";
        for (const std::string& e : m_recent) {
            message << "\n  " << e;
        }
        m_failure = message.str();
    }

    std::mt19937 m_rng;
    std::unique_ptr<CQuillmoorView> m_view;
    int m_width = 0, m_height = 0;
    int m_sent = 0;
    int m_dialogRound = 0;
    bool m_loadPending = false;
    std::deque<std::string> m_recent;
    std::string m_failure;
};

struct CRun {
    unsigned seed;
    int width, height;
};

class RandomPlay : public ::testing::TestWithParam<CRun> {};

TEST_P(RandomPlay, RulesHoldAfterEveryEvent) {
    const CRun run = GetParam();
    CRandomPlayer player(run.seed, run.width, run.height);
    const std::string failure = player.Play(EventsPerSeed());
    EXPECT_EQ(failure, "");
    // The run must have reached the parts it is meant to shake.
    EXPECT_GT(player.m_games, 1);
    EXPECT_GT(player.m_verdicts, 0);
    EXPECT_GT(player.m_dialogs, 0);
    RecordProperty("games", player.m_games);
    RecordProperty("verdicts", player.m_verdicts);
    std::printf("seed %u: %d games, %d verdicts (%d correct), %d help pages, %d dialog answers; "
                "ends with option %d, phase %d, help %d after %d events\n",
                run.seed, player.m_games, player.m_verdicts, player.m_correct, player.m_helps,
                player.m_dialogs, player.View().m_option, player.View().m_phase, player.View().m_helpShown,
                player.Sent());
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomPlay,
                         ::testing::Values(CRun{11, 800, 600}, CRun{23, 1024, 768}, CRun{37, 800, 600},
                                           CRun{59, 1280, 800}),
                         [](const auto& p) { return "seed" + std::to_string(p.param.seed); });

} // namespace
