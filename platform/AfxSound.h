// Sound cues from the program's resources (":/res/sound/<id>.wav").
#pragma once

class ISoundPlayer {
  public:
    virtual ~ISoundPlayer() = default;
    // Returns 0 when the sound is missing or could not start, nonzero otherwise.
    virtual int Play(int id, bool synchronous) = 0;
};

// Tests install a recorder; nullptr restores the Qt Multimedia player. Not owned.
void AfxSetSoundPlayer(ISoundPlayer* player);

// Asynchronous play restarts a cue that is still sounding. Synchronous play presents the views
// first, then returns when the cue has ended, letting no user input through meanwhile; without
// an audio output it returns at once (and never waits longer than the cue plus a margin).
// Returns 0 when the resource is missing.
int AfxPlayWave(int id, bool synchronous);
