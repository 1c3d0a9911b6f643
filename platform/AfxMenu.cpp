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
    if (auto menu = Menus().find(resourceId); menu != Menus().end())
        BuildMenuBar(window, frame, menu->second);
    if (auto accels = Accels().find(resourceId); accels != Accels().end() && !accels->second.empty())
        new CAcceleratorFilter(window, frame, accels->second);
}
