// Keys as the game knows them: virtual-key codes from Qt's key events, and the state of the
// modifier keys.

#include "platform/AfxInternal.h"

#include <QGuiApplication>
#include <QKeyEvent>

namespace {
// The modifiers of the key message in hand, for GetKeyState.
bool g_inKeyMessage = false;
Qt::KeyboardModifiers g_keyMessageModifiers;

// xkb keycodes (evdev's plus 8, as X11 and Wayland report them) of the main-row keys 1 to 9 and 0.
constexpr quint32 kMainRowOneKeycode = 10;
constexpr quint32 kMainRowZeroKeycode = 19;
} // namespace

void AfxBeginKeyMessage(const QKeyEvent* e) {
    g_inKeyMessage = true;
    g_keyMessageModifiers = e->modifiers();
}

void AfxEndKeyMessage() {
    g_inKeyMessage = false;
}

SHORT GetKeyState(int virtualKey) {
    const Qt::KeyboardModifiers mods =
        g_inKeyMessage ? g_keyMessageModifiers : QGuiApplication::queryKeyboardModifiers();
    const Qt::KeyboardModifier wanted = virtualKey == VK_CONTROL ? Qt::ControlModifier
                                        : virtualKey == VK_MENU  ? Qt::AltModifier
                                                                 : Qt::NoModifier;
    return (mods & wanted) ? static_cast<SHORT>(0x8000) : 0;
}

UINT AfxVirtualKeyFromQt(const QKeyEvent* e) {
    const int key = e->key();
    const bool keypad = (e->modifiers() & Qt::KeypadModifier) != 0;
    // A digit key is a key, not a character: the main-row keys type their numeral whatever Shift
    // and the layout make of them ("!" on a US layout, "&" on an AZERTY one). Without a scan code
    // (synthesised events) the character decides.
    const quint32 scan = e->nativeScanCode();
    if (!keypad && scan >= kMainRowOneKeycode && scan <= kMainRowZeroKeycode)
        return scan == kMainRowZeroKeycode ? '0' : static_cast<UINT>('1' + (scan - kMainRowOneKeycode));
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return keypad ? VK_NUMPAD0 + static_cast<UINT>(key - Qt::Key_0)
                      : static_cast<UINT>('0' + (key - Qt::Key_0));
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return static_cast<UINT>('A' + (key - Qt::Key_A));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
        return VK_F1 + static_cast<UINT>(key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace:
        return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Shift:
        return VK_SHIFT;
    case Qt::Key_Control:
        return VK_CONTROL;
    case Qt::Key_Alt:
        return VK_MENU;
    case Qt::Key_Pause:
        return VK_PAUSE;
    case Qt::Key_CapsLock:
        return VK_CAPITAL;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Insert:
        return VK_INSERT;
    case Qt::Key_Delete:
        return VK_DELETE;
    case Qt::Key_Asterisk:
        return keypad ? VK_MULTIPLY : 0;
    case Qt::Key_Plus:
        return keypad ? VK_ADD : 0;
    case Qt::Key_Minus:
        return keypad ? VK_SUBTRACT : 0;
    case Qt::Key_Period:
        return keypad ? VK_DECIMAL : 0;
    case Qt::Key_Slash:
        return keypad ? VK_DIVIDE : 0;
    default:
        return 0;
    }
}
