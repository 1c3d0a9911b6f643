#include "platform/AfxInternal.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QCoreApplication>
#include <QFile>
#include <QMediaDevices>
#include <QThread>

#include <map>
#include <memory>

bool AfxParseWave(const QByteArray& file, CWave* wave) {
    if (file.size() < 12 || !file.startsWith("RIFF") || file.mid(8, 4) != "WAVE")
        return false;
    auto le = [&file](qsizetype at, int bytes) {
        quint32 v = 0;
        for (int i = bytes - 1; i >= 0; --i)
            v = v << 8 | static_cast<unsigned char>(file[at + i]);
        return v;
    };
    CWave w;
    bool pcm = false, data = false;
    for (qsizetype pos = 12; pos + 8 <= file.size();) {
        const QByteArray tag = file.mid(pos, 4);
        const quint32 len = le(pos + 4, 4);
        const qsizetype body = pos + 8;
        if (tag == "fmt " && len >= 16 && body + 16 <= file.size()) {
            pcm = le(body, 2) == 1;
            w.channels = int(le(body + 2, 2));
            w.rate = int(le(body + 4, 4));
            w.bits = int(le(body + 14, 2));
        } else if (tag == "data") {
            w.pcm = file.mid(body, qMin<qsizetype>(len, file.size() - body));
            data = true;
        }
        pos = body + qsizetype(len) + (len & 1);
    }
    if (!pcm || !data || w.rate <= 0 || w.channels < 1 || w.channels > 2 || (w.bits != 8 && w.bits != 16))
        return false;
    w.pcm.truncate(qsizetype(w.Frames()) * w.channels * (w.bits / 8)); // whole frames only
    *wave = std::move(w);
    return true;
}

bool AfxLoadWave(int id, CWave* wave) {
    QFile file(QStringLiteral(":/res/sound/%1.wav").arg(id));
    return file.open(QIODevice::ReadOnly) && AfxParseWave(file.readAll(), wave);
}

namespace {

// Each cue has its own sink in the cue's own format, so nothing is converted, and its whole
// sound is handed to the server at once: the server knows the end, no feeding can fall behind,
// and a synchronous wait needs no event loop.
struct CCue {
    CWave wave;
    std::unique_ptr<QAudioSink> sink;
};

// What the server keeps ahead of the speaker; short, so a cue starts at once and one that is
// stopped goes quiet at once. The cue is written whole, so the stream cannot run dry.
const int kLatencyMs = 40;

class CQtSoundPlayer : public ISoundPlayer {
  public:
    CQtSoundPlayer() : m_device(QMediaDevices::defaultAudioOutput()) {}

    void Preload(int id) { Cue(id); }

    int Play(int id, bool synchronous) override {
        CCue* cue = Cue(id);
        if (cue == nullptr)
            return 0;
        if (cue->sink == nullptr)
            return 0; // no audio output: silent, and the game goes on
        // Whatever else is still sounding stops; a cue that is still sounding starts again.
        if (m_sounding != nullptr && m_sounding != cue)
            m_sounding->sink->stop();
        m_sounding = cue;
        QIODevice* out = cue->sink->start();
        if (out == nullptr || out->write(cue->wave.pcm) != cue->wave.pcm.size()) {
            cue->sink->stop();
            return 0;
        }
        if (synchronous)
            WaitUntilHeard(*cue);
        return 1;
    }

  private:
    // The cue, read on first use; nullptr when it is missing.
    CCue* Cue(int id) {
        auto it = m_cues.find(id);
        if (it != m_cues.end())
            return it->second.get();
        auto cue = std::make_unique<CCue>();
        if (!AfxLoadWave(id, &cue->wave)) {
            m_cues[id] = nullptr;
            return nullptr;
        }
        if (!m_device.isNull()) {
            QAudioFormat format;
            format.setSampleRate(cue->wave.rate);
            format.setChannelCount(cue->wave.channels);
            format.setSampleFormat(cue->wave.bits == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);
            cue->sink = std::make_unique<QAudioSink>(m_device, format);
            cue->sink->setBufferSize(format.bytesForDuration(kLatencyMs * 1000));
        }
        return (m_cues[id] = std::move(cue)).get();
    }

    // Blocks for the cue's length from the moment the server had all of it. Every stream is
    // heard the same time after its data arrives, so the next cue follows without a gap and
    // cuts nothing off; the sink's own position report cannot be trusted for this (it stalls
    // and jumps). The thread handles nothing meanwhile (no input, no painting), as a blocking
    // call does.
    static void WaitUntilHeard(const CCue& cue) {
        QThread::usleep(static_cast<unsigned long>(cue.wave.DurationUs()));
    }

    QAudioDevice m_device;
    std::map<int, std::unique_ptr<CCue>> m_cues;
    CCue* m_sounding = nullptr;
};

std::unique_ptr<CQtSoundPlayer> g_qtPlayer;
ISoundPlayer* g_player = nullptr;

void EndQtPlayer() {
    g_qtPlayer.reset();
}

// Made with the application object, and ended by it: the sinks must not outlive Qt Multimedia.
CQtSoundPlayer* QtPlayer() {
    if (!g_qtPlayer && qApp) {
        g_qtPlayer = std::make_unique<CQtSoundPlayer>();
        qAddPostRoutine(EndQtPlayer);
    }
    return g_qtPlayer.get();
}

} // namespace

void AfxSetSoundPlayer(ISoundPlayer* player) {
    g_player = player;
}

int AfxPlayWave(int id, bool synchronous) {
    if (synchronous)
        AfxPresentAllViews();
    if (g_player)
        return g_player->Play(id, synchronous);
    CQtSoundPlayer* player = QtPlayer();
    return player ? player->Play(id, synchronous) : 0;
}

void AfxPreloadWaves(std::initializer_list<int> ids) {
    if (g_player)
        return;
    if (CQtSoundPlayer* player = QtPlayer()) {
        for (int id : ids)
            player->Preload(id);
    }
}
