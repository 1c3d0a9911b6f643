#include "shell/CommandLine.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifndef CELLWRIGHT_VERSION
#error "CELLWRIGHT_VERSION must be the project's version"
#endif

namespace {

const char* const kHelp =
    "usage: cellwright [--help | --version]\n"
    "\n"
    "Cellwright is a Sudoku game played for points: Easy and Hard puzzles that have exactly\n"
    "one solution, or a puzzle of your own. Press F1 in the game for the instructions.\n"
    "\n"
    "  -h, --help     print this help and exit\n"
    "      --version  print the version and exit\n"
    "\n"
    "The game takes no other arguments. Qt's own options, such as -platform NAME,\n"
    "-display DISPLAY or -session ID, are passed on to Qt.\n";

// The options QApplication and its X11 platform take out of argv themselves. A session manager
// restarts the game with -session, so these must not be refused.
struct QtOption {
    const char* name;
    bool takesValue;
};
const QtOption kQtOptions[] = {
    {"platform", true},      {"platformpluginpath", true},
    {"platformtheme", true}, {"plugin", true},
    {"session", true},       {"qwindowgeometry", true},
    {"geometry", true},      {"qwindowtitle", true},
    {"title", true},         {"qwindowicon", true},
    {"icon", true},          {"display", true},
    {"name", true},          {"visual", true},
    {"style", true},         {"stylesheet", true},
    {"reverse", false},      {"widgetcount", false},
    {"nograb", false},       {"dograb", false},
};

// Qt accepts each of its options with one dash or two.
const QtOption* FindQtOption(const char* arg) {
    if (arg[0] != '-') {
        return nullptr;
    }
    const char* name = arg[1] == '-' ? arg + 2 : arg + 1;
    for (const QtOption& option : kQtOptions) {
        if (std::strcmp(name, option.name) == 0) {
            return &option;
        }
    }
    return nullptr;
}

int Refuse(const char* problem, const char* arg) {
    std::fprintf(stderr, "cellwright: %s '%s' (see cellwright --help)\n", problem, arg);
    return 2;
}

// A help text that could not be written (a full disk, a closed pipe) is a failure, not success.
int Print(const char* text) {
    std::fputs(text, stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "cellwright: cannot write to standard output: %s\n", std::strerror(errno));
        return 1;
    }
    return 0;
}

} // namespace

int HandleCommandLine(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            return Print(kHelp);
        }
        if (std::strcmp(arg, "--version") == 0) {
            return Print("cellwright " CELLWRIGHT_VERSION "\n");
        }
        if (const QtOption* option = FindQtOption(arg)) {
            if (option->takesValue && ++i >= argc) {
                return Refuse("missing value for", arg);
            }
            continue;
        }
        return Refuse(arg[0] == '-' ? "unknown option" : "unexpected argument", arg);
    }
    return -1;
}
