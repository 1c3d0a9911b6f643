#pragma once
// The "Input Your Own Numbers" dialog: 81 one-character fields, one per square, a status line and
// two buttons that load a very easy test puzzle or clear the fields. It only collects text; the
// view checks what was typed and opens it again with a message until the entry is valid.

#include "platform/Afx.h"

class COwnNumbersDialog : public CDialog {
  public:
    static constexpr UINT kTemplateId = 131;
    static constexpr int kLoadTestButton = 1000;
    static constexpr int kClearButton = 1001;
    static constexpr int kStatusLine = 1014;
    // How many numbers a puzzle of one's own may have (the view checks what was typed).
    static constexpr int kFewestNumbers = 20;
    static constexpr int kMostNumbers = 35;

    COwnNumbersDialog();

    // The control id of the field of square (r, c).
    static int FieldId(int r, int c);

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void OnLoadVeryEasyTest();
    void OnClear();

    CString m_cell[9][9];
    CString m_status;

  private:
    void NameFieldsForListeners();
};

// The one dialog of the whole run, so the puzzle typed last is still there the next time.
extern COwnNumbersDialog g_ownNumbersDialog;
