// Generator soak: many solution grids and Easy and Hard puzzles, every one checked by an
// independent solver, with the slowest set-ups reported so they can be profiled.
//
//   cellwright_soak [--grids N] [--easy N] [--hard N] [--seed S] [--slowest K]
//
// Grids come from one generator seeded with S, the way `cellwright-gen grid --seed S` makes them.
// Puzzle i of a kind is made by a fresh core seeded with S + i, so any puzzle named in the report
// is `cellwright-gen easy|hard --seed <seed> --count 1`. Exit status 1 when any check failed.

#include "GameCore.h"
#include "SudokuCheck.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace {

using sudoku_check::Board;

struct Options {
    long long grids = 1000000;
    long long easy = 100000;
    long long hard = 100000;
    unsigned seed = 1;
    int slowest = 5;
};

bool ParseCount(const char* text, long long& out) {
    char* end = nullptr;
    const long long v = std::strtoll(text, &end, 10);
    if (end == text || *end != '\0' || v < 0) {
        return false;
    }
    out = v;
    return true;
}

struct Failure {
    std::string kind;
    unsigned seed;
    std::string what;
};

struct Timing {
    double micros;     // processor time of the set-up
    double wallMicros; // as the clock on the wall saw it (also the time the machine gave elsewhere)
    unsigned seed;
    int clues;
};

double ThreadMicros() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

class CSoak {
  public:
    explicit CSoak(const Options& options) : m_options(options) {}

    void Grids() {
        auto core = std::make_unique<CGameCore>();
        core->Srand(m_options.seed);
        for (long long i = 0; i < m_options.grids; ++i) {
            core->GenerateSolutionGrid();
            Board grid{};
            for (int s = 0; s < 81; ++s) {
                grid[static_cast<size_t>(s)] = core->GridAt(s);
            }
            if (!sudoku_check::IsValidSolution(grid)) {
                Fail("grid", m_options.seed,
                     "grid " + std::to_string(i + 1) + " of the sequence is not a solution");
            }
        }
        std::printf("grids: %lld made from seed %u, all checked\n", m_options.grids, m_options.seed);
    }

    // Puzzle i from a fresh core seeded with seed + i; its set-up timed and every result checked.
    void Puzzles(bool hard, long long count) {
        const char* kind = hard ? "hard" : "easy";
        std::vector<Timing> timings;
        timings.reserve(static_cast<size_t>(count));
        int fewest = 81, most = 0;
        long long reduced = 0;
        for (long long i = 0; i < count; ++i) {
            const unsigned seed = m_options.seed + static_cast<unsigned>(i);
            auto core = std::make_unique<CGameCore>();
            core->Srand(seed);
            // As the game and cellwright-gen do it: the grid is made ahead, the menu choice sets up.
            core->ResetPuzzleFields();
            core->PrepareNextGrid();
            core->m_option = 0;
            const auto started = std::chrono::steady_clock::now();
            const double cpuStarted = ThreadMicros();
            if (hard) {
                core->OnHard();
            } else {
                core->OnEasy();
            }
            const double cpu = ThreadMicros() - cpuStarted;
            const auto finished = std::chrono::steady_clock::now();
            const int clues = Check(*core, hard, kind, seed);
            fewest = std::min(fewest, clues);
            most = std::max(most, clues);
            reduced += hard && core->m_diagReductionRemovals > 0 ? 1 : 0;
            timings.push_back(
                {cpu, std::chrono::duration<double, std::micro>(finished - started).count(), seed, clues});
        }
        Report(kind, timings, fewest, most);
        if (hard) {
            std::printf("  %lld of them reduced (solved by single-candidate steps alone, checked)\n",
                        reduced);
        }
    }

    int Finish() const {
        std::printf("failures: %zu\n", m_failureCount);
        for (const Failure& f : m_failures) {
            std::printf("  %s seed %u: %s\n", f.kind.c_str(), f.seed, f.what.c_str());
        }
        return m_failureCount == 0 ? 0 : 1;
    }

  private:
    void Fail(const std::string& kind, unsigned seed, const std::string& what) {
        ++m_failureCount;
        if (m_failures.size() < 20) {
            m_failures.push_back({kind, seed, what});
        }
    }

    // Everything a finished puzzle must be; returns its clue count.
    int Check(const CGameCore& core, bool hard, const char* kind, unsigned seed) {
        Board solution{}, puzzle{};
        int clues = 0;
        for (int s = 0; s < 81; ++s) {
            solution[static_cast<size_t>(s)] = core.m_solution[s].solution;
            puzzle[static_cast<size_t>(s)] = core.m_grid[s / 9][s % 9];
            clues += puzzle[static_cast<size_t>(s)] != 0;
        }
        auto fail = [&](const std::string& what) { Fail(kind, seed, what); };
        if (!sudoku_check::IsValidSolution(solution)) {
            fail("the solution is not a valid grid");
            return clues;
        }
        for (int s = 0; s < 81; ++s) {
            const int v = puzzle[static_cast<size_t>(s)];
            if (v != 0 && v != solution[static_cast<size_t>(s)]) {
                fail("clue at square " + std::to_string(s) + " differs from the solution");
            }
            if ((v != 0) != (puzzle[static_cast<size_t>(80 - s)] != 0)) {
                fail("not point-symmetric at square " + std::to_string(s));
                break;
            }
        }
        if ((puzzle[40] != 0) != (clues % 2 == 1)) {
            fail("centre clue does not match an odd clue count");
        }
        if (core.m_givenCount != clues || core.m_clueCount != clues) {
            fail("counts " + std::to_string(core.m_clueCount) + "/" + std::to_string(core.m_givenCount) +
                 " for " + std::to_string(clues) + " clues");
        }
        static const SquareRecord kEmpty{};
        for (int s = 0; s < 81; ++s) {
            if (std::memcmp(&core.m_squares[s], &kEmpty, sizeof kEmpty) != 0) {
                fail("player squares not cleared");
                break;
            }
        }
        Board search = puzzle;
        const int solutions = sudoku_check::CountSolutions(search, 2);
        if (solutions != 1) {
            fail(std::to_string(solutions) + " solutions");
        }
        if (hard && core.m_diagReductionRemovals > 0) {
            Board singles = puzzle;
            if (!sudoku_check::SolveBySingles(singles) || singles != solution) {
                fail("reduced, but single-candidate steps do not solve it");
            }
        }
        return clues;
    }

    void Report(const char* kind, std::vector<Timing>& timings, int fewest, int most) const {
        if (timings.empty()) {
            return;
        }
        std::sort(timings.begin(), timings.end(),
                  [](const Timing& a, const Timing& b) { return a.micros > b.micros; });
        const size_t n = timings.size();
        auto at = [&](double q) {
            return timings[std::min(n - 1, static_cast<size_t>((1.0 - q) * (n - 1) + 0.5))];
        };
        std::printf("%s: %zu puzzles from seeds %u..%u, %d to %d clues, all checked\n", kind, n,
                    m_options.seed, m_options.seed + static_cast<unsigned>(n - 1), fewest, most);
        double wallMax = 0;
        double total = 0;
        for (const Timing& t : timings) {
            wallMax = std::max(wallMax, t.wallMicros);
            total += t.micros;
        }
        std::printf("  set-up, processor time (us): mean %.1f  median %.1f  p99 %.1f  p99.9 %.1f  max %.1f"
                    "  (wall clock max %.1f)\n",
                    total / static_cast<double>(n), at(0.5).micros, at(0.99).micros, at(0.999).micros,
                    timings[0].micros, wallMax);
        std::printf("  slowest:");
        for (size_t i = 0; i < n && i < static_cast<size_t>(m_options.slowest); ++i) {
            std::printf(" seed %u (%.1f ms, %d clues)%s", timings[i].seed, timings[i].micros / 1000.0,
                        timings[i].clues,
                        i + 1 < std::min(n, static_cast<size_t>(m_options.slowest)) ? "," : "");
        }
        std::printf("\n");
    }

    Options m_options;
    std::vector<Failure> m_failures;
    size_t m_failureCount = 0;
};

} // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        long long value = 0;
        if (i + 1 >= argc || !ParseCount(argv[i + 1], value)) {
            std::fprintf(
                stderr,
                "usage: cellwright_soak [--grids N] [--easy N] [--hard N] [--seed S] [--slowest K]\n");
            return 2;
        }
        ++i;
        if (arg == "--grids") {
            options.grids = value;
        } else if (arg == "--easy") {
            options.easy = value;
        } else if (arg == "--hard") {
            options.hard = value;
        } else if (arg == "--seed") {
            options.seed = static_cast<unsigned>(value);
        } else if (arg == "--slowest") {
            options.slowest = static_cast<int>(std::min<long long>(value, 100));
        } else {
            std::fprintf(stderr, "cellwright_soak: unknown option %s\n", arg.c_str());
            return 2;
        }
    }

    const auto started = std::chrono::steady_clock::now();
    CSoak soak(options);
    soak.Grids();
    std::fflush(stdout);
    soak.Puzzles(false, options.easy);
    std::fflush(stdout);
    soak.Puzzles(true, options.hard);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("ran %.0f s\n", seconds);
    return soak.Finish();
}
