// The base classes: command targets (dispatch by id, the wait cursor) and windows.

#include "platform/AfxInternal.h"

#include <QApplication>
#include <QLineEdit>

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

// A window's text is an edit field's content, or else its window's caption. A new caption is not
// told to assistive technologies: the game's carries a clock, rewritten at every paint and key,
// and a screen reader that reads each new caption of the active window (Orca 48 does) would say
// the time before every move. They read the caption as the window's name when it comes up.
void CWnd::SetWindowText(const char* text) {
    if (auto* edit = qobject_cast<QLineEdit*>(m_widget)) {
        edit->setText(AfxTextToQt(text));
    } else if (m_widget) {
        CQuietAccessibility quiet;
        m_widget->window()->setWindowTitle(AfxTextToQt(text));
    }
}

CString CWnd::GetWindowText() const {
    if (!m_widget)
        return CString();
    auto* edit = qobject_cast<QLineEdit*>(m_widget);
    return CString(AfxTextFromQt(edit ? edit->text() : m_widget->window()->windowTitle()).constData());
}

void CWnd::SetAccessibleName(const char* name) {
    if (m_widget)
        m_widget->setAccessibleName(AfxTextToQt(name));
}

void CWnd::SetAccessibleDescription(const char* text) {
    if (m_widget)
        m_widget->setAccessibleDescription(AfxTextToQt(text));
}
