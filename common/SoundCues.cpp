#include "common/SoundCues.h"

#include "platform/Afx.h"

int PlaySoundCue(int id) {
    return AfxPlayWave(id, false);
}

int PlaySoundCueSync(int id) {
    return AfxPlayWave(id, true);
}

void NameSoundCues() {
    // The desktop's mixer is the player's only volume control: it shows the game by its name and
    // the icon of its desktop entry.
    AfxSetSoundIdentity({"Cellwright", "cellwright", "game"});
}
