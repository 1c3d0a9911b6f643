#include "platform/AfxInternal.h"

#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <map>

namespace {
std::map<UINT, CDlgTemplate>& Dialogs() {
    static std::map<UINT, CDlgTemplate> d;
    return d;
}
constexpr int kHookRounds = 100;
} // namespace

void AfxRegisterDialog(UINT id, const CDlgTemplate& tmpl) {
    Dialogs()[id] = tmpl;
}

const CDlgTemplate* AfxFindDialog(UINT id) {
    auto it = Dialogs().find(id);
    return it == Dialogs().end() ? nullptr : &it->second;
}

// The QDialog: Escape and the window's close go through OnCancel, as in a dialog procedure.
class CDialogWidget : public QDialog {
  public:
    CDialogWidget(CDialog* dlg, QWidget* parent) : QDialog(parent), m_dlg(dlg) {}
    void reject() override {
        if (m_dlg)
            m_dlg->ClickButton(IDCANCEL);
    }
    void accept() override {
        if (m_dlg)
            m_dlg->ClickButton(IDOK);
    }
    void CloseWith(int result) { QDialog::done(result); }
    CDialog* m_dlg;
};

CDialog::CDialog(UINT templateId) : m_templateId(templateId) {}
CDialog::CDialog(const CDlgTemplate* tmpl) : m_template(tmpl) {}
CDialog::~CDialog() {
    Destroy();
}

const CDlgTemplate* CDialog::Template() const {
    return m_template ? m_template : AfxFindDialog(m_templateId);
}

QDialog* CDialog::Dialog() const {
    return m_dialog.get();
}

void CDialog::Build() {
    const CDlgTemplate* t = Template();
    m_dialog = std::make_unique<CDialogWidget>(this, AfxMainWidget());
    m_widget = m_dialog.get();
    QDialog* d = m_dialog.get();
    d->setWindowTitle(AfxTextToQt(t->title));
    d->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    d->setModal(true);
    CFont face;
    face.CreateFontA(-(t->fontPoints > 0 ? t->fontPoints : 8) * 96 / 72 - 1, 0, 0, 0, FW_DONTCARE, 0, 0, 0,
                     ANSI_CHARSET, OUT_DEVICE_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, 0,
                     t->fontFace ? t->fontFace : "MS Sans Serif");
    d->setFont(face.Data()->font);
    d->setFixedSize(AfxDluToPixelsX(t->cx), AfxDluToPixelsY(t->cy));

    for (const CDlgItem& item : t->items) {
        QWidget* w = nullptr;
        const QString text = AfxTextToQt(item.text);
        switch (item.kind) {
        case CDlgItemKind::Static: {
            auto* label = new QLabel(text, d);
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            w = label;
            break;
        }
        case CDlgItemKind::Edit: {
            auto* edit = new QLineEdit(text, d);
            if (item.style & ES_CENTER)
                edit->setAlignment(Qt::AlignCenter);
            edit->setReadOnly(item.style & ES_READONLY);
            edit->setFrame(!(item.style & WS_NOBORDER));
            edit->setFocusPolicy(item.style & WS_TABSTOP ? Qt::StrongFocus : Qt::ClickFocus);
            w = edit;
            break;
        }
        case CDlgItemKind::Button:
        case CDlgItemKind::DefButton: {
            auto* button = new QPushButton(text, d);
            button->setAutoDefault(false);
            button->setDefault(item.kind == CDlgItemKind::DefButton);
            button->setFocusPolicy(item.style & WS_TABSTOP ? Qt::StrongFocus : Qt::ClickFocus);
            const int id = item.id;
            QObject::connect(button, &QPushButton::clicked, [this, id] { ClickButton(id); });
            w = button;
            break;
        }
        case CDlgItemKind::Icon: {
            auto* label = new QLabel(d);
            QIcon icon = text.isEmpty() ? QApplication::windowIcon() : QIcon(text);
            label->setPixmap(icon.pixmap(32, 32));
            w = label;
            break;
        }
        }
        int x = AfxDluToPixelsX(item.x), y = AfxDluToPixelsY(item.y);
        int cx = AfxDluToPixelsX(item.cx), cy = AfxDluToPixelsY(item.cy);
        if (item.kind == CDlgItemKind::Icon)
            cx = cy = 32; // icons keep their own size
        w->setGeometry(x, y, cx, cy);
        if (item.id != IDC_STATIC) {
            auto wnd = std::make_unique<CWnd>();
            wnd->AttachWidget(w);
            m_controls[item.id] = std::move(wnd);
        }
    }
}

void CDialog::Destroy() {
    m_controls.clear();
    m_lastDdxControl = nullptr;
    if (m_dialog) {
        m_dialog->m_dlg = nullptr;
        m_dialog.reset();
    }
    m_widget = nullptr;
}

int CDialog::DoModal() {
    if (!Template() || !qApp)
        return -1;
    CModalCover cover;
    {
        // Built and filled, the dialog tells assistive technologies nothing: they meet it whole
        // when it shows. Otherwise every field filled and named is an event a screen reader
        // works through before it reads the dialog (about 200 for the own-numbers dialog).
        CQuietAccessibility quiet;
        Destroy();
        Build();
        m_ended = false;
        m_result = IDCANCEL;
        if (OnInitDialog()) {
            for (QWidget* w : m_dialog->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
                if (w->focusPolicy() == Qt::StrongFocus && w->isEnabled()) {
                    w->setFocus(Qt::TabFocusReason);
                    if (auto* edit = qobject_cast<QLineEdit*>(w))
                        edit->selectAll();
                    break;
                }
            }
        }
    }
    if (AfxHasModalHook()) {
        // Shown, not executed: the test answers instead of the user.
        m_dialog->show();
        const QByteArray title = AfxTextFromQt(m_dialog->windowTitle());
        for (int round = 0; round < kHookRounds && !m_ended; ++round) {
            int answer = IDCANCEL;
            AfxCallModalHook("dialog", m_dialog.get(), title.constData(), &answer);
            ClickButton(answer);
        }
        if (!m_ended)
            EndDialog(IDCANCEL);
    } else if (!m_ended) {
        m_dialog->exec();
        if (!m_ended)
            m_result = IDCANCEL;
    }
    int result = m_result;
    Destroy();
    return result;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::UpdateData(BOOL save) {
    if (!m_dialog)
        return FALSE;
    CDataExchange dx(this, save);
    DoDataExchange(&dx);
    return !dx.m_bFailed;
}

void CDialog::OnOK() {
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::EndDialog(int result) {
    m_result = result;
    m_ended = true;
    if (m_dialog && m_dialog->isVisible())
        m_dialog->CloseWith(result);
}

BOOL CDialog::OnCmdMsg(UINT id, CCmdUI* updateOrNull) {
    return DispatchOwn(id, updateOrNull);
}

void CDialog::ClickButton(int id) {
    if (OnCmdMsg(static_cast<UINT>(id), nullptr))
        return;
    if (id == IDOK)
        OnOK();
    else if (id == IDCANCEL)
        OnCancel();
}

CWnd* CDialog::GetDlgItem(int id) {
    auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second.get();
}

void CDialog::GotoDlgCtrl(CWnd* control) {
    if (!control || !control->Widget())
        return;
    control->Widget()->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(control->Widget()))
        edit->selectAll();
}

LRESULT CDialog::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NEXTDLGCTL && lParam)
        GotoDlgCtrl(reinterpret_cast<CWnd*>(wParam));
    return 0;
}

void DDX_Text(CDataExchange* pDX, int id, CString& value) {
    if (!pDX || !pDX->m_pDlgWnd)
        return;
    CWnd* control = pDX->m_pDlgWnd->GetDlgItem(id);
    pDX->m_pDlgWnd->m_lastDdxControl = control ? control->Widget() : nullptr;
    if (!control)
        return;
    if (pDX->m_bSaveAndValidate)
        value = control->GetWindowText();
    else
        control->SetWindowText(value);
}

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int maxChars) {
    if (!pDX || !pDX->m_pDlgWnd || maxChars < 0)
        return;
    auto* edit = qobject_cast<QLineEdit*>(pDX->m_pDlgWnd->m_lastDdxControl);
    if (!pDX->m_bSaveAndValidate) {
        if (edit)
            edit->setMaxLength(maxChars > 0 ? maxChars : 32767);
        return;
    }
    if (value.GetLength() > maxChars) {
        CString msg;
        msg.Format("Please enter no more than %d characters.", maxChars);
        AfxMessageBox(msg, MB_ICONEXCLAMATION);
        if (edit)
            edit->setFocus(Qt::OtherFocusReason);
        pDX->m_bFailed = TRUE;
    }
}
