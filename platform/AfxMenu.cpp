// A frame's menu bar and accelerators, from the descriptions the program registered by resource
// id: menu items and accelerators route their commands through the frame, after its update
// handlers.

#include "platform/AfxInternal.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QWindow>

#include <map>

namespace {

std::map<UINT, CMenuTemplate>& Menus() {
    static std::map<UINT, CMenuTemplate> m;
    return m;
}

std::map<UINT, CAccelTable>& Accels() {
    static std::map<UINT, CAccelTable> m;
    return m;
}

// Update handlers run before a menu opens: a disabled command's item is greyed.
void UpdateMenu(CFrameWnd* frame, QMenu* menu) {
    for (QAction* a : menu->actions()) {
        if (!a->isSeparator() && a->data().isValid())
            a->setEnabled(frame->QueryCommandEnabled(a->data().toUInt()) != 0);
    }
}

void BuildMenuBar(QMainWindow* window, CFrameWnd* frame, const CMenuTemplate& menu) {
    for (const CMenuPopup& popup : menu) {
        QMenu* m = window->menuBar()->addMenu(AfxTextToQt(popup.text));
        // Separators show where the menu puts them, also one that opens the menu.
        m->setSeparatorsCollapsible(false);
        for (const CMenuEntry& item : popup.items) {
            if (!item.text) {
                m->addSeparator();
                continue;
            }
            // "Text\tShortcut": the shortcut is shown as the menu shows shortcuts and is what
            // assistive technologies read as the item's key, while the accelerator table keeps
            // firing it; the item's name is the text alone.
            const QString text = AfxTextToQt(item.text);
            const qsizetype tab = text.indexOf(QLatin1Char('\t'));
            QAction* a = m->addAction(tab < 0 ? text : text.left(tab));
            if (tab >= 0) {
                a->setShortcut(QKeySequence(text.mid(tab + 1)));
                a->setShortcutContext(Qt::WidgetShortcut);
            }
            const UINT id = item.id;
            a->setData(id);
            QObject::connect(a, &QAction::triggered, [frame, id] {
                frame->RouteCommand(id);
                AfxFocusMainView(); // also when the menu was opened with the keyboard
            });
        }
        QObject::connect(m, &QMenu::aboutToShow, [frame, m] { UpdateMenu(frame, m); });
        // A menu closed without a choice (Escape, a click elsewhere) leaves the menu bar
        // holding the keyboard; the board gets it back, unless another menu opened instead.
        QObject::connect(m, &QMenu::aboutToHide, [] { AfxFocusMainView(); });
    }
}

// Alt tapped alone, or F10, puts the menu bar into its keyboard mode (the first menu highlighted,
// the arrows moving along the bar, Down opening a menu); the next tap leaves it. Qt's menu bar
// follows Alt itself by watching every event of the application, and toggles the mode on each
// Alt release it sees there. A screen reader's bridge, though, holds every key until the reader
// has heard it and then delivers a copy: Qt saw the release go by, then the copy, and the mode
// went on ("File.") and straight off again. Here the keys are taken from the main window, which
// gets each key once, held or not, and Qt's menu bar is driven from there.
class CMenuBarKeys : public QObject {
  public:
    explicit CMenuBarKeys(QMainWindow* window) : QObject(window), m_window(window) {
        // After the menu bar's own filter on the window, so that this one sees the events first.
        window->installEventFilter(this);
        WatchHandle();
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (watched == m_window) {
            if (e->type() == QEvent::Show || e->type() == QEvent::WinIdChange)
                WatchHandle();
            // Alt going down arms the menu bar's own toggle; only Toggle() may arm it.
            return e->type() == QEvent::ShortcutOverride && !m_toggling &&
                   static_cast<QKeyEvent*>(e)->key() == Qt::Key_Alt;
        }
        switch (e->type()) {
        case QEvent::KeyPress: {
            auto* k = static_cast<QKeyEvent*>(e);
            // The Alt bit of a copied Alt event can be wrong: only the other modifiers count.
            const bool others =
                (k->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::MetaModifier)) != 0;
            m_altAlone = k->key() == Qt::Key_Alt && !others;
            if (k->key() == Qt::Key_F10 && !others && !(k->modifiers() & Qt::AltModifier)) {
                Toggle();
                return true;
            }
            break;
        }
        case QEvent::KeyRelease:
            if (static_cast<QKeyEvent*>(e)->key() == Qt::Key_Alt && m_altAlone) {
                m_altAlone = false;
                Toggle();
            }
            break;
        case QEvent::MouseButtonPress:
        case QEvent::FocusOut:
            m_altAlone = false;
            break;
        default:
            break;
        }
        return false;
    }

  private:
    void WatchHandle() {
        QWindow* handle = m_window->windowHandle();
        if (handle && handle != m_handle) {
            m_handle = handle;
            handle->installEventFilter(this);
        }
    }

    // The events by which Qt's menu bar itself learns of an Alt tap: the override check of Alt
    // going down, then Alt's release.
    void Toggle() {
        QMenuBar* bar = m_window->menuBar();
        if (!bar->isVisible() || bar->actions().isEmpty())
            return;
        m_toggling = true;
        // A key event of Alt reports Alt among its modifiers, on some Qt versions by itself.
        QKeyEvent arm(QEvent::ShortcutOverride, Qt::Key_Alt, Qt::NoModifier);
        if (arm.modifiers() != Qt::AltModifier)
            arm.setModifiers(Qt::AltModifier);
        QCoreApplication::sendEvent(m_window, &arm);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
        QCoreApplication::sendEvent(bar, &release);
        m_toggling = false;
    }

    QMainWindow* m_window;
    QPointer<QWindow> m_handle;
    bool m_altAlone = false; // Alt is down, with no other key since
    bool m_toggling = false;
};

// The accelerator table is translated before the focus widget sees the key, as Win32's
// TranslateAccelerator does; a disabled command does not fire.
class CAcceleratorFilter : public QObject {
  public:
    CAcceleratorFilter(QWidget* window, CFrameWnd* frame, CAccelTable table)
        : QObject(window), m_window(window), m_frame(frame), m_table(std::move(table)) {
        qApp->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() != QEvent::KeyPress)
            return false;
        auto* w = qobject_cast<QWidget*>(watched);
        if (!w || w->window() != m_window || QApplication::activePopupWidget() ||
            QApplication::activeModalWidget())
            return false;
        auto* k = static_cast<QKeyEvent*>(e);
        UINT vk = AfxVirtualKeyFromQt(k);
        if (vk == 0)
            return false;
        UINT mods = 0;
        if (k->modifiers() & Qt::ShiftModifier)
            mods |= FSHIFT;
        if (k->modifiers() & Qt::ControlModifier)
            mods |= FCONTROL;
        if (k->modifiers() & Qt::AltModifier)
            mods |= FALT;
        for (const CAccelEntry& a : m_table) {
            if (a.key == vk && (a.modifiers & (FSHIFT | FCONTROL | FALT)) == mods) {
                m_frame->RouteCommand(a.id);
                return true;
            }
        }
        return false;
    }

  private:
    QWidget* m_window;
    CFrameWnd* m_frame;
    CAccelTable m_table;
};

} // namespace

void AfxRegisterMenu(UINT id, const CMenuTemplate& menu) {
    Menus()[id] = menu;
}

void AfxRegisterAccelerators(UINT id, const CAccelTable& table) {
    Accels()[id] = table;
}

void AfxInstallMenuAndAccelerators(QMainWindow* window, CFrameWnd* frame, UINT resourceId) {
    if (auto menu = Menus().find(resourceId); menu != Menus().end()) {
        BuildMenuBar(window, frame, menu->second);
        new CMenuBarKeys(window);
    }
    if (auto accels = Accels().find(resourceId); accels != Accels().end() && !accels->second.empty())
        new CAcceleratorFilter(window, frame, accels->second);
}
