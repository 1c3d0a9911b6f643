#include "platform/AfxString.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

CString::CString(const char* s, int count) {
    if (s && count > 0)
        m_text.assign(s, strnlen(s, static_cast<size_t>(count)));
}

int CString::CompareNoCase(const char* s) const {
    std::string a = m_text, b = s ? s : "";
    for (auto& ch : a)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    for (auto& ch : b)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return a.compare(b);
}

CString CString::Left(int count) const {
    count = std::clamp(count, 0, GetLength());
    return CString(m_text.substr(0, static_cast<size_t>(count)));
}

CString CString::Right(int count) const {
    count = std::clamp(count, 0, GetLength());
    return CString(m_text.substr(static_cast<size_t>(GetLength() - count)));
}

CString CString::Mid(int first) const {
    return Mid(first, GetLength());
}

CString CString::Mid(int first, int count) const {
    first = std::clamp(first, 0, GetLength());
    count = std::clamp(count, 0, GetLength() - first);
    return CString(m_text.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

int CString::Find(char ch, int start) const {
    if (start < 0 || start >= GetLength())
        return -1;
    size_t pos = m_text.find(ch, static_cast<size_t>(start));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(const char* sub, int start) const {
    if (!sub || start < 0 || start > GetLength())
        return -1;
    size_t pos = m_text.find(sub, static_cast<size_t>(start));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

void CString::MakeUpper() {
    for (auto& ch : m_text)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
}

void CString::MakeLower() {
    for (auto& ch : m_text)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
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

int AfxFormat(char* buf, size_t bufSize, const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    int n = AfxFormatV(buf, bufSize, fmt, args);
    va_end(args);
    return n;
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
