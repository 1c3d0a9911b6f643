// What a screen reader finds on the play screen, said in words: the grid as a table of 81 cells
// whose names tell what each square holds, the baskets and the round buttons as buttons that do
// what a click does, the score panels, the verdict and the two text panels as text, and the
// instruction page as one text. The caret square is the focused cell; after DONE the verdict is.

#include "screen/QuillmoorView.h"

namespace {

// Item ids; cells and baskets are numbered on from their first.
enum : int {
    kPage = 1,
    kGrid,
    kPoints,
    kPerformance,
    kVerdict,
    kDoneButton,
    kHomeButton,
    kAgainButton,
    kOptionPanel,
    kHelpPanel,
    kFirstBasket = 11, // numeral 1; up to 19
    kFirstCell = 100,  // square 0; up to 180
};

bool IsCell(int id) {
    return id >= kFirstCell && id < kFirstCell + 81;
}

bool IsBasket(int id) {
    return id >= kFirstBasket && id < kFirstBasket + 9;
}

const char kKeysHelp[] =
    "Keys: the arrow keys move the caret from square to square. 1 to 9 type a numeral into the caret "
    "square (1 point); typing one of its possibles chooses it. Backspace removes your numeral there, F "
    "fixes or unfixes it, P buys the square's possibles (5 points). Delete removes all your green "
    "numerals, Home fixes them all. D presses DONE; after the verdict H goes home and A plays again. F1 "
    "shows the instructions, End returns to the game, Page Down and Page Up turn the pages.";

} // namespace

int CQuillmoorView::AccessibleChildren(int id, int* children) const {
    const bool boardShown = !InstructionPagesShown() && m_option != kOptionHome;
    int count = 0;
    if (id == 0 && InstructionPagesShown()) {
        children[count++] = kPage;
    } else if (id == 0 && boardShown) {
        children[count++] = kGrid;
        for (int i = 0; i < 9; ++i) {
            children[count++] = kFirstBasket + i;
        }
        if (m_phase == kPhasePlaying) {
            children[count++] = kDoneButton;
        } else {
            children[count++] = kHomeButton;
            children[count++] = kAgainButton;
        }
        children[count++] = kPoints;
        if (m_phase != kPhasePlaying) {
            children[count++] = kPerformance;
        }
        if (m_phase == kPhaseFinished) {
            children[count++] = kVerdict;
        }
        children[count++] = kOptionPanel;
        children[count++] = kHelpPanel;
    } else if (id == kGrid && boardShown) {
        for (int s = 0; s < 81; ++s) {
            children[count++] = kFirstCell + s;
        }
    }
    return count;
}

CString CQuillmoorView::SquareDescription(int r, int c) const {
    const SquareRecord& sq = m_squares[r * 9 + c];
    CString text;
    text.Format("Row %i, column %i: ", r + 1, c + 1);
    CString content;
    if (m_grid[r][c] > 0) {
        content.Format("%i, original", m_grid[r][c]);
    } else if (sq.value > 0) {
        content.Format("%i, %s", sq.value, sq.fixed == 1 ? "fixed" : "yours");
    } else if (sq.possiblesPaid > 0 && sq.possibles[0] > 0) {
        content = "empty, possibles";
        for (int k = 0; k < 9 && sq.possibles[k] > 0; ++k) {
            content += ' ';
            content += static_cast<char>('0' + sq.possibles[k]);
        }
    } else {
        content = sq.possiblesPaid > 0 ? "empty, no possibles left" : "empty";
    }
    return text + content;
}

bool CQuillmoorView::DescribeAccessible(int id, CAccessibleItem* item) {
    int children[kMaxAccessibleChildren];
    const int shown = AccessibleChildren(0, children);
    bool listed = id == 0;
    for (int i = 0; i < shown && !listed; ++i) {
        listed = children[i] == id || (children[i] == kGrid && IsCell(id));
    }
    if (!listed) {
        return false;
    }
    *item = CAccessibleItem();
    if (id == 0) {
        item->name = "Cellwright";
        item->description = kKeysHelp;
        item->rect = m_clientRect;
    } else if (id == kPage) {
        item->name = InstructionPageText();
        item->description = "Page Down and Page Up turn the pages; End returns to a game.";
        item->rect = m_clientRect;
        item->focusable = true;
    } else if (id == kGrid) {
        item->role = CAccessibleRole::Table;
        item->name = "Grid";
        item->description = kKeysHelp;
        item->rect = {m_squareRect[0][0].left, m_squareRect[0][0].top, m_squareRect[8][8].right,
                      m_squareRect[8][8].bottom};
        item->rows = 9;
        item->columns = 9;
    } else if (IsCell(id)) {
        const int s = id - kFirstCell;
        item->role = CAccessibleRole::Cell;
        item->name = SquareDescription(s / 9, s % 9);
        item->rect = m_squareRect[s / 9][s % 9];
        item->row = s / 9;
        item->column = s % 9;
        item->focusable = true;
    } else if (IsBasket(id)) {
        const int n = id - kFirstBasket + 1;
        item->role = CAccessibleRole::Button;
        item->name.Format("Basket %i", n);
        item->description.Format("Types %i into the caret square, for 1 point. Key: %i.", n, n);
        item->key.Format("%i", n);
        item->rect = m_squareRect[9][n - 1];
    } else if (id == kDoneButton || id == kHomeButton || id == kAgainButton) {
        item->role = CAccessibleRole::Button;
        item->name = id == kDoneButton ? "DONE" : id == kHomeButton ? "HOME" : "AGAIN";
        item->description = id == kDoneButton   ? "Has the grid judged. Key: D."
                            : id == kHomeButton ? "Back to the instructions. Key: H."
                                                : "A new puzzle of the same kind. Key: A.";
        item->key = id == kDoneButton ? "D" : id == kHomeButton ? "H" : "A";
        item->rect = id == kAgainButton ? m_againButtonRect : m_doneButtonRect;
    } else if (id == kPoints) {
        item->name.Format(m_phase == kPhasePlaying ? "Points left: %i" : "Final score: %i", m_points);
        item->rect = m_pointsPanelRect;
    } else if (id == kPerformance) {
        item->name.Format("Performance: %i%%", ComputePerformance());
        item->rect = m_performancePanelRect;
    } else if (id == kVerdict) {
        const char* verdict = m_verdict == kVerdictCorrect ? "Correct: OK  OK  OK  OK  OK." : "Not correct.";
        item->name.Format("%s Final score %i, performance %i%%.", verdict, m_points, ComputePerformance());
        item->rect = m_messageRect;
        item->focusable = true;
        item->urgent = true;
    } else if (id == kOptionPanel) {
        item->name = OptionPanelText();
        item->rect = m_optionPanelRect;
    } else if (id == kHelpPanel) {
        item->name = HelpPanelText();
        item->rect = m_helpPanelRect;
    }
    return true;
}

int CQuillmoorView::AccessibleFocus() const {
    if (InstructionPagesShown()) {
        return kPage;
    }
    if (m_option == kOptionHome) {
        return 0;
    }
    return m_phase == kPhaseFinished ? kVerdict : kFirstCell + m_caretRow * 9 + m_caretCol;
}

void CQuillmoorView::OnAccessiblePress(int id) {
    UpdateCaption();
    if (IsBasket(id)) {
        if (Playing()) {
            TypeDigit(id - kFirstBasket + 1);
        }
    } else if (id == kDoneButton) {
        PressDone();
    } else if (id == kHomeButton) {
        PressHome();
    } else if (id == kAgainButton) {
        PressAgain();
    }
}
