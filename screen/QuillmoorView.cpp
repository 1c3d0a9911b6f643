// Construction of the view, its caption, and the Options and Fonts commands.

#include "screen/QuillmoorView.h"

#include "common/MenuIds.h"
#include "common/Version.h"

#if defined(CELLWRIGHT_HAVE_HELP_TEXT)
#include "instructions/HelpText.h"
#endif

namespace {

const char* const kFontFaces[4] = {"Lucida Console", "Microsoft Sans Serif", "Arial Bold", "Arial"};

const char kEndOfText[] = "???*???";

} // namespace

CQuillmoorView::CQuillmoorView() {
    // CGameCore has seeded the random generator, given the game state its initial values and
    // built the subset table.
    m_boxPen.CreatePen(PS_SOLID, 1, RGB(0, 0, 255));
    m_linePen.CreatePen(PS_SOLID, 1, RGB(155, 155, 255));
    m_donePen.CreatePen(PS_SOLID, 1, RGB(255, 145, 60));
    m_doneBrush.CreateSolidBrush(RGB(255, 135, 55));
    m_homePen.CreatePen(PS_SOLID, 1, RGB(111, 255, 43));
    m_homeBrush.CreateSolidBrush(RGB(111, 255, 43));
    m_againPen.CreatePen(PS_SOLID, 1, RGB(255, 140, 255));
    m_againBrush.CreateSolidBrush(RGB(255, 140, 255));
    m_whiteBrush.CreateSolidBrush(RGB(255, 255, 255));

    for (int k = 0; k < 9; ++k) {
        m_basketBitmaps[k].LoadBitmap(132 + k);
    }
    m_panelBitmap.LoadBitmap(141);
    m_caretBitmap.LoadBitmap(142);

    m_fontName = kFontFaces[0];
    m_fontIndex = 0;

    FillHelpText();

    OnCommand(ID_OPTIONS_EASY, &CQuillmoorView::OnEasyCommand);
    OnCommand(ID_OPTIONS_HARD, &CQuillmoorView::OnHardCommand);
    OnCommand(ID_OPTIONS_OWN_NUMBERS, &CQuillmoorView::OnUseYourOwnNumbers);
    OnUpdateCommand(ID_OPTIONS_EASY, &CQuillmoorView::OnUpdateOptions);
    OnUpdateCommand(ID_OPTIONS_HARD, &CQuillmoorView::OnUpdateOptions);
    OnUpdateCommand(ID_OPTIONS_OWN_NUMBERS, &CQuillmoorView::OnUpdateOptions);

    OnCommand(ID_FONT_LUCIDA_CONSOLE, &CQuillmoorView::OnFontLucidaConsole);
    OnCommand(ID_FONT_MS_SANS_SERIF, &CQuillmoorView::OnFontMicrosoftSansSerif);
    OnCommand(ID_FONT_ARIAL_BOLD, &CQuillmoorView::OnFontArialBold);
    OnCommand(ID_FONT_ARIAL, &CQuillmoorView::OnFontArial);
    OnUpdateCommand(ID_FONT_LUCIDA_CONSOLE, &CQuillmoorView::OnUpdateFontLucidaConsole);
    OnUpdateCommand(ID_FONT_MS_SANS_SERIF, &CQuillmoorView::OnUpdateFontMicrosoftSansSerif);
    OnUpdateCommand(ID_FONT_ARIAL_BOLD, &CQuillmoorView::OnUpdateFontArialBold);
    OnUpdateCommand(ID_FONT_ARIAL, &CQuillmoorView::OnUpdateFontArial);

    OnCommand(ID_FILE_PRINT, &CQuillmoorView::OnPrintCommand);
    OnCommand(ID_FILE_PRINT_DIRECT, &CQuillmoorView::OnPrintDirectCommand);
}

CQuillmoorView::~CQuillmoorView() {
    // Pens, brushes, fonts and bitmaps release their objects in their own destructors.
    if (m_memDC.IsValid()) {
        m_memDC.DeleteDC();
    }
}

void CQuillmoorView::FillHelpText() {
    int count = 0;
#if defined(CELLWRIGHT_HAVE_HELP_TEXT)
    // The last slot is kept for the end marker, whatever the length of the text.
    for (int i = 0; i < g_helpTextEntryCount && count < kHelpTextCapacity - 1; ++i) {
        if (CString(g_helpTextEntries[i]) == kEndOfText) {
            break;
        }
        m_helpText[count++] = g_helpTextEntries[i];
    }
#endif
    m_helpText[count] = kEndOfText;
    // The strings never change after this, so the layouts can read them through plain pointers.
    for (int i = 0; i < kHelpTextCapacity; ++i) {
        m_helpChunks[i] = m_helpText[i];
    }
}

void CQuillmoorView::UpdateCaption() {
    m_timeText = CTime::GetCurrentTime().Format("%c");
    CString caption = kMakerNotice;
    caption += m_timeText;
    caption += g_versionString;
    if (CWnd* mainWnd = AfxGetMainWnd()) {
        mainWnd->SetWindowText(caption);
    }
}

// --- core hooks ----------------------------------------------------------------------------------

void CQuillmoorView::BeginSetupWait() {
    BeginWaitCursor();
}

void CQuillmoorView::EndSetupWait() {
    EndWaitCursor();
}

void CQuillmoorView::ShowPuzzleCaret() {
    ShowCaret();
}

void CQuillmoorView::CreatePuzzleCaret() {
    CreateCaret(&m_caretBitmap);
}

// --- Options menu --------------------------------------------------------------------------------

void CQuillmoorView::OnUpdateOptions(CCmdUI* pCmdUI) {
    // A new game can be chosen from the home page only.
    pCmdUI->Enable(m_option == 0);
}

void CQuillmoorView::OnEasyCommand() {
    OnEasy();
}

void CQuillmoorView::OnHardCommand() {
    OnHard();
}

// --- Fonts menu ----------------------------------------------------------------------------------

void CQuillmoorView::SetFontFace(int index, const char* face) {
    m_fontName = face;
    m_fontIndex = index;
    PaintBoard();
}

void CQuillmoorView::UpdateFontItem(CCmdUI* pCmdUI, int index) {
    // The face in effect is the one greyed item.
    pCmdUI->Enable(m_fontIndex != index);
}

void CQuillmoorView::OnFontLucidaConsole() {
    SetFontFace(0, kFontFaces[0]);
}

void CQuillmoorView::OnFontMicrosoftSansSerif() {
    SetFontFace(1, kFontFaces[1]);
}

void CQuillmoorView::OnFontArialBold() {
    SetFontFace(2, kFontFaces[2]);
}

void CQuillmoorView::OnFontArial() {
    SetFontFace(3, kFontFaces[3]);
}

void CQuillmoorView::OnUpdateFontLucidaConsole(CCmdUI* pCmdUI) {
    UpdateFontItem(pCmdUI, 0);
}

void CQuillmoorView::OnUpdateFontMicrosoftSansSerif(CCmdUI* pCmdUI) {
    UpdateFontItem(pCmdUI, 1);
}

void CQuillmoorView::OnUpdateFontArialBold(CCmdUI* pCmdUI) {
    UpdateFontItem(pCmdUI, 2);
}

void CQuillmoorView::OnUpdateFontArial(CCmdUI* pCmdUI) {
    UpdateFontItem(pCmdUI, 3);
}
