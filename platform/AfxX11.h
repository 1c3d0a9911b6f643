// What the placement of the main window asks of X11 itself, beyond what Qt does. On another
// window system (Wayland, offscreen) each falls back on Qt.
#pragma once

#include <QRect>

class QWidget;

// Writes the Motif hints (decorations and allowed functions) of a top-level window: a caption (or
// none) without buttons. Qt writes only "move and resize" for a caption without buttons, which
// leaves every button to the window manager's taste. Nothing elsewhere.
void AfxWriteWindowManagerHints(QWidget* window, bool caption);

// Whether something places top-level windows: an X11 window manager announced on the root
// window, or a platform that is its own window system (Wayland, offscreen). False on a bare X
// server, where a maximised window has to cover the screen by itself.
bool AfxWindowManagerRunning();

// Whether the window system shows the window maximised: on X11 the window manager's own
// _NET_WM_STATE (Qt's state also reflects requests nobody granted), elsewhere Qt's state.
bool AfxWindowManagerMaximized(const QWidget* window);

// Where the window's client area is on the screen, asked of the X server itself: Qt's own
// record of a top-level window's position can lag behind where a window manager moved its frame.
// Elsewhere Qt's geometry. In logical pixels, as Qt's geometry is.
QRect AfxClientAreaOnScreen(const QWidget* window);

// Asks the window system to maximise the window or to take the maximised state away, whatever Qt
// believes the state is (Qt skips a request for the state it has recorded, granted or not).
void AfxAskToMaximize(QWidget* window, bool maximized = true);
