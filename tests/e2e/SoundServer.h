#pragma once
// A private PulseAudio server with one null sink, and a recording of that sink's monitor: what a
// player would hear. Everything lives in a temporary folder of its own (runtime directory, home,
// socket, cookie), nothing is spawned or looked up through the desktop session, and the server
// and the recorder are ended by their own process ids when the object goes, also after a failed
// check. Every wait has a deadline.

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <vector>

// This process's environment with "NAME=value" entries added or replaced.
QProcessEnvironment EnvironmentWith(const QStringList& entries);

class CSoundServer {
  public:
    // The recording's format: mono, 16-bit, this many samples a second.
    static constexpr int kRate = 22050;

    CSoundServer();
    ~CSoundServer();

    CSoundServer(const CSoundServer&) = delete;
    CSoundServer& operator=(const CSoundServer&) = delete;

    // Starts the server and waits until it answers; false (with the reason in Log()) on failure.
    bool Start();
    // "NAME=value" entries that make a client use this server and nothing else.
    QStringList ClientEnvironment() const;

    // Records the sink's monitor until StopRecording; returns once samples are arriving.
    bool StartRecording();
    // The samples recorded so far, in -1..1.
    std::vector<float> Recorded() const;
    // Ends the recording and returns all its samples.
    std::vector<float> StopRecording();

    // The server's log and what went wrong, for a failed test's message.
    QString Log() const;

  private:
    bool WaitUntilAnswering(int milliseconds);
    // pactl's output (never empty) when it succeeded, empty otherwise.
    QByteArray Pactl(const QStringList& arguments) const;

    QTemporaryDir m_dir;
    std::unique_ptr<QProcess> m_server;
    std::unique_ptr<QProcess> m_recorder;
    QString m_problem;
};
