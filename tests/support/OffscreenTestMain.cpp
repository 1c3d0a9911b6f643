// Test main of the offscreen UI suites: Qt's offscreen platform, a sound recorder in place of the
// audio output, every modal box or dialog a test did not script answered with Cancel at once, and
// a child mode that paints a view of a given size so the too-small abort can be watched from
// outside.

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>

#include "ViewHarness.h"

namespace {

// "--paint-child=WxH": paints a view of that client size; the modal hook writes every message
// box to stdout, and the view is drawn again while a box is up. Returns 3 if the paint came back instead of ending the program.
int RunPaintChild(const char* size) {
    int width = 0, height = 0;
    if (std::sscanf(size, "%dx%d", &width, &height) != 2) {
        return 2;
    }
    CQuillmoorView view;
    bool boxUp = false;
    AfxSetModalHook([&](const char* kind, QWidget*, const char* text) {
        std::printf("%s: %s\n", kind, text);
        std::fflush(stdout);
        // The view is asked to draw again while the box is up, as an expose in its loop does.
        if (!boxUp) {
            boxUp = true;
            ShowAndPaint(view, width, height);
            boxUp = false;
        }
        return static_cast<int>(IDOK);
    });
    ShowAndPaint(view, width, height);
    std::printf("painted\n");
    std::fflush(stdout);
    return 3;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    AfxSetSoundPlayer(&TestSoundRecorder());

    const char kChildFlag[] = "--paint-child=";
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], kChildFlag, sizeof kChildFlag - 1) == 0) {
            return RunPaintChild(argv[i] + sizeof kChildFlag - 1);
        }
    }
    ::testing::InitGoogleTest(&argc, argv);
    // Nothing in these tests may wait on a box or a dialog.
    AfxSetModalHook([](const char*, QWidget*, const char*) { return static_cast<int>(IDCANCEL); });
    return RUN_ALL_TESTS();
}
