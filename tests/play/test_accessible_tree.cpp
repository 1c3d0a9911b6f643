// What a screen reader is handed for the play screen, read through Qt's accessibility as its
// bridge reads it: the page, the grid as a table of named cells, the buttons and their press, and
// interfaces that go with the view.

#include <QAccessible>
#include <gtest/gtest.h>

#include "PlayHarness.h"

namespace {

QAccessibleInterface* ViewInterface(CQuillmoorView& view) {
    return QAccessible::queryAccessibleInterface(view.Widget());
}

QAccessibleInterface* ChildNamed(QAccessibleInterface* parent, const QString& name) {
    for (int i = 0; i < parent->childCount(); ++i) {
        if (parent->child(i)->text(QAccessible::Name) == name) {
            return parent->child(i);
        }
    }
    return nullptr;
}

} // namespace

TEST(AccessibleTree, TheScreenIsReadAsItIsShownAndTheInterfacesGoWithTheView) {
    auto home = HomePageView();
    QAccessibleInterface* screen = ViewInterface(*home);
    ASSERT_NE(screen, nullptr);
    ASSERT_EQ(screen->childCount(), 1);
    EXPECT_EQ(screen->child(0)->role(), QAccessible::StaticText);
    EXPECT_TRUE(screen->child(0)->text(QAccessible::Name).startsWith("Page 1 of "));
    EXPECT_TRUE(screen->child(0)->text(QAccessible::Name).endsWith("Go to the Options menu to start."));

    auto view = TestPuzzleGame();
    screen = ViewInterface(*view);
    QAccessibleInterface* grid = screen->child(0);
    ASSERT_EQ(grid->role(), QAccessible::Table);
    QAccessibleTableInterface* table = grid->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rowCount(), 9);
    EXPECT_EQ(grid->childCount(), 81);
    QAccessibleInterface* cell = table->cellAt(4, 0);
    EXPECT_EQ(cell->text(QAccessible::Name), "Row 5, column 1: 8, original");
    EXPECT_EQ(cell->tableCellInterface()->rowIndex(), 4);
    EXPECT_EQ(cell->parent(), grid);
    EXPECT_EQ(grid->focusChild(), table->cellAt(0, 0)); // the caret's square
    EXPECT_EQ(table->cellAt(9, 0), nullptr);
    for (int s = 0; s < 81; ++s) {
        EXPECT_EQ(grid->indexOfChild(grid->child(s)), s);
    }

    // A basket's press types its numeral at the caret, from the event loop, as a click would.
    QAccessibleInterface* basket = ChildNamed(screen, "Basket 5");
    ASSERT_NE(basket, nullptr);
    ASSERT_NE(basket->actionInterface(), nullptr);
    EXPECT_EQ(basket->actionInterface()->keyBindingsForAction(QAccessibleActionInterface::pressAction()),
              QStringList{"5"});
    basket->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(Square(*view, 0, 0).value, 0);
    ProcessEvents();
    EXPECT_EQ(Square(*view, 0, 0).value, 5);
    EXPECT_EQ(table->cellAt(0, 0)->text(QAccessible::Name), "Row 1, column 1: 5, yours");
    EXPECT_EQ(ChildNamed(screen, "Points left: 299")->role(), QAccessible::StaticText);

    // DONE's press brings the verdict, HOME and AGAIN; DONE itself is gone.
    ChildNamed(screen, "DONE")->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ProcessEvents();
    ASSERT_EQ(view->m_phase, 2);
    EXPECT_EQ(ChildNamed(screen, "DONE"), nullptr);
    ASSERT_NE(ChildNamed(screen, "HOME"), nullptr);
    EXPECT_NE(ChildNamed(screen, "Not correct. Final score 0, performance 0%."), nullptr);

    // The view's item interfaces go with it; none is left for a screen reader to call.
    const QAccessible::Id cellId = QAccessible::uniqueId(table->cellAt(0, 0));
    view.reset();
    EXPECT_EQ(QAccessible::accessibleInterface(cellId), nullptr);
}
