#pragma once
// The command line, read before any window or QApplication exists, so that --help and --version
// work without a display.

// Answers --help and --version on stdout and refuses anything the game does not know with one
// line on stderr. Returns the exit status when the program should end here, or -1 to start the
// game with argv as it is (Qt then takes its own options out of it).
int HandleCommandLine(int argc, const char* const* argv);
