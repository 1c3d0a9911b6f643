// CString, wsprintfA and CTime: the 8-bit text helpers the game formats its texts with.
#pragma once

#include "platform/AfxTypes.h"

#include <cstdarg>
#include <ctime>
#include <string>

class CString {
  public:
    CString() = default;
    CString(const char* s) : m_text(s ? s : "") {}
    CString(const char* s, int count);
    CString(char ch, int repeat = 1) : m_text(repeat > 0 ? static_cast<size_t>(repeat) : 0, ch) {}
    CString(const std::string& s) : m_text(s) {}

    CString& operator=(const char* s) {
        m_text = s ? s : "";
        return *this;
    }
    CString& operator+=(const CString& s) {
        m_text += s.m_text;
        return *this;
    }
    CString& operator+=(const char* s) {
        if (s)
            m_text += s;
        return *this;
    }
    CString& operator+=(char ch) {
        m_text += ch;
        return *this;
    }

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    operator const char*() const { return m_text.c_str(); }
    const char* GetString() const { return m_text.c_str(); }
    const std::string& Str() const { return m_text; }
    // Out-of-range reads give '\0' rather than undefined behaviour.
    char GetAt(int i) const { return i >= 0 && i < GetLength() ? m_text[static_cast<size_t>(i)] : '\0'; }

    int Compare(const char* s) const { return m_text.compare(s ? s : ""); }
    CString Left(int count) const;
    // printf-style formatting into the string (any length).
    void Format(const char* fmt, ...) __attribute__((format(printf, 2, 3)));

    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_text + b.m_text); }
    friend CString operator+(const CString& a, const char* b) { return CString(a.m_text + (b ? b : "")); }
    friend CString operator+(const char* a, const CString& b) { return CString((a ? a : "") + b.m_text); }
    friend CString operator+(const CString& a, char b) { return CString(a.m_text + b); }
    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator==(const CString& a, const char* b) { return a.m_text == (b ? b : ""); }
    friend bool operator==(const char* a, const CString& b) { return b == a; }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, const char* b) { return !(a == b); }
    friend bool operator!=(const char* a, const CString& b) { return !(b == a); }
    friend bool operator<(const CString& a, const CString& b) { return a.m_text < b.m_text; }

  private:
    std::string m_text;
};

// Formats into buf of size bufSize, never writing past it; the result is always terminated and
// truncated when it does not fit. Returns the number of characters stored (without the '\0').
// Win32's wsprintfA also stops at 1024 characters; that limit is kept.
int AfxFormatV(char* buf, size_t bufSize, const char* fmt, va_list args);

template <size_t N> int wsprintfA(char (&buf)[N], const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    int n = AfxFormatV(buf, N, fmt, args);
    va_end(args);
    return n;
}

class CTime {
  public:
    CTime() = default;
    explicit CTime(time_t t) : m_time(t) {}
    static CTime GetCurrentTime();
    // strftime in local time; "%c" gives the locale's date and time.
    CString Format(const char* fmt) const;

  private:
    time_t m_time = 0;
};
