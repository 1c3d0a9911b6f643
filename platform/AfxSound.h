// Sound cues from the program's resources (":/res/sound/<id>.wav").
#pragma once

#include <QByteArray>
#include <initializer_list>

class ISoundPlayer {
  public:
    virtual ~ISoundPlayer() = default;
    // Returns 0 when the sound is missing or could not start, nonzero otherwise.
    virtual int Play(int id, bool synchronous) = 0;
};

// Tests install a recorder; nullptr restores the Qt Multimedia player. Not owned. The Qt player's
// objects end while the application object does, before anything of Qt Multimedia is torn down.
void AfxSetSoundPlayer(ISoundPlayer* player);

// Asynchronous play stops whatever cue is still sounding (the same one starts again).
// Synchronous play presents the views first, then returns when the cue has been heard to its
// end, handling no events at all meanwhile; without an audio output it returns at once (and it
// never waits longer than the cue). Returns 0 when the resource is missing or there is no audio
// output to play it on.
int AfxPlayWave(int id, bool synchronous);

// Decodes the cues and opens the audio output before they are first needed, so that no cue
// starts late. Does nothing, quickly, on a machine without an audio output.
void AfxPreloadWaves(std::initializer_list<int> ids);

// A PCM wave file's samples as stored: unsigned 8-bit or signed 16-bit little-endian, the
// channels interleaved.
struct CWave {
    int rate = 0;
    int channels = 0;
    int bits = 0;
    QByteArray pcm;
    int Frames() const { return channels > 0 && bits > 0 ? int(pcm.size() / (channels * bits / 8)) : 0; }
    qint64 DurationUs() const { return rate > 0 ? qint64(Frames()) * 1000000 / rate : 0; }
};

// Reads a RIFF WAVE file of 8- or 16-bit PCM; false when it is not one.
bool AfxParseWave(const QByteArray& file, CWave* wave);
// The wave of a sound resource; false when it is missing or not a PCM wave.
bool AfxLoadWave(int id, CWave* wave);
