#pragma once
// A private sound server with null sinks, and recordings of their monitors: what a player would
// hear. Either PulseAudio, or PipeWire with its PulseAudio server (pipewire, wireplumber and
// pipewire-pulse on a session bus of their own), the default of current desktops; clients speak
// the same protocol to both. Everything lives in a temporary folder of its own (runtime
// directory, home, configuration, state, sockets), no device of the machine is touched, nothing
// is spawned or looked up through the desktop session, and every process is ended by its own
// process id when the object goes, also after a failed check. Every wait has a deadline.

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <map>
#include <memory>
#include <vector>

// This process's environment with "NAME=value" entries added or replaced.
QProcessEnvironment EnvironmentWith(const QStringList& entries);

enum class CServerKind { PulseAudio, PipeWire };

class CSoundServer {
  public:
    // The recording's format: mono, 16-bit, this many samples a second.
    static constexpr int kRate = 22050;
    // The sink the server starts with, its default output.
    static const QString kSink;

    explicit CSoundServer(CServerKind kind = CServerKind::PulseAudio);
    ~CSoundServer();

    CSoundServer(const CSoundServer&) = delete;
    CSoundServer& operator=(const CSoundServer&) = delete;

    // Starts the server with the sink kSink as its default output, and waits until it answers;
    // false (with the reason in Log()) on failure. After Kill, starts it again on the same socket.
    bool Start();
    // Ends the server's processes at once, as a crash would; their clients see the connection go.
    void Kill();
    // Stops the server's processes (SIGSTOP) or lets them go on: a server that takes connections
    // and requests and never answers.
    void Freeze(bool frozen);

    // "NAME=value" entries that make a client use this server and nothing else.
    QStringList ClientEnvironment() const;

    // Another null sink, and making a sink the default output, as the desktop's settings do.
    bool AddSink(const QString& name);
    bool SetDefaultSink(const QString& name);
    // pactl's output (never empty) when it succeeded, empty otherwise.
    QByteArray Pactl(const QStringList& arguments) const;

    // Records the sink's monitor until StopRecording; returns once samples are arriving.
    bool StartRecording(const QString& sink = kSink);
    // The samples recorded so far, in -1..1.
    std::vector<float> Recorded(const QString& sink = kSink) const;
    // Ends the recording and returns all its samples.
    std::vector<float> StopRecording(const QString& sink = kSink);

    // The server's log and what went wrong, for a failed test's message.
    QString Log() const;

  private:
    // Starts the program into the slot; nullptr (with the reason noted) when it did not start.
    QProcess* Spawn(std::unique_ptr<QProcess>& slot, const QString& program, const QStringList& arguments,
                    const QProcessEnvironment& env);
    std::unique_ptr<QProcess>& NewProcess();
    bool StartPipeWire(const QProcessEnvironment& env);
    bool WaitUntilAnswering(int milliseconds);
    QString Socket() const;
    QString RecordingFile(const QString& sink) const;

    CServerKind m_kind;
    QTemporaryDir m_dir;
    // The server's processes in the order they started; they end in the reverse order.
    std::vector<std::unique_ptr<QProcess>> m_processes;
    std::unique_ptr<QProcess> m_bus; // PipeWire's session bus
    std::map<QString, std::unique_ptr<QProcess>> m_recorders;
    QString m_problem;
};
