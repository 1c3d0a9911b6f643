#pragma once
// The three sound cues of the game, played from the program's own resources:
// 101 correct solution, 102 wrong solution, 103 a refused action (the 'brrr').

constexpr int kSoundCorrect = 101;
constexpr int kSoundWrong = 102;
constexpr int kSoundForbidden = 103;

// Starts the cue and returns at once; whatever cue is still sounding stops (the same one starts
// again). Returns 0 when the sound resource is missing, otherwise the player's result (nonzero
// when it started).
int PlaySoundCue(int id);

// Plays the cue to its end before returning; no input is handled meanwhile. Same result.
int PlaySoundCueSync(int id);

// Names the game to the desktop's mixer, for the cues to come: the sound library is loaded and the
// server connected to when the first cue plays.
void NameSoundCues();
