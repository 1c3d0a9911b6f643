#include "SpeechLog.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <QRegularExpression>

CSpeechLog::~CSpeechLog() {
    m_stop = true;
    if (m_reader.joinable()) {
        m_reader.join();
    }
    for (int fd : {m_slave, m_master}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

QString CSpeechLog::Open() {
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        return QString();
    }
    const char* name = ::ptsname(m_master);
    m_slave = name ? ::open(name, O_RDWR | O_NOCTTY) : -1;
    if (m_slave < 0) {
        return QString();
    }
    // Raw: the text comes through as written, without echo or line endings rewritten.
    termios mode{};
    if (::tcgetattr(m_slave, &mode) == 0) {
        ::cfmakeraw(&mode);
        ::tcsetattr(m_slave, TCSANOW, &mode);
    }
    m_reader = std::thread([this] { Drain(); });
    return QString::fromLocal8Bit(name);
}

void CSpeechLog::Drain() {
    char buffer[16384];
    while (!m_stop) {
        pollfd p{m_master, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0 || !(p.revents & POLLIN)) {
            continue;
        }
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_output.append(buffer, static_cast<int>(n));
        }
    }
}

QByteArray CSpeechLog::Output() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_output;
}

QStringList CSpeechLog::Utterances() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (qsizetype end; (end = m_output.indexOf('\n', m_parsed)) >= 0; m_parsed = end + 1) {
        ReadSpeechLine(QString::fromUtf8(m_output.mid(m_parsed, end - m_parsed)), &m_open, &m_said);
    }
    return m_said;
}

void ReadSpeechLine(const QString& line, QStringList* open, QStringList* said) {
    // "hh:mm:ss.us - SPEECH OUTPUT: 'text'{voice}"; a longer text goes on over indented lines, and
    // the entry ends with the closing quote and the voice where the log gives one, or else where
    // the indented lines end.
    static const QRegularExpression voice(R"('\s*\{.*\}\s*$)");
    static const QString mark = QStringLiteral("SPEECH OUTPUT: '");
    const auto close = [open, said](QString text) {
        const auto v = voice.match(text);
        text.truncate(v.hasMatch() ? v.capturedStart() : text.lastIndexOf(QLatin1Char('\'')));
        *said << text;
        open->clear();
    };
    if (!open->isEmpty()) {
        if (line.startsWith(QLatin1Char(' '))) {
            *open << line.trimmed();
            if (voice.match(line).hasMatch()) {
                close(open->join('\n'));
            }
            return;
        }
        close(open->join('\n'));
    }
    const int at = line.indexOf(mark);
    if (at < 0) {
        return;
    }
    *open << line.mid(at + mark.size());
    if (voice.match(line).hasMatch()) {
        close(open->join('\n'));
    }
}
