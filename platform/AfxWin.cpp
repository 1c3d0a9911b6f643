#include "platform/AfxInternal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QStringDecoder>
#include <QTimer>
#include <QtMath>

#include <langinfo.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

// ---------------------------------------------------------------------------------------------
// Commands

CCmdTarget::~CCmdTarget() = default;

BOOL CCmdTarget::DispatchOwn(UINT id, CCmdUI* updateOrNull) {
    if (updateOrNull) {
        auto u = m_updates.find(id);
        if (u != m_updates.end()) {
            u->second(updateOrNull);
            return TRUE;
        }
        if (m_commands.count(id)) {
            updateOrNull->Enable(TRUE);
            return TRUE;
        }
        return FALSE;
    }
    auto c = m_commands.find(id);
    if (c == m_commands.end())
        return FALSE;
    c->second();
    return TRUE;
}

BOOL CCmdTarget::OnCmdMsg(UINT id, CCmdUI* updateOrNull) {
    return DispatchOwn(id, updateOrNull);
}

namespace {
int g_waitDepth = 0;
}

void CCmdTarget::BeginWaitCursor() {
    AfxPresentAllViews();
    if (qApp)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    ++g_waitDepth;
}

void CCmdTarget::EndWaitCursor() {
    if (g_waitDepth == 0)
        return;
    --g_waitDepth;
    if (qApp)
        QApplication::restoreOverrideCursor();
}

// ---------------------------------------------------------------------------------------------
// Windows

CWnd::CWnd() = default;

CWnd::~CWnd() {
    AfxCaretWindowDestroyed(this);
}

void CWnd::GetClientRect(RECT* rect) const {
    if (!rect)
        return;
    if (!m_widget) {
        *rect = RECT{0, 0, 0, 0};
        return;
    }
    *rect = RECT{0, 0, m_widget->width(), m_widget->height()};
}

void CWnd::GetWindowRect(RECT* rect) const {
    if (!rect)
        return;
    if (!m_widget) {
        *rect = RECT{0, 0, 0, 0};
        return;
    }
    QRect g = m_widget->frameGeometry();
    QPoint tl = m_widget->isWindow() ? g.topLeft() : m_widget->mapToGlobal(QPoint(0, 0));
    *rect = RECT{tl.x(), tl.y(), tl.x() + g.width(), tl.y() + g.height()};
}

namespace {
bool LocaleIsUtf8() {
    const char* codeset = nl_langinfo(CODESET);
    return codeset && (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
}
} // namespace

QString AfxTextToQt(const char* text, int count) {
    if (!text)
        return QString();
    const int n = count < 0 ? static_cast<int>(std::strlen(text))
                            : static_cast<int>(strnlen(text, static_cast<size_t>(count)));
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    if (std::all_of(bytes, bytes + n, [](unsigned char b) { return b < 0x80; }))
        return QString::fromLatin1(text, n);
    // Bytes that are not UTF-8 in a UTF-8 locale (and any in the C or a Latin-1 locale) are
    // taken as Latin-1, as they always were.
    if (LocaleIsUtf8()) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString decoded = utf8.decode(QByteArrayView(text, n));
        if (!utf8.hasError())
            return decoded;
    }
    return QString::fromLatin1(text, n);
}

QByteArray AfxTextFromQt(const QString& text) {
    return LocaleIsUtf8() ? text.toUtf8() : text.toLatin1();
}

void CWnd::SetWindowText(const char* text) {
    if (!m_widget)
        return;
    QString s = AfxTextToQt(text);
    if (auto* edit = qobject_cast<QLineEdit*>(m_widget))
        edit->setText(s);
    else if (auto* label = qobject_cast<QLabel*>(m_widget))
        label->setText(s);
    else if (auto* button = qobject_cast<QAbstractButton*>(m_widget))
        button->setText(s);
    else
        m_widget->window()->setWindowTitle(s);
}

CString CWnd::GetWindowText() const {
    if (!m_widget)
        return CString();
    QString s;
    if (auto* edit = qobject_cast<QLineEdit*>(m_widget))
        s = edit->text();
    else if (auto* label = qobject_cast<QLabel*>(m_widget))
        s = label->text();
    else if (auto* button = qobject_cast<QAbstractButton*>(m_widget))
        s = button->text();
    else
        s = m_widget->window()->windowTitle();
    return CString(AfxTextFromQt(s).constData());
}

void CWnd::Invalidate(BOOL) {
    if (m_widget)
        m_widget->update();
}

void CWnd::UpdateWindow() {
    if (m_widget && m_widget->isVisible())
        m_widget->repaint();
}

BOOL CWnd::ShowWindow(int cmd) {
    if (!m_widget)
        return FALSE;
    BOOL was = m_widget->isVisible();
    if (cmd == SW_HIDE)
        m_widget->hide();
    else if (cmd == SW_SHOWMAXIMIZED)
        m_widget->showMaximized();
    else
        m_widget->show();
    return was;
}

CWnd* CWnd::SetFocus() {
    if (m_widget)
        m_widget->setFocus(Qt::OtherFocusReason);
    return nullptr;
}

void CWnd::SetAccessibleName(const char* name) {
    if (m_widget)
        m_widget->setAccessibleName(AfxTextToQt(name));
}

void CWnd::SetAccessibleDescription(const char* text) {
    if (m_widget)
        m_widget->setAccessibleDescription(AfxTextToQt(text));
}

BOOL CWnd::EnableWindow(BOOL enable) {
    if (!m_widget)
        return FALSE;
    BOOL wasDisabled = !m_widget->isEnabled();
    m_widget->setEnabled(enable != 0);
    return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const {
    return m_widget && m_widget->isEnabled();
}
BOOL CWnd::IsWindowVisible() const {
    return m_widget && m_widget->isVisible();
}

LRESULT CWnd::SendMessage(UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_SETTEXT) {
        SetWindowText(reinterpret_cast<const char*>(lParam));
        return TRUE;
    }
    if (message == WM_CLOSE && m_widget) {
        m_widget->window()->close();
        return 0;
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Caret: one per program, owned by one window.

namespace {
struct CaretGlobal {
    CWnd* owner = nullptr;
    QImage shape; // XOR mask
    int x = 0, y = 0;
    int hideCount = 0;
    bool blinkOn = true;
    QTimer* timer = nullptr;
};
CaretGlobal g_caret;

void RefreshCaret() {
    if (g_caret.owner && g_caret.owner->Widget())
        g_caret.owner->Widget()->update();
}

void RestartBlink() {
    g_caret.blinkOn = true;
    if (!qApp)
        return;
    if (!g_caret.timer) {
        g_caret.timer = new QTimer(qApp);
        QObject::connect(g_caret.timer, &QTimer::timeout, [] {
            g_caret.blinkOn = !g_caret.blinkOn;
            RefreshCaret();
        });
    }
    int flash = QApplication::cursorFlashTime();
    if (g_caret.owner && g_caret.hideCount == 0 && flash > 0)
        g_caret.timer->start(flash / 2);
    else
        g_caret.timer->stop();
}

BOOL MakeCaret(CWnd* owner, QImage shape) {
    if (g_caret.owner)
        RefreshCaret();
    g_caret.owner = owner;
    g_caret.shape = std::move(shape);
    g_caret.hideCount = 1;
    RestartBlink();
    return TRUE;
}
} // namespace

BOOL CWnd::CreateCaret(CBitmap* bitmap) {
    if (!bitmap || !bitmap->Image())
        return FALSE;
    return MakeCaret(this, *bitmap->Image());
}

BOOL CWnd::CreateCaret(CBitmap* bitmap, int, int) {
    return CreateCaret(bitmap);
}

void CWnd::CreateSolidCaret(int width, int height) {
    QImage shape(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    shape.fill(Qt::white);
    MakeCaret(this, shape);
}

void CWnd::SetCaretPos(int x, int y) {
    if (!g_caret.owner)
        return;
    RefreshCaret();
    g_caret.x = x;
    g_caret.y = y;
    RestartBlink();
    RefreshCaret();
}

CPoint CWnd::GetCaretPos() {
    return CPoint(g_caret.x, g_caret.y);
}

void CWnd::ShowCaret() {
    if (g_caret.owner != this || g_caret.hideCount == 0)
        return;
    if (--g_caret.hideCount == 0)
        RestartBlink();
    RefreshCaret();
}

void CWnd::HideCaret() {
    if (g_caret.owner != this)
        return;
    ++g_caret.hideCount;
    RestartBlink();
    RefreshCaret();
}

BOOL CreateCaret(HWND wnd, CBitmap* bitmap, int width, int height) {
    return wnd ? wnd->CreateCaret(bitmap, width, height) : FALSE;
}

BOOL DestroyCaret() {
    if (!g_caret.owner)
        return FALSE;
    RefreshCaret();
    g_caret.owner = nullptr;
    g_caret.hideCount = 0;
    if (g_caret.timer)
        g_caret.timer->stop();
    return TRUE;
}

BOOL SetCaretPos(int x, int y) {
    CWnd::SetCaretPos(x, y);
    return g_caret.owner != nullptr;
}

BOOL ShowCaret(HWND wnd) {
    if (!wnd)
        return FALSE;
    wnd->ShowCaret();
    return TRUE;
}

BOOL HideCaret(HWND wnd) {
    if (!wnd)
        return FALSE;
    wnd->HideCaret();
    return TRUE;
}

void AfxCaretWindowDestroyed(CWnd* wnd) {
    if (g_caret.owner == wnd) {
        g_caret.owner = nullptr;
        g_caret.hideCount = 0;
        if (g_caret.timer)
            g_caret.timer->stop();
    }
}

CCaretState AfxGetCaretState() {
    CCaretState s;
    s.exists = g_caret.owner != nullptr;
    s.owner = g_caret.owner;
    s.hideCount = g_caret.hideCount;
    s.visible = s.exists && g_caret.hideCount == 0;
    s.blinkOn = s.visible && g_caret.blinkOn;
    s.x = g_caret.x;
    s.y = g_caret.y;
    s.width = g_caret.shape.width();
    s.height = g_caret.shape.height();
    return s;
}

void AfxDrawCaretOverlay(QWidget* widget, QPainter& painter, const QImage& image) {
    if (!g_caret.owner || g_caret.owner->Widget() != widget || g_caret.hideCount != 0 || !g_caret.blinkOn)
        return;
    // The caret's shape is in logical pixels; the image may have more pixels than that (a
    // high-density screen), and each of them is inverted by the shape pixel it lies in.
    const qreal ratio = image.devicePixelRatio();
    const QRect area = QRect(qFloor(g_caret.x * ratio), qFloor(g_caret.y * ratio),
                             qCeil(g_caret.shape.width() * ratio), qCeil(g_caret.shape.height() * ratio))
                           .intersected(QRect(QPoint(0, 0), image.size()));
    if (area.isEmpty())
        return;
    QImage piece = image.copy(area);
    for (int y = 0; y < piece.height(); ++y) {
        auto* dst = reinterpret_cast<QRgb*>(piece.scanLine(y));
        const int my = std::clamp(qFloor((y + area.y()) / ratio) - g_caret.y, 0, g_caret.shape.height() - 1);
        const auto* mask = reinterpret_cast<const QRgb*>(g_caret.shape.constScanLine(my));
        for (int x = 0; x < piece.width(); ++x) {
            const int mx =
                std::clamp(qFloor((x + area.x()) / ratio) - g_caret.x, 0, g_caret.shape.width() - 1);
            dst[x] = 0xFF000000u | ((dst[x] ^ mask[mx]) & 0x00FFFFFFu);
        }
    }
    piece.setDevicePixelRatio(ratio);
    painter.drawImage(QPointF(area.x() / ratio, area.y() / ratio), piece);
}

// ---------------------------------------------------------------------------------------------
// Message boxes and the modal hook

namespace {
AfxModalHookFn g_modalHook;
}

void AfxSetModalHook(AfxModalHookFn hook) {
    g_modalHook = std::move(hook);
}
bool AfxHasModalHook() {
    return static_cast<bool>(g_modalHook);
}

bool AfxCallModalHook(const char* kind, QWidget* dialogOrNull, const char* text, int* result) {
    if (!g_modalHook)
        return false;
    int r = g_modalHook(kind, dialogOrNull, text);
    if (result)
        *result = r;
    return true;
}

int AfxMessageBox(const char* text, UINT type, UINT) {
    CModalCover cover;
    int result = IDOK;
    if (AfxCallModalHook("messagebox", nullptr, text, &result))
        return result;
    if (!qApp) {
        fprintf(stderr, "%s\n", text ? text : "");
        return IDOK;
    }
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (type & 0xF0) {
    case MB_ICONSTOP:
        icon = QMessageBox::Critical;
        break;
    case MB_ICONQUESTION:
        icon = QMessageBox::Question;
        break;
    case MB_ICONEXCLAMATION:
        icon = QMessageBox::Warning;
        break;
    case MB_ICONINFORMATION:
        icon = QMessageBox::Information;
        break;
    default:
        break;
    }
    QMessageBox::StandardButtons buttons;
    switch (type & 0xF) {
    case MB_OKCANCEL:
        buttons = QMessageBox::Ok | QMessageBox::Cancel;
        break;
    case MB_ABORTRETRYIGNORE:
        buttons = QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
        break;
    case MB_YESNOCANCEL:
        buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        break;
    case MB_YESNO:
        buttons = QMessageBox::Yes | QMessageBox::No;
        break;
    case MB_RETRYCANCEL:
        buttons = QMessageBox::Retry | QMessageBox::Cancel;
        break;
    default:
        buttons = QMessageBox::Ok;
        break;
    }
    CWinApp* app = AfxGetApp();
    QString title = app ? AfxTextToQt(app->m_pszAppName.GetString()) : QString();
    QMessageBox box(icon, title, AfxTextToQt(text), buttons, AfxMainWidget());
    switch (box.exec()) {
    case QMessageBox::Ok:
        return IDOK;
    case QMessageBox::Cancel:
        return IDCANCEL;
    case QMessageBox::Abort:
        return IDABORT;
    case QMessageBox::Retry:
        return IDRETRY;
    case QMessageBox::Ignore:
        return IDIGNORE;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    default:
        return (type & 0xF) == MB_OK ? IDOK : IDCANCEL;
    }
}

// ---------------------------------------------------------------------------------------------
// Resources registered by the program

namespace {
std::map<UINT, CMenuTemplate>& Menus() {
    static std::map<UINT, CMenuTemplate> m;
    return m;
}
std::map<UINT, CAccelTable>& Accels() {
    static std::map<UINT, CAccelTable> m;
    return m;
}
std::map<UINT, std::string>& Strings() {
    static std::map<UINT, std::string> m;
    return m;
}
} // namespace

void AfxRegisterMenu(UINT id, const CMenuTemplate& menu) {
    Menus()[id] = menu;
}
void AfxRegisterAccelerators(UINT id, const CAccelTable& table) {
    Accels()[id] = table;
}
void AfxRegisterString(UINT id, const char* text) {
    Strings()[id] = text ? text : "";
}
const CMenuTemplate* AfxFindMenu(UINT id) {
    auto it = Menus().find(id);
    return it == Menus().end() ? nullptr : &it->second;
}
const CAccelTable* AfxFindAccelerators(UINT id) {
    auto it = Accels().find(id);
    return it == Accels().end() ? nullptr : &it->second;
}
const char* AfxFindString(UINT id) {
    auto it = Strings().find(id);
    return it == Strings().end() ? nullptr : it->second.c_str();
}

// ---------------------------------------------------------------------------------------------
// Document

CDocument::CDocument() : m_title("Untitled") {
    OnCommand(ID_FILE_SAVE, [this] { DoFileSave(); });
}

CDocument::~CDocument() {
    for (CView* v : m_views)
        v->SetDocument(nullptr);
}

BOOL CDocument::OnNewDocument() {
    DeleteContents();
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::DoFileSave() {
    CModalCover cover;
    int result = IDCANCEL;
    if (!AfxCallModalHook("filesave", nullptr, "All Files (*.*)", &result)) {
        QString name = AfxFileDialog(true);
        result = name.isEmpty() ? IDCANCEL : IDOK;
    }
    // The document holds nothing of the game, so nothing is written.
    return result == IDOK;
}

BOOL CDocument::OnCmdMsg(UINT id, CCmdUI* updateOrNull) {
    return DispatchOwn(id, updateOrNull);
}

void CDocument::UpdateAllViews(CView* sender, LPARAM hint) {
    for (CView* v : m_views)
        if (v != sender)
            v->OnUpdate(sender, hint);
}

void CDocument::AddView(CView* view) {
    if (view && std::find(m_views.begin(), m_views.end(), view) == m_views.end()) {
        m_views.push_back(view);
        view->SetDocument(this);
    }
}

void CDocument::RemoveView(CView* view) {
    auto it = std::find(m_views.begin(), m_views.end(), view);
    if (it != m_views.end()) {
        m_views.erase(it);
        view->SetDocument(nullptr);
    }
}
