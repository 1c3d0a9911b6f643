#include "platform/AfxInternal.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

#include <map>
#include <memory>

namespace {

QString SoundPath(int id) {
    return QStringLiteral(":/res/sound/%1.wav").arg(id);
}

// Playing time of a RIFF WAVE file from its header: data bytes / bytes per second. 0 when the
// file cannot be read as a wave.
int WaveDurationMs(const QByteArray& wav) {
    if (wav.size() < 12 || !wav.startsWith("RIFF") || wav.mid(8, 4) != "WAVE")
        return 0;
    quint32 byteRate = 0, dataBytes = 0;
    qsizetype pos = 12;
    auto u32 = [&wav](qsizetype at) {
        const auto* p = reinterpret_cast<const unsigned char*>(wav.constData() + at);
        return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
    };
    while (pos + 8 <= wav.size()) {
        QByteArray tag = wav.mid(pos, 4);
        quint32 len = u32(pos + 4);
        if (tag == "fmt " && pos + 8 + 12 <= wav.size())
            byteRate = u32(pos + 8 + 8);
        else if (tag == "data")
            dataBytes = len;
        pos += 8 + qsizetype(len) + (len & 1);
    }
    if (byteRate == 0)
        return 0;
    return static_cast<int>(quint64(dataBytes) * 1000 / byteRate);
}

class CQtSoundPlayer : public ISoundPlayer {
  public:
    int Play(int id, bool synchronous) override {
        QFile file(SoundPath(id));
        if (!file.open(QIODevice::ReadOnly))
            return 0;
        const int durationMs = WaveDurationMs(file.readAll());
        if (!qApp || QMediaDevices::audioOutputs().isEmpty())
            return 0; // no audio output: silent, and the game goes on
        QSoundEffect* effect = Effect(id);
        if (effect->status() == QSoundEffect::Error)
            return 0;
        if (effect->isPlaying())
            effect->stop(); // a cue still sounding starts again
        effect->play();
        if (synchronous)
            WaitForEnd(effect, durationMs);
        return 1;
    }

  private:
    QSoundEffect* Effect(int id) {
        auto it = m_effects.find(id);
        if (it != m_effects.end())
            return it->second.get();
        auto effect = std::make_unique<QSoundEffect>();
        effect->setSource(QUrl(QStringLiteral("qrc") + SoundPath(id)));
        QSoundEffect* raw = effect.get();
        m_effects[id] = std::move(effect);
        return raw;
    }

    // A local loop that handles no user input; it also ends after the cue's own length plus a
    // margin, so a sound device that never reports the end cannot hang the game.
    static void WaitForEnd(QSoundEffect* effect, int durationMs) {
        QEventLoop loop;
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
        bool started = effect->isPlaying();
        QObject::connect(effect, &QSoundEffect::playingChanged, &loop, [&] {
            if (effect->isPlaying())
                started = true;
            else if (started)
                loop.quit();
        });
        QObject::connect(effect, &QSoundEffect::statusChanged, &loop, [&] {
            if (effect->status() == QSoundEffect::Error)
                loop.quit();
        });
        guard.start(durationMs + 750);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }

    std::map<int, std::unique_ptr<QSoundEffect>> m_effects;
};

CQtSoundPlayer& QtPlayer() {
    static CQtSoundPlayer player;
    return player;
}

ISoundPlayer* g_player = nullptr;

} // namespace

void AfxSetSoundPlayer(ISoundPlayer* player) {
    g_player = player;
}

int AfxPlayWave(int id, bool synchronous) {
    if (synchronous)
        AfxPresentAllViews();
    ISoundPlayer* player = g_player ? g_player : &QtPlayer();
    return player->Play(id, synchronous);
}
