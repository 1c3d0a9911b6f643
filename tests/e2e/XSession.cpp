#include "XSession.h"

#include "PlayHarness.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#ifndef CELLWRIGHT_PROGRAM
#error "CELLWRIGHT_PROGRAM must name the built program"
#endif
#ifndef E2E_ARTIFACTS_DIR
#error "E2E_ARTIFACTS_DIR must name the folder for screenshots"
#endif

namespace {

const int kToolTimeoutMs = 10000;
const int kPollMs = 100;
const int kSpeechPollMs = 20;

// Runs an X tool on the display and returns what it wrote (nothing if it did not finish in time).
// authority: the X server's cookie file, where it asks for one (mutter's Xwayland does).
QByteArray RunToolOutput(const QString& program, const QStringList& arguments, const QString& display,
                         const QString& authority = QString()) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display);
    if (!authority.isEmpty()) {
        env.insert("XAUTHORITY", authority);
    }
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    if (!process.waitForFinished(kToolTimeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
        return QByteArray();
    }
    return process.readAllStandardOutput();
}

QString RunTool(const QString& program, const QStringList& arguments, const QString& display,
                const QString& authority = QString()) {
    return QString::fromUtf8(RunToolOutput(program, arguments, display, authority)).trimmed();
}

// The whole screen as the player sees it (a null image if the screenshot failed).
QImage GrabScreen(const QString& display) {
    QImage image;
    image.loadFromData(RunToolOutput("import", {"-window", "root", "png:-"}, display), "PNG");
    return image.convertToFormat(QImage::Format_RGB32);
}

} // namespace

void EndProcess(QProcess* process) {
    if (process == nullptr || process->state() == QProcess::NotRunning) {
        return;
    }
    process->terminate();
    if (!process->waitForFinished(2000)) {
        process->kill();
        process->waitForFinished(2000);
    }
}

namespace {

// A process started in a group of its own, with whatever it started in turn (a compositor's
// helpers, a bus's activated services): the whole group goes, by the group's id.
void EndProcessGroup(QProcess* process) {
    if (process == nullptr || process->state() == QProcess::NotRunning) {
        return;
    }
    const pid_t group = static_cast<pid_t>(process->processId());
    ::kill(-group, SIGTERM);
    if (!process->waitForFinished(3000)) {
        ::kill(-group, SIGKILL);
        process->waitForFinished(2000);
    }
    ::kill(-group, SIGKILL); // helpers that outlived their parent
}

// Waits until the file holds a line matching the pattern; its first capture, or empty.
QString WaitForLogLine(const QString& path, const QRegularExpression& pattern, int milliseconds) {
    QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired()) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            const auto match = pattern.match(QString::fromUtf8(file.readAll()));
            if (match.hasMatch()) {
                return match.captured(1);
            }
        }
        QThread::msleep(kPollMs);
    }
    return QString();
}

} // namespace

CXSession::CXSession(const QString& name)
    : m_dir(QString(E2E_ARTIFACTS_DIR) + "/" + name),
      m_keep(qEnvironmentVariableIsSet("CELLWRIGHT_E2E_KEEP")) {
    QDir(m_dir).removeRecursively();
    QDir().mkpath(m_dir);
}

CXSession::~CXSession() {
    if (m_keep) {
        Note("--- windows at the end ---");
        Note(ClientTool("xwininfo", {"-root", "-tree"}));
    }
    Stop();
    if (!m_keep) {
        QDir(m_dir).removeRecursively();
    }
}

void CXSession::Stop() {
    EndProcess(m_program.get());
    EndProcessGroup(m_screenReader.get());
    if (m_speech) {
        QFile log(m_dir + "/screen-reader.log");
        if (log.open(QIODevice::WriteOnly)) {
            log.write(m_speech->Output());
        }
    }
    EndProcessGroup(m_windowManager.get());
    EndProcessGroup(m_bus.get());
    EndProcess(m_server.get());
}

bool CXSession::StartServer(int width, int height) {
    m_width = width;
    m_height = height;
    // Parallel test runs each take the next display without a lock file; a display taken between
    // the look and the start makes Xvfb quit, and the next one is tried.
    for (int n = 90 + static_cast<int>(getpid() % 50), tries = 0; tries < 40; ++n, ++tries) {
        if (QFileInfo::exists(QString("/tmp/.X%1-lock").arg(n)) ||
            QFileInfo::exists(QString("/tmp/.X11-unix/X%1").arg(n))) {
            continue;
        }
        auto server = std::make_unique<QProcess>();
        server->setStandardOutputFile(QProcess::nullDevice());
        server->setStandardErrorFile(m_dir + "/xvfb.log");
        server->start("Xvfb", {QString(":%1").arg(n), "-screen", "0",
                               QString("%1x%2x24").arg(width).arg(height), "-nolisten", "tcp", "-noreset"});
        if (!server->waitForStarted(5000)) {
            return false;
        }
        const QString socket = QString("/tmp/.X11-unix/X%1").arg(n);
        QDeadlineTimer deadline(5000);
        while (!deadline.hasExpired() && server->state() == QProcess::Running && !QFileInfo::exists(socket)) {
            QThread::msleep(50);
        }
        if (server->state() == QProcess::Running && QFileInfo::exists(socket)) {
            m_display = QString(":%1").arg(n);
            m_clientDisplay = m_display;
            m_server = std::move(server);
            Note(QString("display %1, screen %2 x %3").arg(m_display).arg(width).arg(height));
            return true;
        }
        EndProcess(server.get());
    }
    return false;
}

std::unique_ptr<QProcess> CXSession::StartInOwnGroup(const QString& program, const QStringList& arguments,
                                                     const QProcessEnvironment& env, const QString& log) {
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(env);
    process->setStandardOutputFile(log);
    process->setStandardErrorFile(log, QIODevice::Append);
    process->setChildProcessModifier([] { ::setsid(); });
    process->start(program, arguments);
    if (!process->waitForStarted(5000)) {
        Note("could not start " + program);
        return nullptr;
    }
    return process;
}

bool CXSession::StartSessionBus(const QProcessEnvironment& base) {
    m_bus = StartInOwnGroup("dbus-daemon", {"--session", "--nofork", "--nopidfile", "--print-address=1"},
                            base, m_dir + "/bus.log");
    const QString address =
        m_bus ? WaitForLogLine(m_dir + "/bus.log",
                               QRegularExpression("^(unix:\\S+)", QRegularExpression::MultilineOption), 5000)
              : QString();
    if (address.isEmpty()) {
        Note("no session bus");
        return false;
    }
    m_desktopEnvironment << "DBUS_SESSION_BUS_ADDRESS=" + address;
    return true;
}

bool CXSession::StartAccessibilityBus() {
    // On a desktop's own session bus where it has one, as a desktop session runs it.
    if (!m_runtime) {
        m_home = m_dir + "/home";
        QDir().mkpath(m_home);
        m_runtime = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/cellwright-run-XXXXXX");
        if (!m_runtime->isValid()) {
            return false;
        }
    }
    if (!m_bus) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DBUS_SESSION_BUS_ADDRESS");
        env.insert("HOME", m_home);
        env.insert("XDG_RUNTIME_DIR", m_runtime->path());
        env.insert("DISPLAY", m_display);
        if (!StartSessionBus(env)) {
            return false;
        }
    }
    m_desktopEnvironment << "QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1";
    return true;
}

bool CXSession::StartScreenReader() {
    if (m_desktopEnvironment.filter("QT_LINUX_ACCESSIBILITY_ALWAYS_ON").isEmpty() &&
        !StartAccessibilityBus()) {
        return false;
    }
    m_speech = std::make_unique<CSpeechLog>();
    const QString terminal = m_speech->Open();
    if (terminal.isEmpty()) {
        Note("no terminal for the screen reader's output");
        return false;
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", m_clientDisplay);
    env.insert("HOME", m_home);
    env.insert("XDG_RUNTIME_DIR", m_runtime->path());
    env.insert("GSETTINGS_BACKEND", "memory");
    for (const QString& entry : m_desktopEnvironment) {
        env.insert(entry.section('=', 0, 0), entry.section('=', 1));
    }
    // Never --replace: that ends every other Orca of this user, the player's own among them.
    m_screenReader =
        StartInOwnGroup("orca", {"--disable", "speech", "--debug-file", terminal}, env, m_dir + "/orca.out");
    // Ready once it has listened to the desktop and said so in its log (Orca 43 and Orca 48).
    QDeadlineTimer deadline(20000);
    while (m_screenReader && m_screenReader->state() == QProcess::Running && !deadline.hasExpired()) {
        const QByteArray log = m_speech->Output();
        if (log.contains("Startup complete") || log.contains("Starting Atspi main event loop")) {
            Note("screen reader up");
            return true;
        }
        QThread::msleep(kPollMs);
    }
    QFile said(m_dir + "/orca.out");
    Note("the screen reader did not come up: " +
         (said.open(QIODevice::ReadOnly) ? QString::fromUtf8(said.readAll()).trimmed() : QString()));
    return false;
}

QString CXSession::WaitForSpeech(const QString& text, int milliseconds) {
    QDeadlineTimer deadline(milliseconds);
    for (;;) {
        const QStringList said = m_speech ? m_speech->Utterances() : QStringList();
        for (int i = m_heard; i < said.size(); ++i) {
            if (said[i].contains(text)) {
                m_heard = i + 1;
                Note("heard: " + said[i].left(200));
                return said[i];
            }
        }
        if (deadline.hasExpired()) {
            Note("never heard: " + text + "\nheard since the last wait:\n  " +
                 said.mid(m_heard).join("\n  "));
            return QString();
        }
        QThread::msleep(kSpeechPollMs);
    }
}

int CXSession::RunClient(const QString& program, const QStringList& arguments, int milliseconds,
                         QString* output) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", m_clientDisplay);
    env.insert("E2E_INPUT_DISPLAY", m_display);
    for (const QString& entry : m_desktopEnvironment) {
        env.insert(entry.section('=', 0, 0), entry.section('=', 1));
    }
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool finished = process.waitForStarted(5000) && process.waitForFinished(milliseconds);
    if (!finished) {
        process.kill();
        process.waitForFinished(2000);
    }
    *output = QString::fromUtf8(process.readAll());
    Note("--- " + program + " ---\n" + *output);
    return finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

bool CXSession::StartDesktop(const QString& kind) {
    m_desktop = kind;
    m_home = m_dir + "/home";
    QDir().mkpath(m_home);
    // A short path: a Wayland socket's full name must fit in 108 bytes.
    m_runtime = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/cellwright-run-XXXXXX");
    if (!m_runtime->isValid()) {
        return false;
    }
    const QString runtime = m_runtime->path();
    ::chmod(QFile::encodeName(runtime).constData(), 0700);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name :
         {"WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "SESSION_MANAGER", "XDG_SESSION_TYPE"}) {
        env.remove(name);
    }
    env.insert("HOME", m_home);
    env.insert("XDG_CONFIG_HOME", m_home + "/.config");
    env.insert("XDG_CACHE_HOME", m_home + "/.cache");
    env.insert("XDG_DATA_HOME", m_home + "/.local/share");
    env.insert("XDG_RUNTIME_DIR", runtime);
    env.insert("DISPLAY", m_display);
    env.insert("NO_AT_BRIDGE", "1");
    env.insert("GTK_A11Y", "none");
    env.insert("GSETTINGS_BACKEND", "memory");
    m_desktopEnvironment.clear();
    const bool waylandSession = kind == "mutter_wayland" || kind == "kwin_wayland";
    if ((kind == "xfwm4" || kind == "mutter" || kind == "kwin" || waylandSession) && !StartSessionBus(env)) {
        return false;
    }
    for (const QString& entry : m_desktopEnvironment) {
        env.insert(entry.section('=', 0, 0), entry.section('=', 1));
    }
    const QString log = m_dir + "/" + kind + ".log";
    if (kind == "openbox") {
        m_windowManager = StartInOwnGroup("openbox", {"--sm-disable"}, env, log);
    } else if (kind == "xfwm4") {
        m_windowManager = StartInOwnGroup("xfwm4", {"--compositor=off", "--sm-client-disable"}, env, log);
    } else if (kind == "mutter") {
        m_windowManager = StartInOwnGroup("mutter", {"--x11", "--replace", "--sm-disable"}, env, log);
    } else if (kind == "kwin") {
        env.insert("KWIN_COMPOSE", "N"); // no compositing: nothing to draw with the processor
        m_windowManager = StartInOwnGroup("kwin_x11", {"--replace"}, env, log);
    } else if (kind == "weston") {
        // Weston's own X11 output on the Xvfb screen, a panel on top as on a desktop, and its X11
        // compatibility server, started when the first X client connects.
        const QString config = m_home + "/weston.ini";
        QFile ini(config);
        if (!ini.open(QIODevice::WriteOnly)) {
            return false;
        }
        // Its panel's one launcher starts nothing, so no other window can come over the game.
        ini.write("[core]\nxwayland=true\nidle-time=0\n[shell]\npanel-position=top\n"
                  "[launcher]\nicon=/usr/share/weston/terminal.png\npath=/bin/true\n");
        ini.close();
        const QString socket = QString("cellwright-e2e-%1").arg(getpid());
        m_windowManager = StartInOwnGroup("weston",
                                          {"--backend=x11-backend.so", QString("--width=%1").arg(m_width),
                                           QString("--height=%1").arg(m_height), "--socket=" + socket,
                                           "--config=" + config, "--use-pixman", "--idle-time=0"},
                                          env, log);
        const QString xdisplay =
            m_windowManager
                ? WaitForLogLine(log, QRegularExpression("xserver listening on display (:\\d+)"), 15000)
                : QString();
        if (xdisplay.isEmpty()) {
            Note("weston did not offer an X server");
            return false;
        }
        m_clientDisplay = xdisplay;
        // A Wayland session as a desktop sets it up; the program decides on its own how to run.
        m_desktopEnvironment << "WAYLAND_DISPLAY=" + socket << "XDG_RUNTIME_DIR=" + runtime
                             << "XDG_SESSION_TYPE=wayland"
                             << "QT_QPA_PLATFORM=";
    } else if (waylandSession) {
        if (!StartWaylandSession(kind, env, log)) {
            return false;
        }
    } else {
        Note("unknown desktop " + kind);
        return false;
    }
    if (!m_windowManager) {
        return false;
    }
    // Up when it has announced itself on the root window.
    QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired() && m_windowManager->state() == QProcess::Running) {
        if (ClientTool("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"}).contains("window id")) {
            Note(QString("desktop %1 on %2").arg(kind, m_clientDisplay));
            return true;
        }
        QThread::msleep(kPollMs);
    }
    Note("the desktop " + kind + " did not come up");
    return false;
}

// GNOME's and Plasma's own compositors, nested in the X server as their Wayland sessions, each
// with its X11 compatibility server. What the compositor starts writes down the environment the
// session gives its programs, and the program starts in it as the session's launcher starts it.
bool CXSession::StartWaylandSession(const QString& kind, QProcessEnvironment env, const QString& log) {
    const QString socket = QString("cellwright-e2e-%1").arg(getpid());
    const QString written = m_dir + "/session-environment";
    QFile::remove(written);
    const QString record = QString("env > %1.part && mv %1.part %1 && exec sleep 86400").arg(written);
    if (kind == "mutter_wayland") {
        env.insert("MUTTER_DEBUG_DUMMY_MODE_SPECS", QString("%1x%2").arg(m_width).arg(m_height));
        m_windowManager = StartInOwnGroup(
            "mutter", {"--wayland", "--nested", "--wayland-display=" + socket, "--", "/bin/sh", "-c", record},
            env, log);
    } else {
        // kwin_wayland carries file capabilities, which a sandbox may refuse to run; a copy has none.
        const QString copy = m_home + "/kwin_wayland";
        QFile::remove(copy);
        if (!QFile::copy(QStandardPaths::findExecutable("kwin_wayland"), copy) ||
            !QFile::setPermissions(copy, QFile::ReadOwner | QFile::ExeOwner)) {
            Note("no kwin_wayland to copy");
            return false;
        }
        m_windowManager = StartInOwnGroup(copy,
                                          {"--x11-display", m_display, "--width", QString::number(m_width),
                                           "--height", QString::number(m_height), "--xwayland", "--socket",
                                           socket, "/bin/sh -c '" + record + "'"},
                                          env, log);
    }
    QDeadlineTimer deadline(20000);
    while (m_windowManager && m_windowManager->state() == QProcess::Running && !deadline.hasExpired() &&
           !QFileInfo::exists(written)) {
        QThread::msleep(kPollMs);
    }
    QFile file(written);
    if (!file.open(QIODevice::ReadOnly)) {
        Note("the session started nothing");
        return false;
    }
    const QProcessEnvironment given = [&file] {
        QProcessEnvironment e;
        for (const QByteArray& line : file.readAll().split('\n')) {
            const int eq = line.indexOf('=');
            if (eq > 0) {
                e.insert(QString::fromUtf8(line.left(eq)), QString::fromUtf8(line.mid(eq + 1)));
            }
        }
        return e;
    }();
    m_clientDisplay = given.value("DISPLAY");
    m_clientAuthority = given.value("XAUTHORITY");
    if (m_clientDisplay.isEmpty() || m_clientDisplay == m_display ||
        given.value("WAYLAND_DISPLAY").isEmpty()) {
        Note("the session offers no X server of its own: DISPLAY " + m_clientDisplay);
        return false;
    }
    m_desktopEnvironment << "WAYLAND_DISPLAY=" + given.value("WAYLAND_DISPLAY")
                         << "XAUTHORITY=" + m_clientAuthority << "XDG_RUNTIME_DIR=" + m_runtime->path()
                         << "XDG_SESSION_TYPE=wayland"
                         << QString("XDG_CURRENT_DESKTOP=") + (kind == "mutter_wayland" ? "GNOME" : "KDE")
                         << "QT_QPA_PLATFORM=";
    return true;
}

bool CXSession::StartProgram(const QStringList& environment, bool waitForMainWindow) {
    m_program = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", m_clientDisplay);
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.remove("CELLWRIGHT_PRINT_TO_PDF");
    env.remove("CELLWRIGHT_STARTUP_TIMING");
    env.remove("WAYLAND_DISPLAY");
    for (const QString& entry : m_desktopEnvironment + environment) {
        const int eq = entry.indexOf('=');
        env.insert(entry.left(eq), entry.mid(eq + 1));
    }
    m_program->setProcessEnvironment(env);
    m_program->setStandardOutputFile(m_dir + "/program.log");
    m_program->setStandardErrorFile(m_dir + "/program.log", QIODevice::Append);
    m_program->start(CELLWRIGHT_PROGRAM, {});
    if (!m_program->waitForStarted(5000)) {
        Note("the program did not start");
        return false;
    }
    if (!waitForMainWindow) {
        return true;
    }
    QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired() && m_program->state() == QProcess::Running) {
        const QStringList windows = FindWindows(" -- Version QV317$");
        if (!windows.isEmpty()) {
            m_mainWindow = windows.front();
            return !m_desktop.endsWith("_wayland") || SettlePointer();
        }
        QThread::msleep(kPollMs);
    }
    Note("no main window appeared");
    return false;
}

// A nested compositor tells its X11 server where the pointer is only once the pointer moves over
// one of that server's windows. Until then the server holds a stale place, and the first motion
// it hears of, even one into a menu the keys have opened, looks to the program like the player
// moving the mouse there (which drops the menu's highlighted item). So the pointer moves over
// the game's window now, and the keys wait until the game's own X server has it there.
bool CXSession::SettlePointer() {
    QDeadlineTimer deadline(10000);
    for (int step = 0; !deadline.hasExpired(); ++step) {
        const QString x = QString::number(1150 + step % 2 * 2), y = QString::number(718 + step % 2 * 2);
        ScreenTool({"mousemove", "--sync", x, y});
        QThread::msleep(kPollMs);
        const QString place = XDoTool({"getmouselocation"});
        if (place.startsWith(QString("x:%1 y:%2 ").arg(x, y))) {
            // And the compositor has made the window the active one, which is when the keys
            // typed reach it (a focus the game gave itself is not yet the compositor's).
            for (QDeadlineTimer active(5000); !active.hasExpired(); QThread::msleep(kPollMs)) {
                if (XDoTool({"getactivewindow"}).trimmed() == m_mainWindow) {
                    return true;
                }
            }
            Note("the session never made the game's window the active one");
            return true;
        }
    }
    Note("the session's X server never had the pointer over the game: " + XDoTool({"getmouselocation"}));
    return false;
}

int CXSession::WaitForExit(int milliseconds) {
    if (!m_program) {
        return -1;
    }
    if (m_program->state() != QProcess::NotRunning && !m_program->waitForFinished(milliseconds)) {
        return -1;
    }
    return m_program->exitStatus() == QProcess::NormalExit ? m_program->exitCode() : -1;
}

QString CXSession::XDoTool(const QStringList& arguments) {
    return RunTool("xdotool", arguments, m_clientDisplay, m_clientAuthority);
}

QString CXSession::ClientTool(const QString& program, const QStringList& arguments) {
    return RunTool(program, arguments, m_clientDisplay, m_clientAuthority);
}

// Input goes where the player's hands are: the X server the screen shows (under weston its
// output window passes the input on).
QString CXSession::ScreenTool(const QStringList& xdotoolArguments) {
    return RunTool("xdotool", xdotoolArguments, m_display);
}

QStringList CXSession::FindWindows(const QString& namePattern) {
    // By class, then by name here: xdotool's own name search misses Qt's popup windows.
    const QRegularExpression pattern(namePattern);
    QStringList found;
    const QString out = XDoTool({"search", "--onlyvisible", "--class", "cellwright"});
    for (const QString& window : out.split('\n', Qt::SkipEmptyParts)) {
        if (pattern.match(XDoTool({"getwindowname", window})).hasMatch()) {
            found << window;
        }
    }
    return found;
}

void CXSession::Focus(const QString& window) {
    XDoTool({"windowfocus", "--sync", window});
}

void CXSession::Click(int x, int y, int button) {
    ScreenTool(
        {"mousemove", "--sync", QString::number(x), QString::number(y), "click", QString::number(button)});
    Note(QString("click %1 at %2,%3").arg(button).arg(x).arg(y));
}

void CXSession::Drag(int fromX, int fromY, int toX, int toY, int pauseMs) {
    // Pauses between the steps let the program see the press before the pointer moves on.
    ScreenTool({"mousemove",
                "--sync",
                QString::number(fromX),
                QString::number(fromY),
                "sleep",
                "0.1",
                "mousedown",
                "1",
                "sleep",
                "0.1",
                "mousemove",
                "--sync",
                QString::number((fromX + toX) / 2),
                QString::number((fromY + toY) / 2),
                "sleep",
                QString::number(pauseMs / 1000.0),
                "mousemove",
                "--sync",
                QString::number(toX),
                QString::number(toY),
                "sleep",
                "0.1",
                "mouseup",
                "1"});
    Note(QString("drag %1,%2 -> %3,%4").arg(fromX).arg(fromY).arg(toX).arg(toY));
}

void CXSession::Keys(const QStringList& keys) {
    ScreenTool(QStringList{"key", "--delay", "15"} + keys);
    Note("keys " + keys.join(' '));
}

QImage CXSession::Shot(const QString& label) {
    const QImage image = Grab();
    Keep(image, label);
    return image;
}

// Screenshots are numbered in the order taken, so a failed run's folder reads as a story.
void CXSession::Keep(const QImage& image, const QString& label) {
    image.save(QString("%1/%2-%3.png").arg(m_dir).arg(++m_shots, 2, 10, QChar('0')).arg(label));
}

QImage CXSession::WindowShot(const QString& label) {
    QImage image = GrabScreen(m_display);
    DrawMainWindowOver(&image);
    Keep(image, label);
    return image;
}

QImage CXSession::Grab() {
    QImage screen = GrabScreen(m_display);
    // Mutter, compositing in software under Xvfb, now and then leaves the screen one picture
    // behind a window until the window changes again, while the window itself holds the new one
    // (seen with and without the XSync protocol): the main window's picture is taken from it.
    if (m_desktop == "mutter") {
        DrawMainWindowOver(&screen);
    }
    return screen;
}

void CXSession::DrawMainWindowOver(QImage* screen) {
    if (m_mainWindow.isEmpty() || screen->isNull()) {
        return;
    }
    const QString info = ClientTool("xwininfo", {"-id", m_mainWindow});
    const auto number = [&](const char* field) {
        return QRegularExpression(QString(field) + R"(\s*(-?\d+))").match(info).captured(1).toInt();
    };
    QImage own;
    own.loadFromData(
        RunToolOutput("import", {"-window", m_mainWindow, "png:-"}, m_clientDisplay, m_clientAuthority),
        "PNG");
    if (!own.isNull() && info.contains("IsViewable")) {
        QPainter(screen).drawImage(number("Absolute upper-left X:"), number("Absolute upper-left Y:"), own);
    }
}

bool CXSession::WaitForScreen(const QString& label, const std::function<bool(const QImage&)>& check,
                              int milliseconds) {
    QDeadlineTimer deadline(milliseconds);
    for (;;) {
        const QImage image = Grab();
        const bool ok = !image.isNull() && check(image);
        if (ok || deadline.hasExpired()) {
            Keep(image, label);
            if (!ok) {
                Note("timed out waiting for: " + label);
            }
            return ok;
        }
        QThread::msleep(kPollMs);
    }
}

bool CXSession::WaitForWindow(const QString& namePattern, int milliseconds) {
    QDeadlineTimer deadline(milliseconds);
    while (FindWindows(namePattern).isEmpty()) {
        if (deadline.hasExpired()) {
            Note("timed out waiting for a window named " + namePattern);
            return false;
        }
        QThread::msleep(kPollMs);
    }
    return true;
}

void CXSession::Note(const QString& line) {
    QFile file(m_dir + "/notes.txt");
    if (file.open(QIODevice::Append | QIODevice::Text)) {
        QTextStream(&file) << line << '\n';
    }
}

void CXSession::KeepArtifacts() {
    m_keep = true;
}

// --- the keys of a game of the own-numbers test puzzle ------------------------------------------------

QStringList KeysFillingTheTestPuzzle() {
    QStringList keys;
    for (int r = 0; r < 9; ++r) {
        for (int c = 0; c < 9; ++c) {
            if (kTestPuzzle[r][c] != '.') {
                keys << QString(QChar(kTestPuzzle[r][c]));
            }
            keys << "Tab";
        }
    }
    return keys;
}

QStringList KeysTypingTheTestSolution() {
    QStringList keys;
    for (int r = 0; r < 9; ++r) {
        for (int c = 0; c < 9; ++c) {
            if (kTestPuzzle[r][c] == '.') {
                keys << QString(QChar(kTestSolution[r][c]));
            }
            keys << "Right";
        }
        keys << "Down";
    }
    return keys;
}

// --- reading screenshots ------------------------------------------------------------------------------

int CountColour(const QImage& image, const CPixelRect& rect, int r, int g, int b) {
    int count = 0;
    const QRgb wanted = qRgb(r, g, b);
    for (int y = std::max(0, rect.top); y < std::min(image.height(), rect.bottom); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = std::max(0, rect.left); x < std::min(image.width(), rect.right); ++x) {
            count += (line[x] | 0xFF000000u) == wanted ? 1 : 0;
        }
    }
    return count;
}

int CountDark(const QImage& image, const CPixelRect& rect) {
    int count = 0;
    for (int y = std::max(0, rect.top); y < std::min(image.height(), rect.bottom); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = std::max(0, rect.left); x < std::min(image.width(), rect.right); ++x) {
            count += qGray(line[x]) < 96 ? 1 : 0;
        }
    }
    return count;
}

int ClientTop(const QImage& image) {
    // The menu bar is drawn in the style's gray; the client area begins at the first white row
    // below it, at the left edge where neither the pages nor the board put ink.
    bool sawMenu = false;
    for (int y = 0; y < image.height() / 4; ++y) {
        const bool white = (image.pixel(2, y) | 0xFF000000u) == qRgb(255, 255, 255);
        if (!white) {
            sawMenu = true;
        } else if (sawMenu) {
            return y;
        }
    }
    return -1;
}
