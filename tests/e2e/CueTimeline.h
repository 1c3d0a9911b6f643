#pragma once
// Finding the game's sound cues in a recording of what was played: where each one starts, and
// whether the recording holds that cue alone from there (not cut, nothing else sounding). The
// cues are known sample by sample, so each is found by matching its own waveform, which works
// through the quiet fade-ins and fade-outs where a loudness threshold would not.

#include <vector>

// A recording or a cue: mono samples in -1..1 at a fixed rate.
struct CSignal {
    int rate = 0;
    std::vector<float> samples;
    double Seconds() const { return rate > 0 ? double(samples.size()) / rate : 0.0; }
    int Index(double seconds) const; // the sample at that time, clamped into the signal
};

// The cue's resource as the monitor records it: its channels mixed, at the given rate.
CSignal CueAsHeard(int id, int rate);

struct CCueMatch {
    double onset = -1; // seconds into the recording; -1 when nothing matched
    double match = 0;  // normalised correlation of the cue's opening with the recording there
};

// Where in [from, to) seconds the cue's first `opening` seconds match the recording best. A cue
// that sounds periodically also matches itself a few periods on, so the range should hold one
// onset of it only.
CCueMatch FindCue(const CSignal& recording, const CSignal& cue, double opening, double from, double to);

// Where in [from, to) seconds the recording changes from `before`, started at beforeOnset, to the
// start of `after`: the onset of `after` that explains the recording best if `before` stops
// there. Unlike a match of the opening alone this is not misled by a cue's repeating pattern.
// -1 when the range holds no candidate.
double FindSwitch(const CSignal& recording, const CSignal& before, double beforeOnset, const CSignal& after,
                  double from, double to);

// The share of the recording's energy in [from, to) seconds that the cue, started at onset, does
// not explain: near 0 when the recording is that cue alone, near 1 when it is something else (or
// the cue plus another sound, or silence where the cue should sound). The cue is fitted in level
// and by a fraction of a sample, which the server's resampling may shift it by.
double Unexplained(const CSignal& recording, const CSignal& cue, double onset, double from, double to);

// Root mean square of the recording in [from, to) seconds.
double Loudness(const CSignal& recording, double from, double to);

// The first 10 ms at or after `from` seconds louder than `level` (RMS); -1 when there is none.
double FirstSound(const CSignal& recording, double from, double level);

// The loudness (RMS) of the loudest 10 ms from `from` seconds to the end: a click or a burst
// shows here where the loudness of a longer stretch would average it away.
double Loudest(const CSignal& recording, double from);
