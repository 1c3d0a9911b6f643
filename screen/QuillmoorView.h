#pragma once
// The play screen: the one view of the program. It owns the whole game state (through
// CGameCore), the drawing resources and the screen geometry, and paints the board.

#include "core/GameCore.h"
#include "instructions/PageLayout.h"
#include "platform/Afx.h"

class CQuillmoorView : public CView, public CGameCore {
  public:
    CQuillmoorView();
    ~CQuillmoorView() override;

    CQuillmoorView(const CQuillmoorView&) = delete;
    CQuillmoorView& operator=(const CQuillmoorView&) = delete;

    // m_phase: a game in play, DONE pressed (judged at the release), or judged.
    enum : int { kPhasePlaying = 0, kPhaseDonePressed = 1, kPhaseFinished = 2 };
    // m_verdict: none yet, or the judged grid was correct or wrong.
    enum : int { kVerdictNone = -1, kVerdictCorrect = 0, kVerdictWrong = 1 };

    // Window caption: maker's notice, the local date and time, the version string.
    void UpdateCaption();
    // The caption's text, which also heads every printed page; m_timeText is its date and time.
    CString NoticeWithTime();

    // Paint dispatcher: geometry, fonts, first grid, then the instruction page or the board.
    void OnDraw(CDC* pDC) override;

    // Board painting (each opens its own client DC on the view).
    void PaintBoard() override;
    void DrawSquarePossibles(int r, int c) override;
    void DrawTextPanels();
    // The texts of the two panels beside the grid: how to play, and the option with its score.
    static CString HelpPanelText();
    CString OptionPanelText() const;
    // Parts of the board, drawn on a DC the caller holds.
    void DrawGridLines(CDC& dc);
    void DrawSquares(CDC& dc);
    void DrawBaskets(CDC& dc);
    void DrawPlayingControls(CDC& dc);
    void DrawFinishedControls(CDC& dc);
    void DrawFinishedButtons(CDC& dc);
    void DrawScorePanels(CDC& dc, bool withPerformance);
    void DrawPointsNumber(CDC& dc);
    void DrawVerdictLine(CDC& dc);
    // A bitmap scaled into a rectangle of the screen, without smoothing.
    static void DrawScaled(CDC& dc, CBitmap& bitmap, int x, int y, int width, int height, int bitmapWidth,
                           int bitmapHeight);
    // A number as the board writes it.
    static CString NumberText(int value);
    // The sizes the basket and score-panel bitmaps are drawn from.
    static constexpr int kBasketBitmapSide = 68;
    static constexpr int kPanelBitmapWidth = 108;
    static constexpr int kPanelBitmapHeight = 58;

    // Core hooks.
    void ErasePossiblesArea(int r, int c) override;
    void BeginSetupWait() override;
    void EndSetupWait() override;
    void ShowPuzzleCaret() override;
    void CreatePuzzleCaret() override;

    // Instruction pages: layout for the client size, one page with its footer, and paging.
    void LayoutInstructionPages();
    void DrawInstructionPage(CDC* pDC);
    // What the page shown says, for listeners: its number, its lines and its prompts.
    CString InstructionPageText() const;
    void NextInstructionPage();
    void PreviousInstructionPage();
    void ShowInstructions();
    void ReturnToGame();

    // Keys, as virtual-key codes; PlayKey takes those that play on the board.
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) override;
    void PlayKey(UINT nChar);

    // ===== play: mouse, keys, game flow (MousePlay.cpp, KeyboardPlay.cpp, GameFlow.cpp) =========
    void OnLButtonDown(UINT nFlags, CPoint point) override;
    void OnLButtonUp(UINT nFlags, CPoint point) override;
    void OnLButtonDblClk(UINT nFlags, CPoint point) override;
    void OnRButtonDown(UINT nFlags, CPoint point) override;

    // Possibles list position k is shown in the possible-cell kPossibleSlot[k] (reading order):
    // along the edges, the centre cell last. A click is mapped back through the same table.
    static constexpr int kPossibleSlot[9] = {0, 1, 2, 3, 5, 6, 7, 8, 4};

    // Strict hit tests: a point on a border line lies in no rectangle.
    static bool HitsStrictly(const RECT& rect, CPoint point);
    bool FindSquare(CPoint point, int* row, int* col) const;
    void FindSlot(int r, int c, CPoint point, int* slotRow, int* slotCol) const;

    // Immediate drawing before the refresh: a numeral in its square's centre cell (0 erases it),
    // and the points number after a charge.
    void DrawNumeralNow(CDC& dc, int r, int c, int value, COLORREF colour);
    void DrawPointsNow(CDC& dc);
    // After every change of the board: bought possibles recomputed, then the whole screen.
    void RefreshBoard();
    void ShowChargedNumeral(int r, int c, int n);

    // The player's actions, one route each for the mouse, the keys and assistive technologies
    // (PlayerActions.cpp). A refused action plays the 'brrr' and answers false.
    bool PlayerPlaces(int r, int c, int n);
    bool PlayerChoosesPossible(int r, int c, int k);
    bool PlayerRemoves(int r, int c);
    bool PlayerMoves(int fromRow, int fromCol, int toRow, int toCol);
    bool PlayerFixes(int r, int c);
    bool PlayerBuysPossibles(int r, int c);

    void ShowCaretCompletely();
    // m_caretX, m_caretY: where the caret stands in its square.
    void NoteCaretPosition();
    void MoveCaret(int rowStep, int colStep);
    void TypeDigit(int digit);
    void RemoveGreenNumerals();
    void FixGreenNumerals();
    // Whether a game is on the screen and in play (not finished, no instruction pages over it).
    bool Playing() const;
    // The round buttons, from the keys and assistive technologies: each acts only while shown.
    void PressDone();
    void PressHome();
    void PressAgain();

    // What a screen reader finds on the screen (ViewAccessibility.cpp).
    int AccessibleChildren(int id, int* children) const override;
    bool DescribeAccessible(int id, CAccessibleItem* item) override;
    int AccessibleFocus() const override;
    void OnAccessiblePress(int id) override;
    // A square in words: "Row 3, column 5: 7, original".
    CString SquareDescription(int r, int c) const;

    // Whether the full grid breaks no rule; the DONE verdict.
    bool CheckGrid();
    void DoneVerdict();
    void GoHome();
    void ResetGameFlow();
    void PlayAgain();
    void OnUseYourOwnNumbers();
    // Reads the dialog's fields into the grid: the numerals it holds (m_givenCount), and the
    // fields that hold anything else, marked "?"; their count.
    int ReadOwnNumbers();

    // Drag state from a left press to the following release (-1: none).
    int m_dragNumber = 0;
    int m_downRow = -1;
    int m_downCol = -1;
    int m_downSlotRow = -1;
    int m_downSlotCol = -1;
    int m_upRow = -1;
    int m_upCol = -1;
    int m_upSlotRow = -1;
    int m_upSlotCol = -1;
    int m_pressedOnNumber = 0;
    int m_pressedOnPossible = 0;
    int m_rightRow = -1;
    int m_rightCol = -1;
    int m_doubleClickPending = 0;
    int m_leftPressInView = 0; // a release acts only after a press inside the view

    // The own-numbers entry was opened by AGAIN (Cancel then goes home).
    int m_ownNumbersFromAgain = 0;
    // ===== end of play ==========================================================================

    // Commands of the Options menu (the Fonts menu's are SetFontFace and UpdateFontItem).
    void OnUpdateOptions(CCmdUI* pCmdUI);

    // Hides the caret until the view's show count is back to 0.
    void HideCaretCompletely();

    // The page-metrics table of the instruction layout, by client size.
    static void PageMetricsFor(int width, int height, int* panelFontDivisor, int* bodyFontDivisor,
                               int* panelFontAdjust);

    // --- screen metrics, recomputed at every paint -------------------------------------------
    int m_squareHeight = 0;
    int m_squareWidth = 0;
    int m_gridTop = 0;
    int m_gridLeft = 0;
    int m_possibleSize = 0;
    int m_panelWidth = 0;
    int m_panelHeight = 0;
    int m_panelInset = 0;

    // --- rectangles (client pixels; right and bottom exclusive) ------------------------------
    CRect m_clientRect;
    CRect m_lastClientRect; // client size of the last instruction layout; empty before the first
    CRect m_squareRect[10][11];
    CRect m_possibleRect[100][9];
    CRect m_doneButtonRect;
    CRect m_againButtonRect;
    CRect m_pointsPanelRect;
    CRect m_pointsNumberRect;
    CRect m_pointsLabelRect;
    CRect m_performancePanelRect;
    CRect m_performanceNumberRect;
    CRect m_performanceLabelRect;
    CRect m_optionPanelRect;
    CRect m_helpPanelRect;
    CRect m_titleRect;
    CRect m_messageRect;

    // --- instruction page metrics --------------------------------------------------------------
    int m_panelFontDivisor = 42;
    int m_bodyFontDivisor = 31;
    int m_panelFontAdjust = 0;

    // --- drawing resources ---------------------------------------------------------------------
    CPen m_boxPen;
    CPen m_linePen;
    CPen m_donePen;
    CPen m_homePen;
    CPen m_againPen;
    CBrush m_doneBrush;
    CBrush m_homeBrush;
    CBrush m_againBrush;
    CBrush m_whiteBrush;

    CFont m_fonts[12];
    CFont& m_possiblesFont = m_fonts[0];
    CFont& m_mainFont = m_fonts[1];
    CFont& m_playerFont = m_fonts[3];
    CFont& m_helpTitleFont = m_fonts[4];
    CFont& m_helpBodyFont = m_fonts[5];
    CFont& m_panelFont = m_fonts[6];
    CFont& m_bannerFont = m_fonts[10];
    CFont& m_verdictFont = m_fonts[11];

    CBitmap m_basketBitmaps[9];
    CBitmap m_panelBitmap;
    CBitmap m_caretBitmap;

    // --- fonts menu, caret, texts --------------------------------------------------------------
    CString m_fontName;
    int m_fontIndex = 0;
    int m_caretX = 0;
    int m_caretY = 0;
    CString m_timeText;
    static constexpr int kHelpTextCapacity = 1000;
    CString m_helpText[kHelpTextCapacity];
    const char* m_helpChunks[kHelpTextCapacity] = {}; // m_helpText as the layout engine reads it

    // --- game flow and instruction state read by the painter ------------------------------------
    int m_phase = kPhasePlaying;
    int m_verdict = kVerdictNone;
    int m_helpShown = 0;
    int m_pageCount = 0;
    int m_currentPage = 1;
    int m_printLayoutDone = 0;

    // --- instruction pages, laid out for the client size ---------------------------------------
    CPageBook m_pages; // page n (counted from 1) is m_pages' page n - 1
    int m_textWidth = 0;
    int m_textHeight = 0;
    int m_lineHeight = 0;
    int m_linesPerPage = 0;
    int m_bodyFontHeight = 0;
    int m_titleFontHeight = 0;
    int m_panelFontHeight = 0;

    // ===== printing (printing/Printing.cpp) ======================================================
    // The maker's notice: it opens the window caption and the header of every printed page.
    static constexpr char kMakerNotice[] = "Cellwright - free Sudoku for the desktop - ";

    // The framework's print flow calls these in order, unless the Print dialog was cancelled.
    void OnPrint(CDC* pDC, CPrintInfo* pInfo) override;
    void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo) override;
    void PrintInstructions(CDC* pDC);
    void LayoutPrintPages(CDC* pDC);
    void PrintInstructionPage(CDC* pDC);
    void PrintGrid(CDC* pDC);
    // Ctrl+P and File > Print: the print flow with the Print dialog; ID_FILE_PRINT_DIRECT: the
    // same without it. When the environment variable CELLWRIGHT_PRINT_TO_PDF names a file, both
    // run the flow into that PDF without a dialog.
    void OnPrintCommand();
    void OnPrintDirectCommand();
    void PrintIntoPdf(const char* pdfPath);

    // Sheet metrics, taken afresh from the printable area at every OnPrint (printer pixels).
    CRect m_printRect;
    int m_printTextWidth = 0;
    int m_printSideMargin = 0;
    int m_printTextHeight = 0;
    int m_printFontHeight = 0;
    int m_printTopMargin = 0;
    int m_printCell = 0;
    int m_printGridLeft = 0;
    int m_printGridTop = 0;

    // The instructions laid out for paper; kept until m_printLayoutDone is cleared or the sheet
    // size changes. Like the screen's, the book grows past ten pages when a sheet needs more.
    CPageBook m_printLines{kPaperPageFormat};
    CRect m_printLayoutRect; // the printable area the paper layout was made for
    int m_printPageCount = 0;
    int m_printPage = 0;
    int m_printLineHeight = 0;
    int m_printLinesPerPage = 0;

    CFont& m_gridDigitFont = m_fonts[2];
    CFont& m_printBodyFont = m_fonts[7];
    CFont& m_printTitleFont = m_fonts[8];
    CFont& m_printHeaderFont = m_fonts[9];
    // ===== end of printing ========================================================================

  private:
    bool InstructionPagesShown() const;
    // Sizes, fonts and geometry for the client area (and the instruction pages when it changed).
    void LayOutScreen();
    void ComputeGeometry();
    void RecreateFont(CFont& font, int height, const char* face, BYTE underline = 0);
    void SetFontFace(int index, const char* face);
    void UpdateFontItem(CCmdUI* pCmdUI, int index);
    void FillHelpText();
};
