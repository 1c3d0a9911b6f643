// Sound cues from the program's resources (":/res/sound/<id>.wav").
#pragma once

#include <QByteArray>
#include <string>

class ISoundPlayer {
  public:
    virtual ~ISoundPlayer() = default;
    // Returns 0 when the sound is missing or could not start, nonzero otherwise.
    virtual int Play(int id, bool synchronous) = 0;
};

// Tests install a recorder; nullptr restores the player of the desktop's sound server (PulseAudio,
// or PipeWire's PulseAudio server). Not owned. That player ends while the application object does.
void AfxSetSoundPlayer(ISoundPlayer* player);

// What the desktop's mixer shows for the program's sound, the player's only control of it: the
// program's name, its icon's name in the icon theme and the media role ("game", "event", ...).
// Taken when the player first starts, so set it before the first cue. Unset, the name is the
// application's and there is no icon or role.
struct CSoundIdentity {
    std::string name;
    std::string iconName;
    std::string role;
};
void AfxSetSoundIdentity(const CSoundIdentity& identity);

// Asynchronous play stops whatever cue is still sounding (the same one starts again).
// Synchronous play presents the views first, then returns when the cue has been heard to its
// end, handling no events at all meanwhile; when the cue cannot play (no sound server, or one
// that has gone) it returns at once, and a server that does not answer is waited for no longer
// than the cue. No other call waits for the server. Cues play on the output the player has chosen last.
// Returns 0 when the resource is missing or no sound server is connected.
int AfxPlayWave(int id, bool synchronous);

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
