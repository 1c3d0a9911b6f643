// The program's entry: the command line, then the one application object and the framework's
// start-up.

#include "common/StartupTiming.h"
#include "platform/Afx.h"
#include "shell/CommandLine.h"
#include "shell/QuillmoorApp.h"

CQuillmoorApp theApp;

int main(int argc, char** argv) {
    MarkStartupBegin();
    if (const int status = HandleCommandLine(argc, argv); status >= 0) {
        return status;
    }
    return AfxWinMain(argc, argv);
}
