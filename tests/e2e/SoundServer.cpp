#include "SoundServer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QThread>

#include <csignal>

#include "XSession.h"

namespace {

const int kStartMs = 10000;

bool WriteFile(const QString& path, const QByteArray& text) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

} // namespace

const QString CSoundServer::kSink = "cellwright_test";

QProcessEnvironment EnvironmentWith(const QStringList& entries) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& entry : entries) {
        env.insert(entry.section('=', 0, 0), entry.section('=', 1));
    }
    return env;
}

CSoundServer::CSoundServer(CServerKind kind) : m_kind(kind), m_dir(QDir::tempPath() + "/cw-sound-XXXXXX") {}

CSoundServer::~CSoundServer() {
    for (auto& recorder : m_recorders) {
        EndProcess(recorder.second.get());
    }
    Freeze(false);
    for (auto it = m_processes.rbegin(); it != m_processes.rend(); ++it) {
        EndProcess(it->get());
    }
    EndProcess(m_bus.get());
}

QProcess* CSoundServer::Spawn(std::unique_ptr<QProcess>& slot, const QString& program,
                              const QStringList& arguments, const QProcessEnvironment& env) {
    slot = std::make_unique<QProcess>();
    QProcess* process = slot.get();
    process->setProcessEnvironment(env);
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->setStandardOutputFile(m_dir.path() + "/server.log", QIODevice::Append);
    process->start(program, arguments);
    if (!process->waitForStarted(kStartMs)) {
        m_problem = program + " did not start: " + process->errorString();
        return nullptr;
    }
    return process;
}

std::unique_ptr<QProcess>& CSoundServer::NewProcess() {
    m_processes.emplace_back();
    return m_processes.back();
}

QString CSoundServer::Socket() const {
    return m_dir.path() + (m_kind == CServerKind::PulseAudio ? "/native" : "/run/native");
}

bool CSoundServer::Start() {
    if (!m_dir.isValid()) {
        m_problem = "no temporary folder";
        return false;
    }
    const QString root = m_dir.path();
    // Started again after Kill: no socket of the killed server may look like the new one's.
    QDir(root + "/run").removeRecursively();
    QFile::remove(Socket());
    for (const char* sub : {"run", "home", "state"}) {
        QDir().mkpath(root + "/" + sub);
    }
    QFile::setPermissions(root + "/run",
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // Clients never start a server of their own when this one is not there.
    if (!WriteFile(root + "/client.conf", "autospawn = no\n")) {
        m_problem = "cannot write the client configuration";
        return false;
    }

    // Only the private folders: no desktop session, no display, no user configuration.
    QProcessEnvironment env;
    env.insert("PATH", qEnvironmentVariable("PATH"));
    env.insert("HOME", root + "/home");
    env.insert("XDG_RUNTIME_DIR", root + "/run");
    env.insert("XDG_CONFIG_HOME", root + "/home");
    env.insert("XDG_STATE_HOME", root + "/state");
    env.insert("PULSE_RUNTIME_PATH", root + "/run");
    env.insert("PULSE_STATE_PATH", root + "/state");
    env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + root + "/no-bus");

    if (m_kind == CServerKind::PipeWire) {
        return StartPipeWire(env) && WaitUntilAnswering(kStartMs);
    }
    const QStringList arguments{
        "-n",
        "--daemonize=no",
        "--exit-idle-time=-1",
        "--use-pid-file=no",
        "--disallow-exit",
        "--log-target=stderr",
        "--log-level=warning",
        "--load=module-native-protocol-unix auth-anonymous=1 socket=" + Socket(),
        QString("--load=module-null-sink sink_name=%1 rate=44100 channels=2").arg(kSink)};
    return Spawn(NewProcess(), "pulseaudio", arguments, env) != nullptr && WaitUntilAnswering(kStartMs);
}

bool CSoundServer::StartPipeWire(const QProcessEnvironment& base) {
    const QString root = m_dir.path();
    // A bus that starts no services: whatever wireplumber asks for there is simply not found.
    const QString bus = root + "/run/bus";
    const QByteArray busConfig =
        "<busconfig><type>session</type><listen>unix:path=" + bus.toUtf8() +
        "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
        "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
        "<allow own=\"*\"/></policy></busconfig>\n";
    // No devices of the machine: the sound cards, cameras and Bluetooth stay the desktop's own.
    const QByteArray noDevices = "alsa_monitor.enabled = false\nv4l2_monitor.enabled = false\n"
                                 "libcamera_monitor.enabled = false\n";
    // The graph's cycle no shorter than a desktop's usual 1024 frames, whatever the recorder asks
    // for: this server has no real-time scheduling on a shared machine, and a cycle of a few
    // milliseconds woken late repeats a buffer into what is played and recorded.
    const QByteArray quantum = "context.properties = { default.clock.min-quantum = 1024 }\n";
    if (!WriteFile(root + "/bus.conf", busConfig) ||
        !WriteFile(root + "/home/pipewire/pipewire.conf.d/51-quantum.conf", quantum) ||
        !WriteFile(root + "/home/wireplumber/main.lua.d/51-no-devices.lua", noDevices) ||
        !WriteFile(root + "/home/wireplumber/bluetooth.lua.d/51-no-devices.lua",
                   "bluez_monitor.enabled = false\n")) {
        m_problem = "cannot write the PipeWire configuration";
        return false;
    }
    QProcessEnvironment env = base;
    env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + bus);
    if (Spawn(m_bus, "dbus-daemon", {"--nofork", "--nopidfile", "--config-file=" + root + "/bus.conf"},
              env) == nullptr) {
        return false;
    }
    QDeadlineTimer deadline(kStartMs);
    while (!QFileInfo::exists(bus) && !deadline.hasExpired()) {
        QThread::msleep(10);
    }
    // The graph first: the session manager and the PulseAudio server both connect to it.
    if (Spawn(NewProcess(), "pipewire", {}, env) == nullptr) {
        return false;
    }
    while (!QFileInfo::exists(root + "/run/pipewire-0") && !deadline.hasExpired()) {
        QThread::msleep(10);
    }
    return Spawn(NewProcess(), "wireplumber", {}, env) != nullptr &&
           Spawn(NewProcess(), "pipewire-pulse", {}, env) != nullptr;
}

bool CSoundServer::WaitUntilAnswering(int milliseconds) {
    QDeadlineTimer deadline(milliseconds);
    auto running = [this] {
        for (const auto& process : m_processes) {
            if (process->state() != QProcess::Running) {
                return false;
            }
        }
        return true;
    };
    while (!deadline.hasExpired() && running()) {
        if (QFileInfo::exists(Socket()) && !Pactl({"info"}).isEmpty()) {
            // PipeWire's sink is made through its PulseAudio server, as a client makes one. A
            // default source of its own keeps the recordings where they are when a test chooses
            // another output: PulseAudio's default source otherwise follows the default sink's
            // monitor, and takes every recording along.
            return (m_kind == CServerKind::PulseAudio || AddSink(kSink)) && SetDefaultSink(kSink) &&
                   !Pactl({"set-default-source", kSink + ".monitor"}).isEmpty();
        }
        QThread::msleep(20);
    }
    m_problem = "the sound server did not answer";
    return false;
}

void CSoundServer::Kill() {
    for (auto it = m_processes.rbegin(); it != m_processes.rend(); ++it) {
        if ((*it)->state() != QProcess::NotRunning) {
            ::kill(static_cast<pid_t>((*it)->processId()), SIGKILL);
            (*it)->waitForFinished(2000);
        }
    }
    m_processes.clear();
    EndProcess(m_bus.get());
    m_bus.reset();
    for (auto& recorder : m_recorders) {
        EndProcess(recorder.second.get());
    }
}

void CSoundServer::Freeze(bool frozen) {
    for (const auto& process : m_processes) {
        if (process->state() == QProcess::Running) {
            ::kill(static_cast<pid_t>(process->processId()), frozen ? SIGSTOP : SIGCONT);
        }
    }
}

bool CSoundServer::AddSink(const QString& name) {
    if (Pactl({"load-module", "module-null-sink", "sink_name=" + name, "rate=44100", "channels=2"})
            .isEmpty()) {
        return false;
    }
    QDeadlineTimer deadline(kStartMs);
    while (!deadline.hasExpired()) {
        if (Pactl({"list", "short", "sinks"}).contains(name.toUtf8())) {
            return true;
        }
        QThread::msleep(20);
    }
    return false;
}

bool CSoundServer::SetDefaultSink(const QString& name) {
    if (Pactl({"set-default-sink", name}).isEmpty()) {
        return false;
    }
    // PipeWire's session manager makes the choice the default a moment later.
    QDeadlineTimer deadline(kStartMs);
    while (!deadline.hasExpired()) {
        if (Pactl({"get-default-sink"}).trimmed() == name.toUtf8()) {
            return true;
        }
        QThread::msleep(20);
    }
    m_problem = "the default output did not become " + name;
    return false;
}

QByteArray CSoundServer::Pactl(const QStringList& arguments) const {
    QProcess pactl;
    pactl.setProcessEnvironment(EnvironmentWith(ClientEnvironment()));
    pactl.start("pactl", arguments);
    if (!pactl.waitForFinished(3000) || pactl.exitCode() != 0) {
        EndProcess(&pactl);
        return QByteArray();
    }
    return pactl.readAllStandardOutput() + " ";
}

QStringList CSoundServer::ClientEnvironment() const {
    const QString root = m_dir.path();
    return {"PULSE_SERVER=unix:" + Socket(), "PULSE_COOKIE=" + root + "/home/cookie",
            "PULSE_CLIENTCONFIG=" + root + "/client.conf"};
}

QString CSoundServer::RecordingFile(const QString& sink) const {
    return m_dir.path() + "/" + sink + ".raw";
}

bool CSoundServer::StartRecording(const QString& sink) {
    const QString file = RecordingFile(sink);
    QFile::remove(file);
    auto& recorder = m_recorders[sink];
    EndProcess(recorder.get());
    recorder = std::make_unique<QProcess>();
    recorder->setProcessEnvironment(EnvironmentWith(ClientEnvironment()));
    recorder->setStandardOutputFile(file);
    recorder->setStandardErrorFile(m_dir.path() + "/recorder.log", QIODevice::Append);
    // Pinned to its monitor: PipeWire's session manager otherwise moves a recording of the default
    // sink's monitor along when another output becomes the default.
    recorder->start("parec",
                    {"-d", sink + ".monitor", "--property=node.dont-reconnect=true", "--format=s16le",
                     QString("--rate=%1").arg(kRate), "--channels=1", "--raw", "--latency-msec=10"});
    // An idle null sink renders in long blocks, and the monitor stays silent until the current
    // one ends (up to 2 s); suspending and resuming the sink starts it afresh at the recorder's
    // short latency.
    QDeadlineTimer deadline(kStartMs);
    QElapsedTimer sinceKick;
    sinceKick.start();
    while (!deadline.hasExpired() && recorder->state() != QProcess::NotRunning) {
        if (QFileInfo(file).size() > 0) {
            return true;
        }
        if (sinceKick.elapsed() > 150) {
            Pactl({"suspend-sink", sink, "1"});
            Pactl({"suspend-sink", sink, "0"});
            sinceKick.restart();
        }
        QThread::msleep(10);
    }
    m_problem = "the monitor recording of " + sink + " did not start";
    return false;
}

std::vector<float> CSoundServer::Recorded(const QString& sink) const {
    QFile file(RecordingFile(sink));
    std::vector<float> samples;
    if (!file.open(QIODevice::ReadOnly)) {
        return samples;
    }
    const QByteArray raw = file.readAll();
    samples.resize(static_cast<size_t>(raw.size() / 2));
    const auto* bytes = reinterpret_cast<const unsigned char*>(raw.constData());
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<int16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8) / 32768.0f;
    }
    return samples;
}

std::vector<float> CSoundServer::StopRecording(const QString& sink) {
    auto it = m_recorders.find(sink);
    if (it != m_recorders.end()) {
        EndProcess(it->second.get());
        m_recorders.erase(it);
    }
    return Recorded(sink);
}

QString CSoundServer::Log() const {
    QFile log(m_dir.path() + "/server.log");
    QString text = m_problem;
    if (log.open(QIODevice::ReadOnly)) {
        text += "\n" + QString::fromUtf8(log.readAll());
    }
    return text;
}
