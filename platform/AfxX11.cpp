// What the frame tells an X11 window manager beyond what Qt writes for it.

#include "platform/AfxX11.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {
// Where Qt speaks to the window system itself: set the opposite state first, so the request is
// really sent.
void AskQt(QWidget* window, bool maximized) {
    const Qt::WindowStates normal = window->windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized);
    window->setWindowState(maximized ? normal : normal | Qt::WindowMaximized);
    window->setWindowState(maximized ? normal | Qt::WindowMaximized : normal);
}
} // namespace

#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace {

xcb_connection_t* Connection() {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    if (!reply)
        return XCB_ATOM_NONE;
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    return atom;
}

// The Motif hints every X11 window manager reads for decorations and allowed functions.
enum : uint32_t {
    kMwmHintsFunctions = 1u << 0,
    kMwmHintsDecorations = 1u << 1,
    kMwmFuncResize = 1u << 1,
    kMwmFuncMove = 1u << 2,
    kMwmFuncMaximize = 1u << 4,
    kMwmDecorBorder = 1u << 1,
    kMwmDecorTitle = 1u << 3,
};

} // namespace

void AfxWriteWindowManagerHints(QWidget* window, bool caption) {
    xcb_connection_t* c = Connection();
    if (!c || !window)
        return;
    const xcb_window_t id = static_cast<xcb_window_t>(window->winId());
    const uint32_t decorations = caption ? kMwmDecorBorder | kMwmDecorTitle : 0;
    // Window managers maximise only windows they may move and resize, and maximising stays allowed
    // without a button: that is how the frame asks for the work area, and it puts itself back over
    // the work area whatever they do with the rest.
    const uint32_t functions = kMwmFuncMove | kMwmFuncResize | kMwmFuncMaximize;
    const uint32_t mwm[5] = {kMwmHintsFunctions | kMwmHintsDecorations, functions, decorations, 0, 0};
    const xcb_atom_t atom = Atom(c, "_MOTIF_WM_HINTS");
    if (atom == XCB_ATOM_NONE)
        return;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, atom, atom, 32, 5, mwm);
    xcb_flush(c);
}

bool AfxWindowManagerRunning() {
    xcb_connection_t* c = Connection();
    if (!c)
        return true; // not X11: the compositor always manages the windows
    const xcb_setup_t* setup = xcb_get_setup(c);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(setup).data;
    const xcb_atom_t check = Atom(c, "_NET_SUPPORTING_WM_CHECK");
    if (!screen || check == XCB_ATOM_NONE)
        return false;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, screen->root, check, XCB_ATOM_WINDOW, 0, 1), nullptr);
    const bool running = reply && xcb_get_property_value_length(reply) >= 4;
    std::free(reply);
    return running;
}

bool AfxWindowManagerMaximized(const QWidget* window) {
    xcb_connection_t* c = Connection();
    if (!c || !window)
        return window && window->isMaximized();
    if (!AfxWindowManagerRunning())
        return false;
    const xcb_atom_t state = Atom(c, "_NET_WM_STATE");
    const xcb_atom_t vert = Atom(c, "_NET_WM_STATE_MAXIMIZED_VERT");
    const xcb_atom_t horz = Atom(c, "_NET_WM_STATE_MAXIMIZED_HORZ");
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, static_cast<xcb_window_t>(window->winId()), state, XCB_ATOM_ATOM, 0, 32),
        nullptr);
    bool hasVert = false, hasHorz = false;
    if (reply) {
        const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
        const int count = xcb_get_property_value_length(reply) / int(sizeof(xcb_atom_t));
        for (int i = 0; i < count; ++i) {
            hasVert = hasVert || atoms[i] == vert;
            hasHorz = hasHorz || atoms[i] == horz;
        }
        std::free(reply);
    }
    return hasVert && hasHorz;
}

QRect AfxClientAreaOnScreen(const QWidget* window) {
    xcb_connection_t* c = Connection();
    if (!window)
        return QRect();
    if (!c)
        return window->geometry();
    const auto id = static_cast<xcb_window_t>(window->winId());
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    xcb_translate_coordinates_reply_t* origin =
        xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, id, screen->root, 0, 0), nullptr);
    xcb_get_geometry_reply_t* size = xcb_get_geometry_reply(c, xcb_get_geometry(c, id), nullptr);
    QRect area = window->geometry();
    if (origin && size) {
        // The X server counts the screen's own pixels; Qt's geometry, the work area and the frame
        // margins are logical ones, fewer on a scaled screen. Each edge is converted on its own,
        // rounded as Qt rounds a position, so that edges meeting the screen's still meet them.
        const qreal ratio = window->devicePixelRatioF();
        const QPoint screenOrigin = window->screen() ? window->screen()->geometry().topLeft() : QPoint();
        const auto logical = [ratio](int device, int from) { return from + qRound((device - from) / ratio); };
        const int left = logical(origin->dst_x, screenOrigin.x()),
                  top = logical(origin->dst_y, screenOrigin.y());
        area = QRect(left, top, logical(origin->dst_x + size->width, screenOrigin.x()) - left,
                     logical(origin->dst_y + size->height, screenOrigin.y()) - top);
    }
    std::free(origin);
    std::free(size);
    return area;
}

void AfxAskToMaximize(QWidget* window, bool maximized) {
    xcb_connection_t* c = Connection();
    if (!window)
        return;
    if (!c) {
        AskQt(window, maximized);
        return;
    }
    // The _NET_WM_STATE client message of the EWMH conventions: add or remove both maximised
    // states.
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    xcb_client_message_event_t message;
    std::memset(&message, 0, sizeof message);
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = static_cast<xcb_window_t>(window->winId());
    message.type = Atom(c, "_NET_WM_STATE");
    message.data.data32[0] = maximized ? 1 : 0; // add, remove
    message.data.data32[1] = Atom(c, "_NET_WM_STATE_MAXIMIZED_VERT");
    message.data.data32[2] = Atom(c, "_NET_WM_STATE_MAXIMIZED_HORZ");
    message.data.data32[3] = 1; // from an application
    xcb_send_event(c, 0, screen->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(c);
}
