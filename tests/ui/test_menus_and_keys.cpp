// The menu bar and the accelerator table as the player meets them: the File menu opens on its
// separator, and every accelerator key, pressed as a real key, does what its command does and
// nothing to the game.

#include <QAccessible>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QWindow>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "AppHarness.h"
#include "PlayHarness.h"
#include "common/MenuIds.h"

namespace {

// Notes the commands that have no handler in the program when their keys reach them.
class CNotingApp : public CQuillmoorApp {
  public:
    CNotingApp() {
        for (UINT id : {ID_EDIT_UNDO, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, ID_NEXT_PANE, ID_PREV_PANE}) {
            OnCommand(id, [this, id] { m_fired.push_back(id); });
        }
    }
    std::vector<UINT> m_fired;
};

class MenusAndKeys : public CAppTest {
  protected:
    std::unique_ptr<CQuillmoorApp> MakeApp() override { return std::make_unique<CNotingApp>(); }
    void SetUp() override {
        CAppTest::SetUp();
        AfxSetModalHook([this](const char* kind, QWidget*, const char* text) {
            m_asked.push_back(std::string(kind) + " " + text);
            return static_cast<int>(IDCANCEL);
        });
    }
    void TearDown() override {
        AfxSetModalHook([](const char*, QWidget*, const char*) { return static_cast<int>(IDCANCEL); });
    }
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QTest::keyClick(m_view->Widget(), key, modifiers);
        ProcessEvents();
    }
    std::vector<std::string> m_asked;
};

// The game as far as a key could change it.
struct CGameSnapshot {
    explicit CGameSnapshot(const CQuillmoorView& view)
        : option(view.m_option), points(view.m_points), caretRow(view.m_caretRow), caretCol(view.m_caretCol),
          helpShown(view.m_helpShown) {
        std::memcpy(grid, view.m_grid, sizeof grid);
        std::memcpy(squares, view.m_squares, sizeof squares);
    }
    bool operator==(const CGameSnapshot& o) const {
        return option == o.option && points == o.points && caretRow == o.caretRow && caretCol == o.caretCol &&
               helpShown == o.helpShown && std::memcmp(grid, o.grid, sizeof grid) == 0 &&
               std::memcmp(squares, o.squares, sizeof squares) == 0;
    }
    int option, points, caretRow, caretCol, helpShown;
    int grid[9][9];
    SquareRecord squares[81];
};

} // namespace

TEST_F(MenusAndKeys, TheFileMenuOpensOnItsSeparator) {
    QMenu* file = nullptr;
    for (QAction* action : m_frame->MainWindow()->menuBar()->actions()) {
        file = action->text() == "&File" ? action->menu() : file;
    }
    ASSERT_NE(file, nullptr);
    const QList<QAction*> items = file->actions();
    ASSERT_EQ(items.size(), 5);
    ASSERT_TRUE(items[0]->isSeparator());
    file->popup(QPoint(0, 0));
    ProcessEvents();
    const QRect separator = file->actionGeometry(items[0]);
    EXPECT_GT(separator.height(), 0) << "the separator at the top is not shown";
    EXPECT_GE(file->actionGeometry(items[1]).top(), separator.bottom());
    EXPECT_EQ(items[1]->text(), "&Print...");
    EXPECT_EQ(items[1]->shortcut(), QKeySequence("Ctrl+P"));
    // What a screen reader reads: the item's name without the shortcut, the shortcut as its key.
    QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(file);
    ASSERT_NE(menu, nullptr);
    QAccessibleInterface* print = menu->child(1);
    ASSERT_NE(print, nullptr);
    EXPECT_EQ(print->text(QAccessible::Name), "Print...");
    EXPECT_EQ(print->text(QAccessible::Accelerator), "Ctrl+P");
    file->hide();
}

TEST_F(MenusAndKeys, AcceleratorKeysDoTheirCommandsAndNothingToTheGame) {
    ASSERT_TRUE(m_frame->RouteCommand(ID_OPTIONS_EASY));
    ProcessEvents();
    int s = 0;
    while (m_view->m_grid[s / 9][s % 9] != 0) {
        ++s;
    }
    TypeAt(*m_view, s / 9, s % 9, 4); // a green numeral that Delete would take away
    const CGameSnapshot before(*m_view);
    auto& noted = static_cast<CNotingApp&>(*m_app).m_fired;

    // The editing and pane keys reach their commands, which this program does not handle.
    Press(Qt::Key_Z, Qt::ControlModifier);
    Press(Qt::Key_Backspace, Qt::AltModifier);
    Press(Qt::Key_X, Qt::ControlModifier);
    Press(Qt::Key_Delete, Qt::ShiftModifier);
    Press(Qt::Key_C, Qt::ControlModifier);
    Press(Qt::Key_Insert, Qt::ControlModifier);
    Press(Qt::Key_V, Qt::ControlModifier);
    Press(Qt::Key_Insert, Qt::ShiftModifier);
    Press(Qt::Key_F6, Qt::NoModifier);
    Press(Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_EQ(noted,
              (std::vector<UINT>{ID_EDIT_UNDO, ID_EDIT_UNDO, ID_EDIT_CUT, ID_EDIT_CUT, ID_EDIT_COPY,
                                 ID_EDIT_COPY, ID_EDIT_PASTE, ID_EDIT_PASTE, ID_NEXT_PANE, ID_PREV_PANE}));
    EXPECT_TRUE(CGameSnapshot(*m_view) == before);
    EXPECT_TRUE(m_asked.empty());

    // New re-initialises the empty document and repaints the view, without a dialog.
    {
        CTextLog log;
        Press(Qt::Key_N, Qt::ControlModifier);
        m_view->UpdateWindow();
        EXPECT_EQ(log.Find("Cellwright").size(), 1u) << "the view was not repainted";
    }
    EXPECT_TRUE(m_asked.empty());
    // Open and Save show the file dialog for any file, and the document reads and writes nothing.
    Press(Qt::Key_O, Qt::ControlModifier);
    Press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(m_asked, (std::vector<std::string>{"fileopen All Files (*.*)", "filesave All Files (*.*)"}));
    EXPECT_TRUE(CGameSnapshot(*m_view) == before);
    EXPECT_EQ(noted.size(), 10u);
}

namespace {

// Holds every key the window system delivers and hands a copy on only when told, as a screen
// reader's bridge does once the reader has heard the key; like that bridge, it watches the
// application's events from before the menu bar does.
class CHeldKeys : public QObject {
  public:
    CHeldKeys() { qApp->installEventFilter(this); }
    ~CHeldKeys() override { qApp->removeEventFilter(this); }
    void Deliver() {
        for (auto& [target, key] : m_held) {
            if (target) {
                QCoreApplication::postEvent(target, key.release());
            }
        }
        m_held.clear();
        ProcessEvents();
    }

  protected:
    bool eventFilter(QObject* target, QEvent* e) override {
        if (!e->spontaneous() || (e->type() != QEvent::KeyPress && e->type() != QEvent::KeyRelease)) {
            return false;
        }
        const auto* k = static_cast<QKeyEvent*>(e);
        m_held.emplace_back(target, std::make_unique<QKeyEvent>(k->type(), k->key(), k->modifiers(),
                                                                k->nativeScanCode(), k->nativeVirtualKey(),
                                                                k->nativeModifiers(), k->text()));
        return true;
    }

  private:
    std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QKeyEvent>>> m_held;
};

} // namespace

// Alt tapped, or F10, puts the menu bar into its keyboard mode (File highlighted, the arrows
// moving along the bar, Down opening a menu), and a second tap leaves it: keys straight from the
// window system, and keys that a screen reader held and handed on after the menu bar saw them go
// by.
TEST_F(MenusAndKeys, AltOrF10LeadsToTheMenusAlsoWithTheKeysHeld) {
    QMainWindow* window = m_frame->MainWindow();
    window->show();
    ProcessEvents();
    QWindow* handle = window->windowHandle();
    ASSERT_NE(handle, nullptr);
    QMenuBar* bar = window->menuBar();
    for (const bool held : {false, true}) {
        SCOPED_TRACE(held ? "keys held" : "keys straight");
        std::unique_ptr<CHeldKeys> reader = held ? std::make_unique<CHeldKeys>() : nullptr;
        const auto tap = [&](Qt::Key key) {
            QTest::keyPress(handle, key, key == Qt::Key_Alt ? Qt::AltModifier : Qt::NoModifier);
            QTest::keyRelease(handle, key, Qt::NoModifier);
            ProcessEvents();
            if (reader) {
                reader->Deliver();
            }
        };
        for (const Qt::Key key : {Qt::Key_Alt, Qt::Key_F10}) {
            ASSERT_TRUE(m_view->Widget()->hasFocus());
            tap(key);
            ASSERT_NE(bar->activeAction(), nullptr) << "no menu highlighted";
            EXPECT_EQ(bar->activeAction()->text(), "&File");
            EXPECT_TRUE(bar->hasFocus());
            tap(Qt::Key_Right);
            EXPECT_EQ(bar->activeAction()->text(), "Options");
            tap(Qt::Key_Down);
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr) << "Down opened no menu";
            EXPECT_EQ(menu->activeAction()->text(), "Easy - Lots of Clues");
            menu->close();
            ProcessEvents();
            EXPECT_TRUE(m_view->Widget()->hasFocus()) << "the board did not get the keys back";
            // Tapped again before anything else, the key leaves the menu bar.
            tap(key);
            tap(key);
            EXPECT_EQ(bar->activeAction(), nullptr);
            EXPECT_TRUE(m_view->Widget()->hasFocus());
        }
    }
    EXPECT_EQ(m_view->m_option, 0) << "a key reached a menu command";
}
