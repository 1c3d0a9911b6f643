// Test main: Qt offscreen and sounds recorded instead of played.

#include <QApplication>
#include <gtest/gtest.h>

#include "PlayHarness.h"

CSoundRecorder& TestSoundRecorder() {
    static CSoundRecorder recorder;
    return recorder;
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    AfxSetSoundPlayer(&TestSoundRecorder());
    ::testing::InitGoogleTest(&argc, argv);
    AfxSetModalHook([](const char*, QWidget*, const char*) { return static_cast<int>(IDCANCEL); });
    return RUN_ALL_TESTS();
}
