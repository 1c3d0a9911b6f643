#include "PlayHarness.h"

#include <QApplication>
#include <QDialog>
#include <QMouseEvent>
#include <QtTest/QTest>

#include "common/MenuIds.h"

const char* const kTestPuzzle[9] = {
    ".89.17.4.", ".64..978.", "...6....5", ".32.9....", "8..463..9",
    "....2.51.", "6....5...", ".259..43.", ".7.13.95.",
};
const char* const kTestSolution[9] = {
    "589317642", "364259781", "217684395", "732591864", "851463279",
    "946728513", "693845127", "125976438", "478132956",
};

int TestSolutionAt(int r, int c) {
    return kTestSolution[r][c] - '0';
}

// --- points ----------------------------------------------------------------------------------------

CPoint RectCentre(const RECT& rect) {
    return CPoint((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

CPoint SquareCentre(const CQuillmoorView& view, int r, int c) {
    return RectCentre(view.m_squareRect[r][c]);
}

CPoint SlotCentre(const CQuillmoorView& view, int r, int c, int cell) {
    return RectCentre(view.m_possibleRect[r * 10 + c][cell]);
}

CPoint BasketCentre(const CQuillmoorView& view, int numeral) {
    return RectCentre(view.m_squareRect[9][numeral - 1]);
}

CPoint GridLineRightOf(const CQuillmoorView& view, int r, int c) {
    const RECT& sq = view.m_squareRect[r][c];
    return CPoint(sq.right, (sq.top + sq.bottom) / 2);
}

// --- events ----------------------------------------------------------------------------------------

namespace {
QPoint Q(CPoint p) {
    return QPoint(p.x, p.y);
}
} // namespace

void LeftPress(CQuillmoorView& view, CPoint p) {
    QTest::mousePress(view.Widget(), Qt::LeftButton, Qt::NoModifier, Q(p));
    ProcessEvents();
}

void LeftRelease(CQuillmoorView& view, CPoint p) {
    QTest::mouseRelease(view.Widget(), Qt::LeftButton, Qt::NoModifier, Q(p));
    ProcessEvents();
}

void Click(CQuillmoorView& view, CPoint p) {
    LeftPress(view, p);
    LeftRelease(view, p);
}

void Drag(CQuillmoorView& view, CPoint from, CPoint to) {
    LeftPress(view, from);
    LeftRelease(view, to);
}

void DoubleClick(CQuillmoorView& view, CPoint p) {
    QTest::mousePress(view.Widget(), Qt::LeftButton, Qt::NoModifier, Q(p));
    QTest::mouseRelease(view.Widget(), Qt::LeftButton, Qt::NoModifier, Q(p));
    QTest::mouseDClick(view.Widget(), Qt::LeftButton, Qt::NoModifier, Q(p));
    QTest::mouseRelease(view.Widget(), Qt::LeftButton, Qt::NoModifier, Q(p));
    ProcessEvents();
}

void RightClick(CQuillmoorView& view, CPoint p) {
    QTest::mouseClick(view.Widget(), Qt::RightButton, Qt::NoModifier, Q(p));
    ProcessEvents();
}

void StrayRelease(CQuillmoorView& view, CPoint p) {
    const QPointF local(p.x, p.y);
    QMouseEvent release(QEvent::MouseButtonRelease, local, view.Widget()->mapToGlobal(local), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view.Widget(), &release);
    ProcessEvents();
}

void Key(CQuillmoorView& view, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(view.Widget(), key, modifiers);
}

void MoveCaretTo(CQuillmoorView& view, int r, int c) {
    for (int n = (c - view.m_caretCol + 9) % 9; n > 0; --n) {
        Key(view, Qt::Key_Right);
    }
    for (int n = (r - view.m_caretRow + 9) % 9; n > 0; --n) {
        Key(view, Qt::Key_Down);
    }
}

void TypeAt(CQuillmoorView& view, int r, int c, int digit) {
    MoveCaretTo(view, r, c);
    Key(view, static_cast<Qt::Key>(Qt::Key_0 + digit));
}

// --- sounds ----------------------------------------------------------------------------------------

void ClearSounds() {
    TestSoundRecorder().m_cues.clear();
}

std::vector<int> Sounds() {
    std::vector<int> ids;
    for (const auto& cue : TestSoundRecorder().m_cues) {
        ids.push_back(cue.id);
    }
    return ids;
}

// --- board -----------------------------------------------------------------------------------------

const SquareRecord& Square(const CQuillmoorView& view, int r, int c) {
    return view.m_squares[r * 9 + c];
}

int CountInSquare(const CQuillmoorView& view, int r, int c, int red, int green, int blue) {
    return CountColour(view, view.m_squareRect[r][c], red, green, blue);
}

bool ShowsGreen(const CQuillmoorView& view, int r, int c) {
    return CountInSquare(view, r, c, 0, 128, 128) > 0;
}

bool ShowsBlue(const CQuillmoorView& view, int r, int c) {
    return CountInSquare(view, r, c, 0, 0, 128) > 0;
}

bool ShowsGray(const CQuillmoorView& view, int r, int c) {
    return CountInSquare(view, r, c, 160, 160, 160) > 0;
}

std::vector<std::pair<int, int>> EmptySquares(const CQuillmoorView& view) {
    std::vector<std::pair<int, int>> empty;
    for (int r = 0; r < 9; ++r) {
        for (int c = 0; c < 9; ++c) {
            if (view.m_grid[r][c] == 0) {
                empty.emplace_back(r, c);
            }
        }
    }
    return empty;
}

bool IsValidSolutionGrid(const int grid[9][9]) {
    for (int i = 0; i < 9; ++i) {
        int rowSeen = 0, colSeen = 0, boxSeen = 0;
        for (int j = 0; j < 9; ++j) {
            const int inRow = grid[i][j];
            const int inCol = grid[j][i];
            const int inBox = grid[(i / 3) * 3 + j / 3][(i % 3) * 3 + j % 3];
            for (int v : {inRow, inCol, inBox}) {
                if (v < 1 || v > 9) {
                    return false;
                }
            }
            rowSeen |= 1 << inRow;
            colSeen |= 1 << inCol;
            boxSeen |= 1 << inBox;
        }
        if (rowSeen != 0x3FE || colSeen != 0x3FE || boxSeen != 0x3FE) {
            return false;
        }
    }
    return true;
}

// --- dialog ----------------------------------------------------------------------------------------

CDialogScript::CDialogScript() {
    AfxSetModalHook([this](const char* kind, QWidget*, const char*) {
        if (std::string(kind) != "dialog") {
            return static_cast<int>(IDOK);
        }
        ++m_dialogCalls;
        if (m_steps.empty()) {
            return static_cast<int>(IDCANCEL);
        }
        Step step = m_steps.front();
        m_steps.pop_front();
        return step();
    });
}

CDialogScript::~CDialogScript() {
    AfxSetModalHook([](const char*, QWidget*, const char*) { return static_cast<int>(IDCANCEL); });
}

CDialogScript& CDialogScript::Then(Step step) {
    m_steps.push_back(std::move(step));
    return *this;
}

QLineEdit* Field(int r, int c) {
    CWnd* wnd = g_ownNumbersDialog.GetDlgItem(COwnNumbersDialog::FieldId(r, c));
    return wnd ? qobject_cast<QLineEdit*>(wnd->Widget()) : nullptr;
}

QString FieldText(int r, int c) {
    QLineEdit* edit = Field(r, c);
    return edit ? edit->text() : QString("<closed>");
}

QString StatusLine() {
    CWnd* wnd = g_ownNumbersDialog.GetDlgItem(COwnNumbersDialog::kStatusLine);
    auto* edit = wnd ? qobject_cast<QLineEdit*>(wnd->Widget()) : nullptr;
    return edit ? edit->text() : QString("<closed>");
}

bool FieldHasFocus(int r, int c) {
    QDialog* dialog = g_ownNumbersDialog.Dialog();
    return dialog != nullptr && dialog->focusWidget() == Field(r, c);
}

void FillFields(const char* const rows[9]) {
    for (int r = 0; r < 9; ++r) {
        for (int c = 0; c < 9; ++c) {
            const char ch = rows[r][c];
            Field(r, c)->setText(ch == '.' ? QString() : QString(QChar(ch)));
        }
    }
}

void ClearEntryMembers() {
    for (auto& row : g_ownNumbersDialog.m_cell) {
        for (CString& cell : row) {
            cell.Empty();
        }
    }
    g_ownNumbersDialog.m_status.Empty();
}

// --- games -----------------------------------------------------------------------------------------

std::unique_ptr<CQuillmoorView> HomePageView(unsigned seed) {
    ClearSounds();
    return MakePaintedView(kClientWidth, kClientHeight, seed);
}

std::unique_ptr<CQuillmoorView> TestPuzzleGame() {
    auto view = HomePageView();
    ClearEntryMembers();
    {
        CDialogScript script;
        script.Then([] { return COwnNumbersDialog::kLoadTestButton; }).Then([] {
            return static_cast<int>(IDOK);
        });
        view->OnCmdMsg(ID_OPTIONS_OWN_NUMBERS, nullptr);
    }
    ProcessEvents();
    ClearSounds();
    return view;
}

std::unique_ptr<CQuillmoorView> MenuGame(UINT commandId, unsigned seed) {
    auto view = HomePageView(seed);
    view->OnCmdMsg(commandId, nullptr);
    ProcessEvents();
    ClearSounds();
    return view;
}
