// "Use Your Own Numbers": the dialog's layout and fields, its two buttons, the checks after OK
// with their messages, "?" marks and focus, and Cancel.

#include <QDialog>
#include <QPushButton>
#include <QtTest/QTest>
#include <cstring>
#include <gtest/gtest.h>

#include "PlayHarness.h"
#include "common/MenuIds.h"

namespace {

int Ok() {
    return static_cast<int>(IDOK);
}

// The first n numerals of the test solution in row order, the other fields empty.
std::vector<std::string> FirstNumerals(int n) {
    std::vector<std::string> rows(9, std::string(9, '.'));
    for (int s = 0; s < n; ++s) {
        rows[static_cast<size_t>(s / 9)][static_cast<size_t>(s % 9)] = kTestSolution[s / 9][s % 9];
    }
    return rows;
}

void Fill(const std::vector<std::string>& rows) {
    const char* ptrs[9];
    for (int r = 0; r < 9; ++r) {
        ptrs[r] = rows[static_cast<size_t>(r)].c_str();
    }
    FillFields(ptrs);
}

std::vector<std::string> TestPuzzleWith(int r, int c, char ch) {
    std::vector<std::string> rows(kTestPuzzle, kTestPuzzle + 9);
    rows[static_cast<size_t>(r)][static_cast<size_t>(c)] = ch;
    return rows;
}

} // namespace

TEST(OwnNumbers, TheDialogHasItsFieldsInBoxesWithTabOrderByRow) {
    auto view = HomePageView();
    ClearEntryMembers();
    CDialogScript script;
    bool checked = false;
    script.Then([&] {
        QDialog* dialog = g_ownNumbersDialog.Dialog();
        EXPECT_EQ(dialog->windowTitle(), "Input Your Own Numbers");
        EXPECT_TRUE(FieldHasFocus(0, 0));
        // The tab chain runs through the 81 fields row by row.
        QWidget* w = Field(0, 0);
        for (int s = 1; s < 81; ++s) {
            w = w->nextInFocusChain();
            while (w->focusPolicy() != Qt::StrongFocus) {
                w = w->nextInFocusChain();
            }
            EXPECT_EQ(w, Field(s / 9, s % 9)) << "field " << s;
        }
        // Wider gaps between the boxes than between the fields of a box.
        const int inBox = Field(0, 1)->x() - Field(0, 0)->x();
        EXPECT_GT(Field(0, 3)->x() - Field(0, 2)->x(), inBox);
        EXPECT_GT(Field(3, 0)->y() - Field(2, 0)->y(), Field(1, 0)->y() - Field(0, 0)->y());
        EXPECT_GT(Field(1, 0)->y(), Field(0, 0)->y() + Field(0, 0)->height() - 1);
        EXPECT_TRUE(Field(4, 4)->alignment().testFlag(Qt::AlignHCenter));
        auto* ok = qobject_cast<QPushButton*>(g_ownNumbersDialog.GetDlgItem(IDOK)->Widget());
        EXPECT_TRUE(ok->isDefault());
        auto* test = qobject_cast<QPushButton*>(
            g_ownNumbersDialog.GetDlgItem(COwnNumbersDialog::kLoadTestButton)->Widget());
        EXPECT_EQ(test->text(), "Click Here To Load A Very Easy Test");
        EXPECT_NE(test->focusPolicy(), Qt::StrongFocus);

        // One character per field: the second keystroke is lost.
        QTest::keyClicks(Field(0, 0), "12");
        EXPECT_EQ(FieldText(0, 0), "1");
        checked = true;
        return static_cast<int>(IDCANCEL);
    });
    view->OnCmdMsg(ID_OPTIONS_OWN_NUMBERS, nullptr);
    EXPECT_TRUE(checked);
}

TEST(OwnNumbers, CountsOutsideTwentyToThirtyFiveAreReportedAndTheDialogComesBack) {
    auto view = HomePageView();
    ClearEntryMembers();
    QString afterNineteen, afterThirtySix;
    CDialogScript script;
    script
        .Then([] {
            Fill(FirstNumerals(19));
            return Ok();
        })
        .Then([&] {
            afterNineteen = StatusLine();
            Fill(FirstNumerals(36));
            return Ok();
        })
        .Then([&] {
            afterThirtySix = StatusLine();
            return static_cast<int>(IDCANCEL);
        });
    view->OnCmdMsg(ID_OPTIONS_OWN_NUMBERS, nullptr);
    EXPECT_EQ(afterNineteen, "Need at least 20 numbers. You only have 19.");
    EXPECT_EQ(afterThirtySix, "No more than 35 input numbers allowed. You have 36.");
    EXPECT_EQ(Sounds(), (std::vector<int>{103, 103}));
    EXPECT_EQ(view->m_option, 0);
}

TEST(OwnNumbers, BadFieldsAreMarkedWithAQuestionMarkAndGetTheFocus) {
    auto view = HomePageView();
    ClearEntryMembers();
    QString status1, status2;
    bool focus1 = false, focus2 = false, marks = false;
    CDialogScript script;
    script
        .Then([] {
            std::vector<std::string> rows = TestPuzzleWith(0, 0, 'x');
            rows[4][1] = '0';
            Fill(rows);
            return Ok();
        })
        .Then([&] {
            status1 = StatusLine();
            marks = FieldText(0, 0) == "?" && FieldText(4, 1) == "?" && FieldText(0, 1) == "8";
            focus1 = FieldHasFocus(0, 0);
            Field(0, 0)->clear(); // the other "?" is left as it is
            return Ok();
        })
        .Then([&] {
            status2 = StatusLine();
            focus2 = FieldHasFocus(4, 1);
            Field(4, 1)->clear();
            return Ok();
        });
    view->OnCmdMsg(ID_OPTIONS_OWN_NUMBERS, nullptr);
    EXPECT_EQ(status1, "Only numerals 1 through 9 are allowed. Fix cells with ?'s");
    EXPECT_TRUE(marks);
    EXPECT_TRUE(focus1);
    EXPECT_EQ(status2, status1);
    EXPECT_TRUE(focus2);
    EXPECT_EQ(Sounds(), (std::vector<int>{103, 103}));
    EXPECT_EQ(view->m_option, 3);
    EXPECT_EQ(view->m_givenCount, 35);
    EXPECT_EQ(view->m_grid[0][0], 0);
    EXPECT_EQ(view->m_grid[0][1], 8);
}

TEST(OwnNumbers, ACountOutOfRangeIsReportedBeforeTheQuestionMarks) {
    auto view = HomePageView();
    ClearEntryMembers();
    QString status;
    QString mark;
    CDialogScript script;
    script
        .Then([] {
            std::vector<std::string> rows = FirstNumerals(19);
            rows[5][5] = 'a';
            Fill(rows);
            return Ok();
        })
        .Then([&] {
            status = StatusLine();
            mark = FieldText(5, 5);
            return static_cast<int>(IDCANCEL);
        });
    view->OnCmdMsg(ID_OPTIONS_OWN_NUMBERS, nullptr);
    EXPECT_EQ(status, "Need at least 20 numbers. You only have 19.");
    EXPECT_EQ(mark, "?");
}

TEST(OwnNumbers, TheTestPuzzleLessOneNumberIsAcceptedAndBlanksAreEmptySquares) {
    auto view = HomePageView();
    ClearEntryMembers();
    CDialogScript script;
    script.Then([] { return COwnNumbersDialog::kLoadTestButton; }).Then([] {
        Field(8, 7)->clear();
        Field(8, 8)->setText(" ");
        return Ok();
    });
    view->OnCmdMsg(ID_OPTIONS_OWN_NUMBERS, nullptr);
    EXPECT_EQ(view->m_option, 3);
    EXPECT_EQ(view->m_givenCount, 34);
    EXPECT_EQ(view->m_points, 306);
    EXPECT_EQ(view->m_grid[8][7], 0);
    EXPECT_EQ(view->m_grid[8][8], 0);
    EXPECT_EQ(Sounds(), std::vector<int>{});
    // The board is on screen with its caret.
    EXPECT_GT(CountInSquare(*view, 0, 1, 255, 0, 0), 0);
    EXPECT_TRUE(AfxGetCaretState().visible);
}

TEST(OwnNumbers, ButtonsChangeTheEntryAtOnceAndCancelLosesOnlyWhatWasTyped) {
    auto view = HomePageView();
    ClearEntryMembers();
    bool loaded = false, cleared = false;
    {
        CDialogScript script;
        script.Then([] { return COwnNumbersDialog::kLoadTestButton; }).Then([&] {
            loaded = FieldText(0, 1) == "8" && FieldText(8, 7) == "5" && FieldText(0, 0).isEmpty();
            QTest::keyClicks(Field(0, 0), "3");
            return static_cast<int>(IDCANCEL);
        });
        view->OnCmdMsg(ID_OPTIONS_OWN_NUMBERS, nullptr);
    }
    EXPECT_TRUE(loaded);
    EXPECT_STREQ(g_ownNumbersDialog.m_cell[0][1], "8");
    EXPECT_TRUE(g_ownNumbersDialog.m_cell[0][0].IsEmpty());
    EXPECT_EQ(view->m_option, 0);

    {
        CDialogScript script;
        script.Then([] { return COwnNumbersDialog::kClearButton; }).Then([&] {
            cleared = FieldText(0, 1).isEmpty() && FieldText(8, 7).isEmpty();
            return static_cast<int>(IDCANCEL);
        });
        view->OnCmdMsg(ID_OPTIONS_OWN_NUMBERS, nullptr);
    }
    EXPECT_TRUE(cleared);
    EXPECT_TRUE(g_ownNumbersDialog.m_cell[0][1].IsEmpty());
    EXPECT_EQ(Sounds(), std::vector<int>{});
}

TEST(OwnNumbers, TheStatusLineStaysThroughTheButtonsAndIsEmptiedWhenTheCommandStarts) {
    auto view = HomePageView();
    ClearEntryMembers();
    QString afterTestButton;
    {
        CDialogScript script;
        script
            .Then([] { return Ok(); }) // all empty: 0 numbers
            .Then([] { return COwnNumbersDialog::kLoadTestButton; })
            .Then([&] {
                afterTestButton = StatusLine();
                return static_cast<int>(IDCANCEL);
            });
        view->OnCmdMsg(ID_OPTIONS_OWN_NUMBERS, nullptr);
    }
    EXPECT_EQ(afterTestButton, "Need at least 20 numbers. You only have 0.");

    QString atStart = "<not opened>";
    {
        CDialogScript script;
        script.Then([&] {
            atStart = StatusLine();
            return static_cast<int>(IDCANCEL);
        });
        view->OnCmdMsg(ID_OPTIONS_OWN_NUMBERS, nullptr);
    }
    EXPECT_TRUE(atStart.isEmpty());
}

TEST(OwnNumbers, CancelFromTheMenuKeepsTheHomePage) {
    auto view = HomePageView();
    ClearEntryMembers();
    int grid[9][9];
    std::memcpy(grid, view->m_grid, sizeof grid);
    const QImage page = view->BackingImage().copy();
    {
        CDialogScript script;
        view->OnCmdMsg(ID_OPTIONS_OWN_NUMBERS, nullptr);
        EXPECT_EQ(script.m_dialogCalls, 1);
    }
    ProcessEvents();
    EXPECT_EQ(view->m_option, 0);
    EXPECT_EQ(std::memcmp(grid, view->m_grid, sizeof grid), 0);
    EXPECT_TRUE(view->BackingImage() == page);
    EXPECT_EQ(Sounds(), std::vector<int>{});
}

TEST(OwnNumbers, CancelAfterARejectedEntryLeavesAProperGridForTheNextPuzzle) {
    // A rejected OK reads the fields into the grid; the next Easy game must not be made from them.
    auto view = HomePageView();
    ClearEntryMembers();
    {
        CDialogScript script;
        script.Then([] {
            Fill(FirstNumerals(12));
            return Ok();
        });
        view->OnCmdMsg(ID_OPTIONS_OWN_NUMBERS, nullptr);
    }
    EXPECT_EQ(view->m_option, 0);
    EXPECT_EQ(view->m_gridReady, 1);
    EXPECT_TRUE(IsValidSolutionGrid(view->m_grid));

    view->OnCmdMsg(ID_OPTIONS_EASY, nullptr);
    ASSERT_EQ(view->m_option, 1);
    int solution[9][9];
    for (int s = 0; s < 81; ++s) {
        solution[s / 9][s % 9] = view->m_solution[s].solution;
        if (view->m_grid[s / 9][s % 9] > 0) {
            EXPECT_EQ(view->m_grid[s / 9][s % 9], solution[s / 9][s % 9]);
        }
    }
    EXPECT_TRUE(IsValidSolutionGrid(solution));
}

// The dialog's template control by control, checked against its table written out here: ids,
// kinds, texts, styles and places in dialog units; then the open dialog shows every control with
// an id at its place in pixels (base units 6 x 13 of the 8-point dialog font).
TEST(OwnNumbers, TheTemplateMatchesTheDialogTableAndTheDialogShowsIt) {
    struct CControl {
        CDlgItemKind kind;
        int id;
        std::string text;
        int x, y, cx, cy;
        UINT style;
    };
    std::vector<CControl> table = {
        {CDlgItemKind::Static, -1,
         "Type in the initial values. Each number must range from 1 to 9. At least 20 numbers must be "
         "supplied. No more than 35 numbers may be given. The data input boxes below correspond to the 81 "
         "squares in the grid.",
         33, 15, 353, 17, 0},
        {CDlgItemKind::Static, -1,
         "Under this option a correct solution may not exist and will never be printed.", 33, 31, 354, 8, 0},
        {CDlgItemKind::Button, 1000, "Click Here To Load A Very Easy Test", 33, 47, 190, 11, 0},
        {CDlgItemKind::Button, 1001, "Clear", 285, 47, 102, 11, 0},
    };
    const int columns[9] = {33, 71, 109, 159, 197, 235, 285, 323, 361};
    const int rows[9] = {66, 89, 111, 146, 170, 193, 228, 250, 274};
    const int rowZero[9] = {1002, 1003, 1004, 1005, 1006, 1007, 1008, 1011, 1012};
    for (int r = 0; r < 9; ++r) {
        for (int c = 0; c < 9; ++c) {
            const UINT group = r == 0 && c == 0 ? WS_GROUP : 0;
            table.push_back({CDlgItemKind::Edit, r == 0 ? rowZero[c] : 1020 + 9 * (r - 1) + c, "", columns[c],
                             rows[r], 26, 14, WS_TABSTOP | ES_CENTER | ES_AUTOHSCROLL | group});
        }
    }
    table.push_back(
        {CDlgItemKind::Edit, 1014, "", 33, 308, 354, 14, WS_NOBORDER | ES_READONLY | ES_AUTOHSCROLL});
    table.push_back({CDlgItemKind::DefButton, 1, "OK", 150, 336, 50, 14, WS_TABSTOP});
    table.push_back({CDlgItemKind::Button, 2, "Cancel", 219, 336, 50, 14, WS_TABSTOP});

    const CDlgTemplate* t = AfxFindDialog(131);
    ASSERT_NE(t, nullptr);
    EXPECT_STREQ(t->title, "Input Your Own Numbers");
    EXPECT_EQ(t->cx, 420);
    EXPECT_EQ(t->cy, 357);
    EXPECT_STREQ(t->fontFace, "MS Sans Serif");
    EXPECT_EQ(t->fontPoints, 8);
    ASSERT_EQ(t->items.size(), table.size());
    for (size_t i = 0; i < table.size(); ++i) {
        const CDlgItem& item = t->items[i];
        const CControl& want = table[i];
        EXPECT_EQ(item.kind, want.kind) << i;
        EXPECT_EQ(item.id, want.id) << i;
        EXPECT_EQ(item.text, want.text) << i;
        EXPECT_EQ(CRect(item.x, item.y, item.x + item.cx, item.y + item.cy),
                  CRect(want.x, want.y, want.x + want.cx, want.y + want.cy))
            << "control " << want.id;
        EXPECT_EQ(item.style, want.style) << "control " << want.id;
    }

    auto view = HomePageView();
    CDialogScript script;
    script.Then([&] {
        for (const CControl& want : table) {
            if (want.id < 0) {
                continue;
            }
            CWnd* control = g_ownNumbersDialog.GetDlgItem(want.id);
            EXPECT_NE(control, nullptr) << want.id;
            if (control != nullptr) {
                EXPECT_EQ(control->Widget()->geometry(),
                          QRect(want.x * 6 / 4, want.y * 13 / 8, want.cx * 6 / 4, want.cy * 13 / 8))
                    << "control " << want.id;
            }
        }
        return static_cast<int>(IDCANCEL);
    });
    view->OnCmdMsg(ID_OPTIONS_OWN_NUMBERS, nullptr);
    EXPECT_EQ(script.m_dialogCalls, 1);
}
