// cellwright-gen: prints solution grids and Easy/Hard puzzles made by the game core, one per line.
//   cellwright-gen grid|easy|hard [--count N] [--seed S] [--solution] [--stats]
//   cellwright-gen --help
#include "GameCore.h"
#include "TimeStats.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <string>

namespace {

const char* const kUsage =
    "usage: cellwright-gen grid|easy|hard [--count N] [--seed S] [--solution] [--stats]\n";

// The manual page (docs/cellwright-gen.6) says the same; keep the two in step.
const char* const kHelpText =
    "\n"
    "Prints solution grids or Easy and Hard puzzles made by Cellwright's generator, one per\n"
    "line: 81 characters in row order, a digit for a clue (every square for grid) and '.' for\n"
    "an empty square.\n"
    "\n"
    "  grid          complete solution grids\n"
    "  easy          Easy puzzles, with lots of clues\n"
    "  hard          Hard puzzles, with fewer clues\n"
    "  --count N     print N items, 1 to 1000000000 (default 1)\n"
    "  --seed S      seed the generator with S, 0 to 4294967295, so that the output is the\n"
    "                same on any machine (without it the generator is seeded from the clock)\n"
    "  --solution    append a space and the 81-digit solution to each line\n"
    "  --stats       write the clue-count histogram, the processor time per item (grid and\n"
    "                set-up; mean and maximum exact, median and 99th percentile within 0.4%)\n"
    "                and the generator's retry counts to standard error\n"
    "  -h, --help    print this help and exit\n"
    "\n"
    "Exit status: 0 on success, 1 if the output could not be written, 2 for a wrong argument.\n";

int Fail(const std::string& problem) {
    std::fprintf(stderr, "cellwright-gen: %s\n%s", problem.c_str(), kUsage);
    return 2;
}

// Output that did not reach its file (a full disk, a closed pipe) must not end in success.
int WriteFailed() {
    std::fprintf(stderr, "cellwright-gen: cannot write to standard output: %s\n", std::strerror(errno));
    return 1;
}

bool Flushed() {
    return std::fflush(stdout) == 0 && !std::ferror(stdout);
}

// Whole-string unsigned decimal parse; false on anything else or out of range.
bool ParseUnsigned(const char* text, unsigned long long limit, unsigned long long& out) {
    if (text == nullptr || *text < '0' || *text > '9') {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const unsigned long long v = std::strtoull(text, &end, 10);
    if (errno != 0 || *end != '\0' || v > limit) {
        return false;
    }
    out = v;
    return true;
}

enum class Mode { Grid, Easy, Hard };

// Processor time of this thread: on a shared machine the wall clock also counts time given to
// other programs.
std::uint64_t ThreadNanos() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000000000u + static_cast<std::uint64_t>(now.tv_nsec);
}

struct Options {
    Mode mode = Mode::Grid;
    long long count = 1;
    bool seeded = false;
    unsigned seed = 0;
    bool solution = false;
    bool stats = false;
};

} // namespace

int main(int argc, char** argv) {
    Options opt;
    bool haveMode = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            std::fputs(kHelpText, stdout);
            return Flushed() ? 0 : WriteFailed();
        }
        if (arg == "grid" || arg == "easy" || arg == "hard") {
            if (haveMode) {
                return Fail("more than one mode given: '" + arg + "'");
            }
            haveMode = true;
            opt.mode = arg == "grid" ? Mode::Grid : arg == "easy" ? Mode::Easy : Mode::Hard;
        } else if (arg == "--count" || arg == "--seed") {
            if (i + 1 >= argc) {
                return Fail("missing value for " + arg);
            }
            const char* value = argv[++i];
            unsigned long long v = 0;
            if (arg == "--count") {
                if (!ParseUnsigned(value, 1000000000ULL, v)) {
                    if (value[0] == '-' && ParseUnsigned(value + 1, ~0ULL, v)) {
                        return Fail("count must be at least 1: '" + std::string(value) + "'");
                    }
                    return Fail("count is not a number from 1 to 1000000000: '" + std::string(value) + "'");
                }
                if (v < 1) {
                    return Fail("count must be at least 1: '" + std::string(value) + "'");
                }
                opt.count = static_cast<long long>(v);
            } else {
                if (!ParseUnsigned(value, 4294967295ULL, v)) {
                    return Fail("seed is not a number from 0 to 4294967295: '" + std::string(value) + "'");
                }
                opt.seeded = true;
                opt.seed = static_cast<unsigned>(v);
            }
        } else if (arg == "--solution") {
            opt.solution = true;
        } else if (arg == "--stats") {
            opt.stats = true;
        } else {
            return Fail("unknown argument '" + arg + "'");
        }
    }
    if (!haveMode) {
        return Fail("no mode given (grid, easy or hard)");
    }

    static CGameCore core; // large fixed arrays: keep them off the stack
    if (opt.seeded) {
        core.Srand(opt.seed);
    }

    static CTimeStats times; // fixed size, whatever the count
    std::map<int, long long> clueHistogram;
    const long long passesBefore = core.m_diagGeneratorPasses;
    const long long startOversBefore = core.m_diagSetupStartOvers;

    char line[81 + 1 + 81 + 2];
    for (long long item = 0; item < opt.count; ++item) {
        const std::uint64_t started = opt.stats ? ThreadNanos() : 0;
        // An item is made the way the game makes the puzzle after AGAIN.
        core.ResetPuzzleFields();
        if (opt.mode == Mode::Grid) {
            core.GenerateSolutionGrid();
        } else {
            core.PrepareNextGrid();
            core.m_option = CGameCore::kOptionHome;
            if (opt.mode == Mode::Easy) {
                core.OnEasy();
            } else {
                core.OnHard();
            }
        }
        const std::uint64_t finished = opt.stats ? ThreadNanos() : 0;

        int clues = 0;
        for (int s = 0; s < 81; ++s) {
            const int v = core.GridAt(s);
            line[s] = v > 0 ? static_cast<char>('0' + v) : '.';
            clues += v > 0 ? 1 : 0;
        }
        int len = 81;
        if (opt.solution) {
            line[len++] = ' ';
            for (int s = 0; s < 81; ++s) {
                const int v = opt.mode == Mode::Grid ? core.GridAt(s) : core.m_solution[s].solution;
                line[len++] = static_cast<char>('0' + v);
            }
        }
        line[len++] = '\n';
        if (std::fwrite(line, 1, static_cast<size_t>(len), stdout) != static_cast<size_t>(len)) {
            return WriteFailed();
        }

        if (opt.stats) {
            times.Add(finished - started);
            clueHistogram[clues] += 1;
        }
    }
    if (!Flushed()) {
        return WriteFailed();
    }

    if (opt.stats) {
        std::fprintf(stderr, "items: %lld\n", opt.count);
        std::fprintf(stderr, "clues:");
        for (const auto& [clues, howMany] : clueHistogram) {
            std::fprintf(stderr, " %d:%lld", clues, howMany);
        }
        std::fprintf(stderr, "\n");
        std::fprintf(stderr,
                     "processor time per item (us): mean %.1f  median %.1f  p99 %.1f  max %.1f"
                     "  (median and p99 within 0.4%%)\n",
                     times.MeanNanos() / 1e3, times.QuantileNanos(0.5) / 1e3, times.QuantileNanos(0.99) / 1e3,
                     static_cast<double>(times.MaxNanos()) / 1e3);
        std::fprintf(stderr, "generator passes: %lld\n", core.m_diagGeneratorPasses - passesBefore);
        std::fprintf(stderr, "set-up start-overs: %lld\n", core.m_diagSetupStartOvers - startOversBefore);
    }
    return 0;
}
