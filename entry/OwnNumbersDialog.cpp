#include "entry/OwnNumbersDialog.h"

namespace {

// Columns and rows of the fields in dialog units; the wider gaps mark the boxes.
const int kFieldX[9] = {33, 71, 109, 159, 197, 235, 285, 323, 361};
const int kFieldY[9] = {66, 89, 111, 146, 170, 193, 228, 250, 274};
const int kRowZeroIds[9] = {1002, 1003, 1004, 1005, 1006, 1007, 1008, 1011, 1012};

// The very easy test puzzle, 35 numbers; '.' is an empty field.
const char* const kVeryEasyTest[9] = {
    ".89.17.4.", ".64..978.", "...6....5", ".32.9....", "8..463..9",
    "....2.51.", "6....5...", ".259..43.", ".7.13.95.",
};

const char kNoSolutionText[] =
    "Under this option a correct solution may not exist and will never be printed.";

// The template keeps the text's address: it is made once and lives as long as the program.
const char* IntroText() {
    static char text[256];
    wsprintfA(text,
              "Type in the initial values. Each number must range from 1 to 9. At least %i numbers "
              "must be supplied. No more than %i numbers may be given. The data input boxes below "
              "correspond to the 81 squares in the grid.",
              COwnNumbersDialog::kFewestNumbers, COwnNumbersDialog::kMostNumbers);
    return text;
}

CDlgTemplate MakeTemplate() {
    CDlgTemplate t{"Input Your Own Numbers", 420, 357, "MS Sans Serif", 8, {}};
    t.items.push_back({CDlgItemKind::Static, IDC_STATIC, IntroText(), 33, 15, 353, 17, 0});
    t.items.push_back({CDlgItemKind::Static, IDC_STATIC, kNoSolutionText, 33, 31, 354, 8, 0});
    t.items.push_back({CDlgItemKind::Button, COwnNumbersDialog::kLoadTestButton,
                       "Click Here To Load A Very Easy Test", 33, 47, 190, 11, 0});
    t.items.push_back({CDlgItemKind::Button, COwnNumbersDialog::kClearButton, "Clear", 285, 47, 102, 11, 0});
    // Listed in id order, which is also the tab order.
    for (int r = 0; r < 9; ++r) {
        for (int c = 0; c < 9; ++c) {
            UINT style = WS_TABSTOP | ES_CENTER | ES_AUTOHSCROLL;
            if (r == 0 && c == 0) {
                style |= WS_GROUP;
            }
            t.items.push_back({CDlgItemKind::Edit, COwnNumbersDialog::FieldId(r, c), "", kFieldX[c],
                               kFieldY[r], 26, 14, style});
        }
    }
    t.items.push_back({CDlgItemKind::Edit, COwnNumbersDialog::kStatusLine, "", 33, 308, 354, 14,
                       WS_NOBORDER | ES_READONLY | ES_AUTOHSCROLL});
    t.items.push_back({CDlgItemKind::DefButton, IDOK, "OK", 150, 336, 50, 14, WS_TABSTOP});
    t.items.push_back({CDlgItemKind::Button, IDCANCEL, "Cancel", 219, 336, 50, 14, WS_TABSTOP});
    return t;
}

} // namespace

COwnNumbersDialog g_ownNumbersDialog;

COwnNumbersDialog::COwnNumbersDialog() : CDialog(kTemplateId) {
    AfxRegisterDialog(kTemplateId, MakeTemplate());
    OnCommand(kLoadTestButton, &COwnNumbersDialog::OnLoadVeryEasyTest);
    OnCommand(kClearButton, &COwnNumbersDialog::OnClear);
}

int COwnNumbersDialog::FieldId(int r, int c) {
    return r == 0 ? kRowZeroIds[c] : 1020 + 9 * (r - 1) + c;
}

void COwnNumbersDialog::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    for (int r = 0; r < 9; ++r) {
        for (int c = 0; c < 9; ++c) {
            DDX_Text(pDX, FieldId(r, c), m_cell[r][c]);
            DDV_MaxChars(pDX, m_cell[r][c], 1);
        }
    }
    DDX_Text(pDX, kStatusLine, m_status);
}

BOOL COwnNumbersDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    NameFieldsForListeners();
    // The player is taken straight to the first field the last check marked as bad.
    for (int r = 0; r < 9; ++r) {
        for (int c = 0; c < 9; ++c) {
            CWnd* field = GetDlgItem(FieldId(r, c));
            if (field == nullptr) {
                continue;
            }
            field->GetWindowText(m_cell[r][c]);
            if (m_cell[r][c].Compare("?") == 0) {
                field->SetAccessibleDescription(m_status);
                SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field->GetSafeHwnd()), TRUE);
                return FALSE;
            }
        }
    }
    if (CWnd* first = GetDlgItem(FieldId(0, 0))) {
        first->SetAccessibleDescription(m_status);
    }
    return TRUE;
}

// A screen reader says which square a field is for, and with the field that gets the focus it
// reads the message of the last check, so a player who cannot see the status line hears it.
void COwnNumbersDialog::NameFieldsForListeners() {
    for (int r = 0; r < 9; ++r) {
        for (int c = 0; c < 9; ++c) {
            if (CWnd* field = GetDlgItem(FieldId(r, c))) {
                char name[32];
                wsprintfA(name, "Row %i, column %i", r + 1, c + 1);
                field->SetAccessibleName(name);
                field->SetAccessibleDescription("");
            }
        }
    }
    if (CWnd* status = GetDlgItem(kStatusLine)) {
        status->SetAccessibleName("Status");
    }
}

void COwnNumbersDialog::OnLoadVeryEasyTest() {
    for (int r = 0; r < 9; ++r) {
        for (int c = 0; c < 9; ++c) {
            const char ch = kVeryEasyTest[r][c];
            m_cell[r][c] = ch == '.' ? CString() : CString(ch);
        }
    }
    OnInitDialog();
}

void COwnNumbersDialog::OnClear() {
    for (auto& row : m_cell) {
        for (CString& cell : row) {
            cell.Empty();
        }
    }
    OnInitDialog();
}
