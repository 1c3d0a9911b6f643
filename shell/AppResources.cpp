// The program's menu, accelerators and About box template.

#include "common/MenuIds.h"
#include "platform/Afx.h"
#include "shell/QuillmoorApp.h"

namespace {

CMenuTemplate MainMenu() {
    return {
        {"&File",
         {{nullptr, 0},
          {"&Print...\tCtrl+P", ID_FILE_PRINT},
          {"P&rint Setup...", ID_FILE_PRINT_SETUP},
          {nullptr, 0},
          {"E&xit", ID_APP_EXIT}}},
        {"Options",
         {{"Easy - Lots of Clues", ID_OPTIONS_EASY},
          {"Hard - Fewer Clues", ID_OPTIONS_HARD},
          {"Use Your Own Numbers", ID_OPTIONS_OWN_NUMBERS}}},
        {"Fonts",
         {{"Lucida Console", ID_FONT_LUCIDA_CONSOLE},
          {"Microsoft Sans Serif", ID_FONT_MS_SANS_SERIF},
          {"Arial Bold", ID_FONT_ARIAL_BOLD},
          {"Arial", ID_FONT_ARIAL}}},
        {"&Help", {{"&About Cellwright...", ID_APP_ABOUT}}},
    };
}

// Ctrl+N, Ctrl+O and Ctrl+S are the framework's: a new (empty) document, which repaints the screen,
// and the file dialogs, which read and write nothing. The usual editing and pane keys are kept
// without a handler: they do nothing, and keep their keys from the board (Shift+Delete is not
// Delete).
CAccelTable MainAccelerators() {
    return {
        {'P', FCONTROL, ID_FILE_PRINT}, {'N', FCONTROL, ID_FILE_NEW},
        {'O', FCONTROL, ID_FILE_OPEN},  {'S', FCONTROL, ID_FILE_SAVE},
        {'Z', FCONTROL, ID_EDIT_UNDO},  {VK_BACK, FALT, ID_EDIT_UNDO},
        {'X', FCONTROL, ID_EDIT_CUT},   {VK_DELETE, FSHIFT, ID_EDIT_CUT},
        {'C', FCONTROL, ID_EDIT_COPY},  {VK_INSERT, FCONTROL, ID_EDIT_COPY},
        {'V', FCONTROL, ID_EDIT_PASTE}, {VK_INSERT, FSHIFT, ID_EDIT_PASTE},
        {VK_F6, 0, ID_NEXT_PANE},       {VK_F6, FSHIFT, ID_PREV_PANE},
    };
}

CDlgTemplate AboutBox() {
    return {"About Cellwright",
            235,
            55,
            "MS Sans Serif",
            8,
            {
                {CDlgItemKind::Icon, IDC_STATIC, ":/res/icon/128@2x.png", 11, 17, 20, 20, 0},
                {CDlgItemKind::Static, IDC_STATIC, "Cellwright Version QV317", 40, 10, 119, 8, 0},
                {CDlgItemKind::Static, IDC_STATIC, "Free to play, free to share.", 40, 25, 119, 8, 0},
                {CDlgItemKind::DefButton, IDOK, "OK", 178, 7, 50, 14, WS_TABSTOP | WS_GROUP},
            }};
}

} // namespace

void RegisterAppResources() {
    AfxRegisterMenu(IDR_MAINFRAME, MainMenu());
    AfxRegisterAccelerators(IDR_MAINFRAME, MainAccelerators());
    AfxRegisterDialog(IDD_ABOUTBOX, AboutBox());
}
