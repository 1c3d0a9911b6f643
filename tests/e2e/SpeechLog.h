#pragma once
// What a screen reader says, read as it says it. Orca writes every utterance to its debug output
// as a "SPEECH OUTPUT: '...'" entry; a file would hold them back in its buffer, so the output goes
// to a pseudo-terminal, which Orca's writer flushes line by line, and a thread of this object
// drains it as it comes.

#include <QString>
#include <QStringList>

#include <atomic>
#include <mutex>
#include <thread>

class CSpeechLog {
  public:
    CSpeechLog() = default;
    ~CSpeechLog();
    CSpeechLog(const CSpeechLog&) = delete;
    CSpeechLog& operator=(const CSpeechLog&) = delete;

    // Opens the terminal and starts reading; the path the screen reader writes to, empty on failure.
    QString Open();
    // Everything written so far.
    QByteArray Output() const;
    // The utterances so far, in the order said.
    QStringList Utterances() const;

  private:
    void Drain();

    int m_master = -1;
    int m_slave = -1; // kept open so the terminal lives on between the reader's writes
    std::atomic<bool> m_stop{false};
    std::thread m_reader;
    mutable std::mutex m_mutex;
    QByteArray m_output;
    // Read up to here, the utterances in that part, and one begun there whose end is still to come.
    mutable qsizetype m_parsed = 0;
    mutable QStringList m_said;
    mutable QStringList m_open;
};

// Feeds one line of a screen reader's debug output to the utterances read from it: an utterance
// ("SPEECH OUTPUT: 'File.'{...}") may go on over the lines that follow (a page of text), and open
// holds it until it is complete.
void ReadSpeechLine(const QString& line, QStringList* open, QStringList* said);
