#include "platform/AfxInternal.h"

#include <QStringDecoder>

#include <langinfo.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

CString::CString(const char* s, int count) {
    if (s && count > 0)
        m_text.assign(s, strnlen(s, static_cast<size_t>(count)));
}

CString CString::Left(int count) const {
    count = std::clamp(count, 0, GetLength());
    return CString(m_text.substr(0, static_cast<size_t>(count)));
}

void CString::Format(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    va_list copy;
    va_copy(copy, args);
    int n = vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    if (n < 0) {
        m_text.clear();
    } else {
        std::vector<char> buf(static_cast<size_t>(n) + 1);
        vsnprintf(buf.data(), buf.size(), fmt, args);
        m_text.assign(buf.data(), static_cast<size_t>(n));
    }
    va_end(args);
}

namespace {
constexpr size_t kWin32FormatLimit = 1024;
}

int AfxFormatV(char* buf, size_t bufSize, const char* fmt, va_list args) {
    if (!buf || bufSize == 0)
        return 0;
    if (!fmt) {
        buf[0] = '\0';
        return 0;
    }
    size_t limit = std::min(bufSize, kWin32FormatLimit + 1);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    int n = vsnprintf(buf, limit, fmt, args);
#pragma GCC diagnostic pop
    if (n < 0) {
        buf[0] = '\0';
        return 0;
    }
    return static_cast<int>(std::min(static_cast<size_t>(n), limit - 1));
}

CTime CTime::GetCurrentTime() {
    return CTime(time(nullptr));
}

CString CTime::Format(const char* fmt) const {
    if (!fmt || !*fmt)
        return CString();
    struct tm local {};
    localtime_r(&m_time, &local);
    char buf[256];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    size_t n = strftime(buf, sizeof buf, fmt, &local);
#pragma GCC diagnostic pop
    return CString(buf, static_cast<int>(n));
}

// ---------------------------------------------------------------------------------------------
// The game's 8-bit text in Qt's strings

namespace {
bool LocaleIsUtf8() {
    const char* codeset = nl_langinfo(CODESET);
    return codeset && (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
}
} // namespace

QString AfxTextToQt(const char* text, int count) {
    if (!text)
        return QString();
    const int n = count < 0 ? static_cast<int>(std::strlen(text))
                            : static_cast<int>(strnlen(text, static_cast<size_t>(count)));
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    if (std::all_of(bytes, bytes + n, [](unsigned char b) { return b < 0x80; }))
        return QString::fromLatin1(text, n);
    // Bytes that are not UTF-8 in a UTF-8 locale (and any in the C or a Latin-1 locale) are
    // taken as Latin-1, as they always were.
    if (LocaleIsUtf8()) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString decoded = utf8.decode(QByteArrayView(text, n));
        if (!utf8.hasError())
            return decoded;
    }
    return QString::fromLatin1(text, n);
}

QByteArray AfxTextFromQt(const QString& text) {
    return LocaleIsUtf8() ? text.toUtf8() : text.toLatin1();
}
