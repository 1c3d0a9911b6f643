#pragma once
// One run of the built program on its own Xvfb display, seen only as a player would: real input
// events through xdotool and screenshots of the root window. Every wait has a deadline, and the
// program and the X server are ended when the session goes, also after a failed check. The
// screenshots of a session are kept in its artifacts folder and removed when it passes (unless
// CELLWRIGHT_E2E_KEEP is set).

#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "SpeechLog.h"

struct CPixelRect {
    int left, top, right, bottom; // right and bottom exclusive
};

class CXSession {
  public:
    // name: a folder under the artifacts directory for this session's screenshots and notes.
    explicit CXSession(const QString& name);
    ~CXSession();

    CXSession(const CXSession&) = delete;
    CXSession& operator=(const CXSession&) = delete;

    // Starts Xvfb with a screen of width x height on a free display; false on failure.
    bool StartServer(int width, int height);
    // Starts a desktop on the server: a window manager ("openbox", "xfwm4", "mutter", "kwin") or a
    // Wayland compositor nested in the X server ("weston", and GNOME's and Plasma's sessions
    // "mutter_wayland" and "kwin_wayland"), whose X11 compatibility server the program then uses
    // (with WAYLAND_DISPLAY set, as on a Wayland desktop). Each runs with its own home, runtime
    // folder and session bus, and goes with the session. False if it did not come up.
    bool StartDesktop(const QString& kind);
    QString Desktop() const { return m_desktop; }
    // A session bus of the session's own, on which the accessibility bus (at-spi2) starts when the
    // program asks for it, with the program's accessibility switched on: what a screen reader sees.
    // Everything the bus started goes with the session.
    bool StartAccessibilityBus();
    // Starts Orca, the screen reader, with its speech off, on the accessibility bus (started first);
    // what it would say is read as it says it. False where Orca did not come up.
    bool StartScreenReader();
    // Waits until the screen reader says something that contains the text, after what the last
    // wait found; what it said, or empty at the deadline (the notes then list what it did say).
    QString WaitForSpeech(const QString& text, int milliseconds = 30000);
    // Everything the screen reader has said so far.
    QStringList Speech() const { return m_speech ? m_speech->Utterances() : QStringList(); }
    // Runs a program with the session's display and bus (a screen reader's script); its exit code,
    // or -1 when it had not finished at the deadline. What it wrote goes to output and the notes.
    int RunClient(const QString& program, const QStringList& arguments, int milliseconds, QString* output);
    // Starts the program with extra environment entries ("NAME=value"); false when it does not
    // come up (with its main window, when asked to wait for it) in time.
    bool StartProgram(const QStringList& environment = {}, bool waitForMainWindow = true);
    // Waits for the program to end; the exit code, or -1 when it is still running at the deadline
    // or crashed.
    int WaitForExit(int milliseconds);

    // xdotool with the arguments, on the display the program's windows are on; its standard
    // output (trimmed), empty on failure.
    QString XDoTool(const QStringList& arguments);
    // Another X tool (xprop, xwininfo, wmctrl) on the program's display.
    QString ClientTool(const QString& program, const QStringList& arguments);
    // Visible top-level windows of the program whose name matches the pattern.
    QStringList FindWindows(const QString& namePattern);
    QString MainWindow() const { return m_mainWindow; }
    // Gives a window the keyboard focus (there is no window manager to do it).
    void Focus(const QString& window);

    // Input in screen coordinates.
    void Click(int x, int y, int button = 1);
    // pauseMs: how long the pointer rests on the way, as a player's hand does when dragging a
    // window slowly.
    void Drag(int fromX, int fromY, int toX, int toY, int pauseMs = 50);
    void Keys(const QStringList& keys);

    // A screenshot of the whole screen, saved as <label>.png in the artifacts folder.
    QImage Shot(const QString& label);
    // The same with the main window's own picture in its place: what the program drew, without
    // what a compositor draws over it (weston draws the pointer into its output).
    QImage WindowShot(const QString& label);
    void Keep(const QImage& image, const QString& label);
    // Takes screenshots until the check holds or the deadline passes; the last one is saved.
    bool WaitForScreen(const QString& label, const std::function<bool(const QImage&)>& check,
                       int milliseconds = 8000);
    bool WaitForWindow(const QString& namePattern, int milliseconds = 8000);

    // Appends a line to the session's notes (kept with the screenshots).
    void Note(const QString& line);
    // Marks the session as failed: its folder stays, with the window list added to the notes.
    void KeepArtifacts();
    QString ArtifactsDir() const { return m_dir; }

    // The X display of the session (":91"), for other X tools.
    QString Display() const { return m_display; }
    int ScreenWidth() const { return m_width; }
    int ScreenHeight() const { return m_height; }

  private:
    // A picture of the screen as the player sees it.
    QImage Grab();
    // The main window's own picture drawn over the screen's picture at the window's place.
    void DrawMainWindowOver(QImage* screen);
    void Stop();
    bool StartSessionBus(const QProcessEnvironment& base);
    bool StartWaylandSession(const QString& kind, QProcessEnvironment env, const QString& log);
    bool SettlePointer();
    std::unique_ptr<QProcess> StartInOwnGroup(const QString& program, const QStringList& arguments,
                                              const QProcessEnvironment& env, const QString& log);
    QString ScreenTool(const QStringList& xdotoolArguments);

    QString m_dir;
    QString m_display;         // the X server the screenshots and the input go to
    QString m_clientDisplay;   // the X server the program's windows are on (the same but under Wayland)
    QString m_clientAuthority; // its cookie file, where it asks for one
    QString m_desktop;
    QStringList m_desktopEnvironment; // what the program needs to find the desktop
    std::unique_ptr<QProcess> m_bus;
    std::unique_ptr<QProcess> m_windowManager;
    int m_width = 0;
    int m_height = 0;
    std::unique_ptr<QProcess> m_server;
    QString m_home;
    std::unique_ptr<QTemporaryDir> m_runtime;
    std::unique_ptr<QProcess> m_program;
    std::unique_ptr<QProcess> m_screenReader;
    std::unique_ptr<CSpeechLog> m_speech;
    int m_heard = 0; // utterances that waits have gone past
    QString m_mainWindow;
    bool m_keep = false;
    int m_shots = 0;
};

// Ends a child process: asked first, killed when it does not go in time. Nothing when it is not running.
void EndProcess(QProcess* process);

// --- the keys of a game of the own-numbers test puzzle ------------------------------------------------
// The puzzle typed into the dialog's fields, which take the tab order row by row.
QStringList KeysFillingTheTestPuzzle();
// Its solution typed at the caret from the top left square: each row across (nine steps to the
// right come back round), then one down.
QStringList KeysTypingTheTestSolution();

// --- reading screenshots ------------------------------------------------------------------------------
int CountColour(const QImage& image, const CPixelRect& rect, int r, int g, int b);
// Pixels darker than mid-gray (text ink).
int CountDark(const QImage& image, const CPixelRect& rect);
// The first row below the menu bar: where the client area of the main window begins.
int ClientTop(const QImage& image);
