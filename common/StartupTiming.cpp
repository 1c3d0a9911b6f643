#include "common/StartupTiming.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

std::chrono::steady_clock::time_point g_startupBegin = std::chrono::steady_clock::now();
bool g_reported = false;

} // namespace

void MarkStartupBegin() {
    g_startupBegin = std::chrono::steady_clock::now();
}

void ReportFirstFrame() {
    if (g_reported) {
        return;
    }
    g_reported = true;
    const char* mode = std::getenv("CELLWRIGHT_STARTUP_TIMING");
    if (mode == nullptr || *mode == '\0') {
        return;
    }
    const auto elapsed = std::chrono::steady_clock::now() - g_startupBegin;
    const double ms = std::chrono::duration<double, std::milli>(elapsed).count();
    std::fprintf(stderr, "cellwright: first frame %.1f ms after start\n", ms);
    std::fflush(stderr);
    if (std::strcmp(mode, "exit") == 0) {
        std::_Exit(0); // no teardown from inside a paint
    }
}
