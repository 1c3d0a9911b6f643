#pragma once
// Start-up measurement. With CELLWRIGHT_STARTUP_TIMING set in the environment the program
// prints the time from main() to the end of its first paint on stderr; with the value "exit" it
// then ends at once (for scripted measurements).

void MarkStartupBegin();
void ReportFirstFrame();
