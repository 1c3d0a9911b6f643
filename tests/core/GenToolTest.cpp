// Runs the cellwright-gen binary: argument errors, output format, reproducibility, and the exact
// output of fixed seeds, which pins every random draw of generator and set-up.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct GenRun {
    int exitCode;
    std::string out;
    std::string err;
};

GenRun RunGen(const std::string& args) {
    // Unique per process: ctest runs the tests of this file side by side.
    const std::string base = testing::TempDir() + "cellwright_gen_test_" + std::to_string(getpid());
    const std::string cmd =
        std::string("'") + CELLWRIGHT_GEN_PATH + "' " + args + " >'" + base + ".out' 2>'" + base + ".err'";
    const int status = std::system(cmd.c_str());
    auto slurp = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    };
    return GenRun{WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(base + ".out"), slurp(base + ".err")};
}

std::uint64_t Fnv1a(const std::string& text) {
    std::uint64_t h = 0xcbf29ce484222325ULL;
    for (unsigned char ch : text) {
        h ^= ch;
        h *= 0x100000001b3ULL;
    }
    return h;
}

TEST(GenTool, ArgumentErrorsNameTheProblemAndPrintNothingOnStdout) {
    const struct {
        const char* args;
        const char* mentions;
    } cases[] = {
        {"", "no mode"},
        {"puzzle", "puzzle"},
        {"easy --count", "missing value for --count"},
        {"easy --seed", "missing value for --seed"},
        {"easy --count x7", "not a number"},
        {"easy --count 0", "at least 1"},
        {"easy --count -3", "at least 1"},
        {"easy --seed twelve", "seed"},
        {"easy --seed 4294967296", "seed"},
        {"easy --seed -1", "seed"},
        {"easy hard", "more than one mode"},
        {"hard --verbose", "--verbose"},
    };
    for (const auto& c : cases) {
        const GenRun run = RunGen(c.args);
        EXPECT_EQ(run.exitCode, 2) << c.args;
        EXPECT_TRUE(run.out.empty()) << c.args;
        const std::string firstLine = run.err.substr(0, run.err.find('\n'));
        EXPECT_NE(firstLine.find(c.mentions), std::string::npos) << c.args << ": " << firstLine;
        EXPECT_NE(run.err.find("usage: cellwright-gen grid|easy|hard"), std::string::npos) << c.args;
    }
}

TEST(GenTool, PrintsOneLinePerItemWithOptionalSolution) {
    const GenRun run = RunGen("hard --count 3 --seed 5 --solution");
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.err.empty());
    std::istringstream lines(run.out);
    std::string line;
    int n = 0;
    while (std::getline(lines, line)) {
        ++n;
        ASSERT_EQ(line.size(), 163u);
        EXPECT_EQ(line[81], ' ');
        for (int s = 0; s < 81; ++s) {
            const char clue = line[static_cast<size_t>(s)];
            const char sol = line[static_cast<size_t>(82 + s)];
            EXPECT_TRUE(clue == '.' || clue == sol);
            EXPECT_TRUE(sol >= '1' && sol <= '9');
        }
    }
    EXPECT_EQ(n, 3);

    const GenRun grid = RunGen("grid --seed 5");
    ASSERT_EQ(grid.exitCode, 0);
    EXPECT_EQ(grid.out.size(), 82u);
    EXPECT_EQ(grid.out.find('.'), std::string::npos);
    EXPECT_EQ(RunGen("grid --seed 5").out, grid.out);
}

TEST(GenTool, StatsGoToStderr) {
    const GenRun run = RunGen("easy --count 20 --seed 3 --stats");
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, RunGen("easy --count 20 --seed 3").out);
    for (const char* key : {"items: 20", "clues:", "processor time per item", "mean", "median", "p99", "max",
                            "generator passes:", "start-overs:"}) {
        EXPECT_NE(run.err.find(key), std::string::npos) << key;
    }
    const GenRun help = RunGen("--help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--stats"), std::string::npos);
}

// Recorded from the step-by-step version of the generator and set-up; any change to a draw, a
// step order or a tie-break shows up here.
TEST(GenTool, FixedSeedsGiveTheRecordedPuzzles) {
    const GenRun easy = RunGen("easy --seed 1 --count 150 --solution");
    EXPECT_EQ(easy.out.substr(0, 163),
              "8..3...945..9.8.3.7....4586..8..7....7.236.4....8..6..6157....8.8.5.2..123...1..9 "
              "826375194541968237793124586368457912179236845452819673615793428987542361234681759");
    EXPECT_EQ(Fnv1a(easy.out), 0xc4bc1f860fd30522ULL);
    const GenRun hard = RunGen("hard --seed 1 --count 150 --solution");
    EXPECT_EQ(hard.out.substr(0, 163),
              "8....51.....9.8..77..1......6...7.121.9...8.545.8...7......3..89..5.2.....46....9 "
              "826375194541968237793124586368457912179236845452819673615793428987542361234681759");
    EXPECT_EQ(Fnv1a(hard.out), 0xf208e5d683c4d783ULL);
    EXPECT_EQ(Fnv1a(RunGen("easy --seed 42 --count 150 --solution").out), 0x6e7124edc060ccfcULL);
    EXPECT_EQ(Fnv1a(RunGen("hard --seed 42 --count 150 --solution").out), 0x10bd14ac8ce19621ULL);
    EXPECT_EQ(Fnv1a(RunGen("easy --seed 4294967295 --count 150 --solution").out), 0xf5fdc071b3529eaaULL);
    EXPECT_EQ(Fnv1a(RunGen("hard --seed 4294967295 --count 150 --solution").out), 0xdbe684e8937bc91fULL);
    EXPECT_EQ(Fnv1a(RunGen("grid --seed 1000 --count 150 --solution").out), 0x2ff21a801644d9cdULL);
}

} // namespace
