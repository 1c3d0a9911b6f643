// Construction of the view, its caption, and the Options and Fonts commands.

#include "screen/QuillmoorView.h"

#include "common/MenuIds.h"
#include "common/Version.h"

#if defined(CELLWRIGHT_HAVE_HELP_TEXT)
#include "instructions/HelpText.h"
#endif

namespace {

// The Fonts menu: its commands and the faces of the possibles they choose, in menu order.
const UINT kFontCommands[4] = {ID_FONT_LUCIDA_CONSOLE, ID_FONT_MS_SANS_SERIF, ID_FONT_ARIAL_BOLD,
                               ID_FONT_ARIAL};
const char* const kFontFaces[4] = {"Lucida Console", "Microsoft Sans Serif", "Arial Bold", "Arial"};

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

    OnCommand(ID_OPTIONS_EASY, [this] { OnEasy(); });
    OnCommand(ID_OPTIONS_HARD, [this] { OnHard(); });
    OnCommand(ID_OPTIONS_OWN_NUMBERS, &CQuillmoorView::OnUseYourOwnNumbers);
    OnUpdateCommand(ID_OPTIONS_EASY, &CQuillmoorView::OnUpdateOptions);
    OnUpdateCommand(ID_OPTIONS_HARD, &CQuillmoorView::OnUpdateOptions);
    OnUpdateCommand(ID_OPTIONS_OWN_NUMBERS, &CQuillmoorView::OnUpdateOptions);

    for (int i = 0; i < 4; ++i) {
        OnCommand(kFontCommands[i], [this, i] { SetFontFace(i, kFontFaces[i]); });
        OnUpdateCommand(kFontCommands[i], [this, i](CCmdUI* pCmdUI) { UpdateFontItem(pCmdUI, i); });
    }

    OnCommand(ID_FILE_PRINT, &CQuillmoorView::OnPrintCommand);
    OnCommand(ID_FILE_PRINT_DIRECT, &CQuillmoorView::OnPrintDirectCommand);
}

// Pens, brushes, fonts and bitmaps release their objects in their own destructors.
CQuillmoorView::~CQuillmoorView() = default;

void CQuillmoorView::FillHelpText() {
    int count = 0;
#if defined(CELLWRIGHT_HAVE_HELP_TEXT)
    // The last slot is kept for the end marker, whatever the length of the text.
    for (int i = 0; i < g_helpTextEntryCount && count < kHelpTextCapacity - 1; ++i) {
        if (CString(g_helpTextEntries[i]) == kTextTerminator) {
            break;
        }
        m_helpText[count++] = g_helpTextEntries[i];
    }
#endif
    m_helpText[count] = kTextTerminator;
    // The strings never change after this, so the layouts can read them through plain pointers.
    for (int i = 0; i < kHelpTextCapacity; ++i) {
        m_helpChunks[i] = m_helpText[i];
    }
}

CString CQuillmoorView::NoticeWithTime() {
    m_timeText = CTime::GetCurrentTime().Format("%c");
    return kMakerNotice + m_timeText + g_versionString;
}

void CQuillmoorView::UpdateCaption() {
    const CString caption = NoticeWithTime();
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
    pCmdUI->Enable(m_option == kOptionHome);
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
