// Test main of the real-window tests. The offscreen harness linked in for the test puzzle wants a
// sound recorder; nothing here plays a sound in this process.

#include <gtest/gtest.h>

#include "ViewHarness.h"

CSoundRecorder& TestSoundRecorder() {
    static CSoundRecorder recorder;
    return recorder;
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
