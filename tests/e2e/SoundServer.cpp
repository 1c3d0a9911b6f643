#include "SoundServer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QThread>

#include "XSession.h"

namespace {

const char kSink[] = "cellwright_test";
const int kStartMs = 10000;

} // namespace

QProcessEnvironment EnvironmentWith(const QStringList& entries) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& entry : entries) {
        env.insert(entry.section('=', 0, 0), entry.section('=', 1));
    }
    return env;
}

CSoundServer::CSoundServer() : m_dir(QDir::tempPath() + "/cw-pulse-XXXXXX") {}

CSoundServer::~CSoundServer() {
    EndProcess(m_recorder.get());
    EndProcess(m_server.get());
}

bool CSoundServer::Start() {
    if (!m_dir.isValid()) {
        m_problem = "no temporary folder";
        return false;
    }
    const QString root = m_dir.path();
    for (const char* sub : {"run", "home", "state"}) {
        QDir().mkpath(root + "/" + sub);
    }
    QFile::setPermissions(root + "/run",
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // Clients never start a server of their own when this one is not there.
    QFile conf(root + "/client.conf");
    if (!conf.open(QIODevice::WriteOnly) || conf.write("autospawn = no\n") < 0) {
        m_problem = "cannot write the client configuration";
        return false;
    }
    conf.close();

    // Only the private folders: no session bus, no display, no user configuration.
    QProcessEnvironment env;
    env.insert("PATH", qEnvironmentVariable("PATH"));
    env.insert("HOME", root + "/home");
    env.insert("XDG_RUNTIME_DIR", root + "/run");
    env.insert("XDG_CONFIG_HOME", root + "/home");
    env.insert("PULSE_RUNTIME_PATH", root + "/run");
    env.insert("PULSE_STATE_PATH", root + "/state");
    env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + root + "/no-bus");

    m_server = std::make_unique<QProcess>();
    m_server->setProcessEnvironment(env);
    m_server->setProcessChannelMode(QProcess::MergedChannels);
    m_server->setStandardOutputFile(root + "/server.log");
    m_server->start("pulseaudio",
                    {"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no", "--disallow-exit",
                     "--log-target=stderr", "--log-level=warning",
                     "--load=module-native-protocol-unix auth-anonymous=1 socket=" + root + "/native",
                     QString("--load=module-null-sink sink_name=%1 rate=44100 channels=2").arg(kSink)});
    if (!m_server->waitForStarted(kStartMs)) {
        m_problem = "pulseaudio did not start: " + m_server->errorString();
        return false;
    }
    return WaitUntilAnswering(kStartMs);
}

bool CSoundServer::WaitUntilAnswering(int milliseconds) {
    QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired() && m_server->state() == QProcess::Running) {
        if (QFileInfo::exists(m_dir.path() + "/native") &&
            Pactl({"list", "short", "sinks"}).contains(kSink)) {
            return true;
        }
        QThread::msleep(20);
    }
    m_problem = "the sound server did not answer";
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
    return {"PULSE_SERVER=unix:" + root + "/native", "PULSE_COOKIE=" + root + "/home/cookie",
            "PULSE_CLIENTCONFIG=" + root + "/client.conf", "PULSE_SINK=" + QString(kSink)};
}

bool CSoundServer::StartRecording() {
    const QString file = m_dir.path() + "/monitor.raw";
    QFile::remove(file);
    m_recorder = std::make_unique<QProcess>();
    m_recorder->setProcessEnvironment(EnvironmentWith(ClientEnvironment()));
    m_recorder->setStandardOutputFile(file);
    m_recorder->setStandardErrorFile(m_dir.path() + "/recorder.log");
    m_recorder->start("parec",
                      {"-d", QString("%1.monitor").arg(kSink), "--format=s16le",
                       QString("--rate=%1").arg(kRate), "--channels=1", "--raw", "--latency-msec=10"});
    // An idle null sink renders in long blocks, and the monitor stays silent until the current
    // one ends (up to 2 s); suspending and resuming the sink starts it afresh at the recorder's
    // short latency.
    QDeadlineTimer deadline(kStartMs);
    QElapsedTimer sinceKick;
    sinceKick.start();
    while (!deadline.hasExpired() && m_recorder->state() != QProcess::NotRunning) {
        if (QFileInfo(file).size() > 0) {
            return true;
        }
        if (sinceKick.elapsed() > 150) {
            Pactl({"suspend-sink", kSink, "1"});
            Pactl({"suspend-sink", kSink, "0"});
            sinceKick.restart();
        }
        QThread::msleep(10);
    }
    m_problem = "the monitor recording did not start";
    return false;
}

std::vector<float> CSoundServer::Recorded() const {
    QFile file(m_dir.path() + "/monitor.raw");
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

std::vector<float> CSoundServer::StopRecording() {
    EndProcess(m_recorder.get());
    m_recorder.reset();
    return Recorded();
}

QString CSoundServer::Log() const {
    QFile log(m_dir.path() + "/server.log");
    QString text = m_problem;
    if (log.open(QIODevice::ReadOnly)) {
        text += "\n" + QString::fromUtf8(log.readAll());
    }
    return text;
}
