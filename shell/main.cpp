// The program's entry: the one application object and the framework's start-up.

#include "common/StartupTiming.h"
#include "platform/Afx.h"
#include "shell/QuillmoorApp.h"

CQuillmoorApp theApp;

int main(int argc, char** argv) {
    MarkStartupBegin();
    return AfxWinMain(argc, argv);
}
