#pragma once
// Driving a game on the real view: points on the board, real Qt mouse and key events, the
// recorded sounds, and scripted answers for the own-numbers dialog.

#include <QLineEdit>
#include <QString>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "ViewHarness.h"
#include "entry/OwnNumbersDialog.h"

constexpr int kClientWidth = 1024;
constexpr int kClientHeight = 768;

// The very easy test puzzle of the dialog ('.' for an empty square) and its only solution.
extern const char* const kTestPuzzle[9];
extern const char* const kTestSolution[9];
int TestSolutionAt(int r, int c);

// --- points on the board (client pixels) ----------------------------------------------------------
CPoint RectCentre(const RECT& rect);
CPoint SquareCentre(const CQuillmoorView& view, int r, int c);
CPoint SlotCentre(const CQuillmoorView& view, int r, int c, int cell); // cell in reading order
CPoint BasketCentre(const CQuillmoorView& view, int numeral);
// A point on the line between squares (r, c) and (r, c + 1), inside no square.
CPoint GridLineRightOf(const CQuillmoorView& view, int r, int c);

// --- real events ------------------------------------------------------------------------------------
void LeftPress(CQuillmoorView& view, CPoint p);
void LeftRelease(CQuillmoorView& view, CPoint p);
void Click(CQuillmoorView& view, CPoint p);
void Drag(CQuillmoorView& view, CPoint from, CPoint to);
void DoubleClick(CQuillmoorView& view, CPoint p); // press, release, double-click, release
void RightClick(CQuillmoorView& view, CPoint p);
// A release delivered straight to the view, with no press before it.
void StrayRelease(CQuillmoorView& view, CPoint p);
void Key(CQuillmoorView& view, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Moves the caret from where it is to (r, c) with the arrow keys.
void MoveCaretTo(CQuillmoorView& view, int r, int c);
void TypeAt(CQuillmoorView& view, int r, int c, int digit);

// --- sounds -----------------------------------------------------------------------------------------
void ClearSounds();
std::vector<int> Sounds(); // ids in the order played

// --- board state ------------------------------------------------------------------------------------
const SquareRecord& Square(const CQuillmoorView& view, int r, int c);
int CountInSquare(const CQuillmoorView& view, int r, int c, int red, int green, int blue);
bool ShowsGreen(const CQuillmoorView& view, int r, int c);
bool ShowsBlue(const CQuillmoorView& view, int r, int c);
bool ShowsGray(const CQuillmoorView& view, int r, int c);
// Empty squares of the test puzzle, row by row.
std::vector<std::pair<int, int>> EmptySquares(const CQuillmoorView& view);
bool IsValidSolutionGrid(const int grid[9][9]);

// --- the own-numbers dialog -------------------------------------------------------------------------
// Answers the modal hook step by step while it lives: each step runs when the dialog (or a box)
// asks and returns the button to press; with no step left, Cancel. Message boxes get OK. Restores
// Cancel-only at the end.
class CDialogScript {
  public:
    using Step = std::function<int()>;
    CDialogScript();
    ~CDialogScript();
    CDialogScript& Then(Step step);
    int m_dialogCalls = 0;

  private:
    std::deque<Step> m_steps;
};

QLineEdit* Field(int r, int c);
QString FieldText(int r, int c);
QString StatusLine();
bool FieldHasFocus(int r, int c);
// Writes a whole entry into the open dialog's fields ('.' leaves a field empty, other characters
// are typed as they stand).
void FillFields(const char* const rows[9]);
void ClearEntryMembers();

// A view on its home page after the first paint.
std::unique_ptr<CQuillmoorView> HomePageView(unsigned seed = 7);
// A game under "Use Your Own Numbers" with the test puzzle loaded by the dialog's button.
std::unique_ptr<CQuillmoorView> TestPuzzleGame();
// A game under Easy or Hard started from the Options menu.
std::unique_ptr<CQuillmoorView> MenuGame(UINT commandId, unsigned seed);
