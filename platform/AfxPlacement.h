// Where the main window sits on the desktop.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QRect>
#include <QTimer>

#include <functional>

class QWidget;

// A maximised window without a sizing border keeps covering the work area: whatever a window
// manager does to it (unmaximise, move, resize), it asks to be maximised again, and where nobody
// maximises windows (a bare X server) it takes the work area itself. Minimised it is left alone;
// restored, it comes back as it was. A close button that a desktop shows anyway does what onClose
// does.
class CWorkAreaKeeper : public QObject {
  public:
    CWorkAreaKeeper(QWidget* window, bool caption, std::function<void()> onClose);
    // Shows the window maximised over its screen's work area.
    void Show();

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    void ScheduleCover();
    bool CoversWorkArea();
    void CoverWorkArea();
    // The frame around the client area, as far as Qt knows it (none without a window manager).
    QMargins FrameMargins() const;

    QWidget* m_window;
    bool m_caption;
    std::function<void()> m_onClose;
    QTimer m_coverTimer;
    QElapsedTimer m_budgetClock;
    int m_corrections = 0;
    bool m_askedToMaximize = false;
    bool m_uncovered = false; // found not covering at the last look
    QRect m_maximizedClient;  // the client area a window manager gave the maximised window
};
