// The menu bar and the accelerator table as the player meets them: the File menu opens on its
// separator, and every accelerator key, pressed as a real key, does what its command does and
// nothing to the game.

#include <QAccessible>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
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
