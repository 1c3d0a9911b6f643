// Modal windows over the views: message boxes, the test hook that answers everything modal, and
// what happens around a modal window (the views presented before, repainted after, the keyboard
// focus back on the main view).

#include "platform/AfxInternal.h"
#include "platform/AfxX11.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>

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
    const QMessageBox::Icon icon =
        (type & 0xF0) == MB_ICONEXCLAMATION ? QMessageBox::Warning : QMessageBox::NoIcon;
    CWinApp* app = AfxGetApp();
    QString title = app ? AfxTextToQt(app->m_pszAppName.GetString()) : QString();
    QMessageBox box(icon, title, AfxTextToQt(text), QMessageBox::Ok, AfxMainWidget());
    box.exec();
    return IDOK;
}

QString AfxFileDialog(bool save) {
    const QString filter = QStringLiteral("All Files (*.*)");
    if (!qApp)
        return QString();
    return save ? QFileDialog::getSaveFileName(AfxMainWidget(), QStringLiteral("Save As"), QString(), filter)
                : QFileDialog::getOpenFileName(AfxMainWidget(), QStringLiteral("Open"), QString(), filter);
}

CModalCover::CModalCover() {
    AfxPresentAllViews();
}

CModalCover::~CModalCover() {
    AfxViewsUncovered();
}

void AfxFocusMainView() {
    if (!qApp)
        return;
    QTimer::singleShot(0, qApp, [] {
        if (QApplication::activeModalWidget() || QApplication::activePopupWidget())
            return;
        CFrameWnd* frame = AfxGetMainWnd();
        CView* view = frame ? frame->GetActiveView() : nullptr;
        if (view && view->Widget() && view->Widget()->isVisible()) {
            // Where no window manager hands the keyboard back (a bare X server), the window takes
            // it itself: keys would otherwise reach it only while the pointer is over it, and
            // nothing in it would count as focused. A window manager decides for itself, also
            // when the player has gone to another program meanwhile.
            if (!view->Widget()->window()->isActiveWindow() && !AfxWindowManagerRunning())
                view->Widget()->window()->activateWindow();
            view->Widget()->setFocus(Qt::OtherFocusReason);
        }
    });
}
