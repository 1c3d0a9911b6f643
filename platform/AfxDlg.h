// Modal dialogs laid out from dialog-unit templates, with data exchange to member strings.
#pragma once

#include "platform/AfxWin.h"

#include <memory>
#include <string>
#include <vector>

class QDialog;
class CDialogWidget;

class CDataExchange {
  public:
    CDataExchange(class CDialog* dlg, BOOL save) : m_pDlgWnd(dlg), m_bSaveAndValidate(save) {}
    CDialog* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
    BOOL m_bFailed = FALSE; // a validation failed (the dialog stays open)
};

// Moves text between control id and value: to the control when loading, back when saving.
void DDX_Text(CDataExchange* pDX, int id, CString& value);
// Limits the last exchanged edit control to maxChars characters.
void DDV_MaxChars(CDataExchange* pDX, const CString& value, int maxChars);

// Control kinds of a dialog template.
enum class CDlgItemKind { Static, Edit, Button, DefButton, Icon };

// Style flags of a template item (subset).
inline constexpr UINT ES_CENTER = 0x1; // edit: centred text
inline constexpr UINT ES_READONLY = 0x800;
inline constexpr UINT ES_AUTOHSCROLL = 0x80;
inline constexpr UINT WS_TABSTOP = 0x00010000;
inline constexpr UINT WS_GROUP = 0x00020000;
inline constexpr UINT WS_NOBORDER = 0x80000000; // edit without border (the border is the default)

// One control, in dialog units. For an Icon, text is the resource path of the image (empty:
// the application's window icon).
struct CDlgItem {
    CDlgItemKind kind;
    int id;
    const char* text;
    int x, y, cx, cy;
    UINT style;
};

// A dialog template: title, size in dialog units, font (face, points) and controls.
struct CDlgTemplate {
    const char* title;
    int cx, cy;
    const char* fontFace;
    int fontPoints;
    std::vector<CDlgItem> items;
};

// Dialog units to pixels for the 8-point dialog font at 96 dpi (base units 6 x 13).
inline int AfxDluToPixelsX(int dlu) {
    return dlu * 6 / 4;
}
inline int AfxDluToPixelsY(int dlu) {
    return dlu * 13 / 8;
}

void AfxRegisterDialog(UINT id, const CDlgTemplate& tmpl);
const CDlgTemplate* AfxFindDialog(UINT id);

class CDialog : public CWnd {
  public:
    // No window exists until DoModal, so a dialog may be a static object made before the
    // application starts.
    explicit CDialog(UINT templateId);
    explicit CDialog(const CDlgTemplate* tmpl);
    ~CDialog() override;

    // Builds the dialog, runs OnInitDialog and waits for the end (or asks the modal hook).
    // Returns the EndDialog code (IDOK, IDCANCEL) or -1 when the template is missing.
    virtual int DoModal();
    // Base: loads the members into the controls (UpdateData(FALSE)) and returns TRUE, which
    // gives the focus to the first tab-stop control. Return FALSE after moving the focus.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange* pDX);
    BOOL UpdateData(BOOL save = TRUE);
    void EndDialog(int result);
    BOOL OnCmdMsg(UINT id, CCmdUI* updateOrNull) override;

    // A control by id while the dialog is open (nullptr otherwise or when unknown).
    CWnd* GetDlgItem(int id);
    void GotoDlgCtrl(CWnd* control);
    // WM_NEXTDLGCTL with lParam TRUE: the focus goes to the control whose HWND is wParam.
    LRESULT SendMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Qt glue: the dialog while it is open.
    QDialog* Dialog() const;
    bool IsOpen() const { return m_dialog != nullptr; }
    const CDlgTemplate* Template() const;

  private:
    void Build();
    void Destroy();
    void ClickButton(int id);
    void OnOK();
    void OnCancel();
    friend class CDialogWidget;
    UINT m_templateId = 0;
    const CDlgTemplate* m_template = nullptr;
    std::unique_ptr<CDialogWidget> m_dialog;
    std::map<int, std::unique_ptr<CWnd>> m_controls;
    int m_result = IDCANCEL;
    bool m_ended = false;
    QWidget* m_lastDdxControl = nullptr;
    friend void DDX_Text(CDataExchange*, int, CString&);
    friend void DDV_MaxChars(CDataExchange*, const CString&, int);
};
