#include "common/SoundCues.h"

#include "platform/Afx.h"

int PlaySoundCue(int id) {
    return AfxPlayWave(id, false);
}

int PlaySoundCueSync(int id) {
    return AfxPlayWave(id, true);
}

void PreloadSoundCues() {
    AfxPreloadWaves({kSoundCorrect, kSoundWrong, kSoundForbidden});
}
