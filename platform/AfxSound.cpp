#include "platform/AfxInternal.h"

#include <QCoreApplication>
#include <QFile>

#include <pulse/pulseaudio.h>

#include <dlfcn.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

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

// libpulse is loaded when the first cue plays, not with the program: until then the game holds
// none of it, nor what it brings along (libsndfile with its FLAC, Vorbis, Opus and MP3 libraries),
// nor libpulse's thread and connection: 2 MiB in all. Loading it and connecting to the server take
// a millisecond or two. The calls the player makes are found by their names.
// clang-format off
#define CELLWRIGHT_LIBPULSE_CALLS(X)                                                                  \
    X(threaded_mainloop_new) X(threaded_mainloop_start) X(threaded_mainloop_stop)                     \
    X(threaded_mainloop_free) X(threaded_mainloop_lock) X(threaded_mainloop_unlock)                   \
    X(threaded_mainloop_get_api) X(gettimeofday) X(timeval_add) X(usec_to_bytes)                      \
    X(proplist_new) X(proplist_sets) X(proplist_free)                                                 \
    X(context_new_with_proplist) X(context_set_state_callback) X(context_connect)                     \
    X(context_get_state) X(context_disconnect) X(context_unref)                                       \
    X(stream_new_with_proplist) X(stream_set_state_callback) X(stream_connect_playback)               \
    X(stream_get_state) X(stream_write) X(stream_drain) X(stream_disconnect) X(stream_unref)          \
    X(operation_unref)
// clang-format on

struct CLibPulse {
#define CELLWRIGHT_DECLARE(name) decltype(&::pa_##name) name = nullptr;
    CELLWRIGHT_LIBPULSE_CALLS(CELLWRIGHT_DECLARE)
#undef CELLWRIGHT_DECLARE
};

// The library, loaded at the first call and kept for the program's life; nullptr when it or one
// of its calls is missing, and then there is no sound.
const CLibPulse* LibPulse() {
    static const CLibPulse* const loaded = []() -> const CLibPulse* {
        static CLibPulse library;
        void* handle = dlopen("libpulse.so.0", RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr)
            return nullptr;
        bool complete = true;
#define CELLWRIGHT_FIND(name)                                                                                \
    library.name = reinterpret_cast<decltype(library.name)>(dlsym(handle, "pa_" #name));                     \
    complete = complete && library.name != nullptr;
        CELLWRIGHT_LIBPULSE_CALLS(CELLWRIGHT_FIND)
#undef CELLWRIGHT_FIND
        return complete ? &library : nullptr;
    }();
    return loaded;
}
#undef CELLWRIGHT_LIBPULSE_CALLS

// The loaded library, from the first cue on.
const CLibPulse* g_pa = nullptr;

using Clock = std::chrono::steady_clock;

// A cue as the server gets it: signed 16-bit, so that whatever the server pads an underrun with
// is silence (a zero byte is a full-scale sample in unsigned 8-bit).
struct CCue {
    pa_sample_spec sampleFormat{};
    QByteArray pcm;
    std::chrono::microseconds length{0};
};

CCue CueOf(const CWave& wave) {
    CCue cue;
    cue.sampleFormat.format = PA_SAMPLE_S16LE;
    cue.sampleFormat.rate = uint32_t(wave.rate);
    cue.sampleFormat.channels = uint8_t(wave.channels);
    cue.length = std::chrono::microseconds(wave.DurationUs());
    if (wave.bits == 16) {
        cue.pcm = wave.pcm;
        return cue;
    }
    cue.pcm.resize(wave.pcm.size() * 2);
    for (qsizetype i = 0; i < wave.pcm.size(); ++i) {
        const int sample = (static_cast<unsigned char>(wave.pcm[i]) - 128) * 256;
        cue.pcm[2 * i] = char(sample & 0xFF);
        cue.pcm[2 * i + 1] = char(sample >> 8 & 0xFF);
    }
    return cue;
}

// What the server keeps ahead of the speaker; short, so a cue starts at once and one that is
// stopped goes quiet at once. The cue is written whole, so the stream cannot run dry.
const pa_usec_t kLatencyUs = 40 * PA_USEC_PER_MSEC;
// A cue the server cannot start this soon after it was asked for (it is slow, restarting or not
// answering) is dropped: heard later it would belong to nothing on the screen.
const auto kStartWithin = std::chrono::milliseconds(500);
// After the server went away it is looked for again, soon and then every few seconds.
const auto kFirstRetry = std::chrono::milliseconds(250);
const auto kLastRetry = std::chrono::milliseconds(2000);

CSoundIdentity g_identity;

// Plays the cues through libpulse, which both PulseAudio and PipeWire's PulseAudio server speak,
// on libpulse's own thread. The game's thread never waits for the server: it hands a cue over
// under that thread's lock and goes on, and the server's answers (stream made, cue drained,
// connection lost) are handled there. Each cue is a stream of its own, connected to no device in
// particular, so it plays on the output the player chose last; it is written whole as soon as the
// server has made it and goes once drained, so nothing is left running dry. A lost connection is
// made again in the background.
class CPulsePlayer : public ISoundPlayer {
  public:
    explicit CPulsePlayer(CSoundIdentity identity) : m_identity(std::move(identity)) {
        if (m_identity.name.empty())
            m_identity.name = QCoreApplication::applicationName().toStdString();
        m_loop = g_pa->threaded_mainloop_new();
        if (m_loop == nullptr)
            return;
        if (g_pa->threaded_mainloop_start(m_loop) < 0) {
            g_pa->threaded_mainloop_free(m_loop);
            m_loop = nullptr;
            return;
        }
        CLock lock(m_loop);
        pa_mainloop_api* api = g_pa->threaded_mainloop_get_api(m_loop);
        m_connectTimer = api->time_new(api, nullptr, OnConnectTimer, this);
        OnConnectTimer(api, m_connectTimer, nullptr, this); // on its way before the first cue is asked for
    }

    ~CPulsePlayer() override {
        if (m_loop == nullptr)
            return;
        {
            CLock lock(m_loop);
            g_pa->threaded_mainloop_get_api(m_loop)->time_free(m_connectTimer);
            Release(m_pending);
            Release(m_sounding);
            DropContext(); // its streams' pending answers go with it
        }
        g_pa->threaded_mainloop_stop(m_loop);
        g_pa->threaded_mainloop_free(m_loop);
    }

    CPulsePlayer(const CPulsePlayer&) = delete;
    CPulsePlayer& operator=(const CPulsePlayer&) = delete;

    int Play(int id, bool synchronous) override {
        const CCue* cue = Cue(id);
        if (cue == nullptr || m_loop == nullptr)
            return 0;
        const CRequest request{cue, ++m_serial, Clock::now()};
        bool connected = false;
        {
            CLock lock(m_loop);
            const pa_context_state_t state =
                m_context ? g_pa->context_get_state(m_context) : PA_CONTEXT_UNCONNECTED;
            connected = PA_CONTEXT_IS_GOOD(state);
            if (state == PA_CONTEXT_READY) {
                Start(request);
            } else {
                // Started when the server answers, if that is soon.
                GiveUp(m_waiting);
                m_waiting = request;
                ConnectAfter(std::chrono::milliseconds(0));
            }
        }
        if (synchronous)
            WaitUntilHeard(request);
        return connected ? 1 : 0;
    }

  private:
    struct CLock {
        explicit CLock(pa_threaded_mainloop* loop) : m_loop(loop) { g_pa->threaded_mainloop_lock(m_loop); }
        ~CLock() { g_pa->threaded_mainloop_unlock(m_loop); }
        CLock(const CLock&) = delete;
        CLock& operator=(const CLock&) = delete;
        pa_threaded_mainloop* m_loop;
    };

    // A cue asked for; serial 0 is none.
    struct CRequest {
        const CCue* cue = nullptr;
        quint64 serial = 0;
        Clock::time_point asked;
    };

    struct CStream {
        pa_stream* stream = nullptr;
        CRequest request;
    };

    // The last request that started playing or was given up, for a synchronous wait.
    struct CSettled {
        quint64 serial = 0;
        bool started = false;
        Clock::time_point at;
    };

    const CCue* Cue(int id) {
        auto it = m_cues.find(id);
        if (it != m_cues.end())
            return it->second.get();
        CWave wave;
        std::unique_ptr<CCue> cue;
        if (AfxLoadWave(id, &wave))
            cue = std::make_unique<CCue>(CueOf(wave));
        return (m_cues[id] = std::move(cue)).get();
    }

    // --- under the lock, on either thread -----------------------------------------------------

    // Asks the server for the cue's stream; the cue is written once the server has made it. A
    // cue still sounding goes on until then, so the next one follows without a gap.
    void Start(const CRequest& request) {
        Release(m_pending, true);
        const CCue& cue = *request.cue;
        pa_proplist* props = g_pa->proplist_new();
        if (!m_identity.role.empty())
            g_pa->proplist_sets(props, PA_PROP_MEDIA_ROLE, m_identity.role.c_str());
        pa_stream* stream =
            g_pa->stream_new_with_proplist(m_context, "Sound cue", &cue.sampleFormat, nullptr, props);
        g_pa->proplist_free(props);
        if (stream == nullptr) {
            Settle(request.serial, false);
            return;
        }
        m_pending = {stream, request};
        g_pa->stream_set_state_callback(stream, OnStreamState, this);
        pa_buffer_attr attr;
        attr.maxlength = attr.prebuf = attr.minreq = attr.fragsize = uint32_t(-1);
        attr.tlength = uint32_t(g_pa->usec_to_bytes(kLatencyUs, &cue.sampleFormat));
        if (g_pa->stream_connect_playback(stream, nullptr, &attr, PA_STREAM_ADJUST_LATENCY, nullptr,
                                          nullptr) < 0)
            Release(m_pending, true);
    }

    // Ends the stream at once, cutting off what it has not played; `unplayed`: its cue never
    // started.
    void Release(CStream& s, bool unplayed = false) {
        if (s.stream == nullptr)
            return;
        g_pa->stream_set_state_callback(s.stream, nullptr, nullptr);
        g_pa->stream_disconnect(s.stream);
        g_pa->stream_unref(s.stream);
        if (unplayed)
            Settle(s.request.serial, false);
        s = CStream();
    }

    void GiveUp(CRequest& request) {
        if (request.serial != 0)
            Settle(request.serial, false);
        request = CRequest();
    }

    void Settle(quint64 serial, bool started) {
        std::lock_guard<std::mutex> guard(m_settledMutex);
        if (serial < m_settled.serial)
            return;
        m_settled = {serial, started, Clock::now()};
        m_settledChanged.notify_all();
    }

    void ConnectAfter(std::chrono::milliseconds delay) {
        timeval at{};
        g_pa->timeval_add(g_pa->gettimeofday(&at), pa_usec_t(delay.count()) * PA_USEC_PER_MSEC);
        g_pa->threaded_mainloop_get_api(m_loop)->time_restart(m_connectTimer, &at);
    }

    void DropContext() {
        if (m_context == nullptr)
            return;
        g_pa->context_set_state_callback(m_context, nullptr, nullptr);
        g_pa->context_disconnect(m_context);
        g_pa->context_unref(m_context);
        m_context = nullptr;
    }

    // The server is gone, or was never there: what was to play is given up, and the server is
    // looked for again.
    void Lost() {
        Release(m_pending, true);
        Release(m_sounding);
        GiveUp(m_waiting);
        ConnectAfter(m_retry);
        m_retry = std::min<std::chrono::milliseconds>(m_retry * 2, kLastRetry);
    }

    // --- on libpulse's thread -------------------------------------------------------------------

    // Connects unless a connection is up or on its way. Never spawns a server: the desktop starts
    // its own, and one that is missing is looked for again later.
    static void OnConnectTimer(pa_mainloop_api* api, pa_time_event* timer, const timeval*, void* self) {
        auto* player = static_cast<CPulsePlayer*>(self);
        api->time_restart(timer, nullptr);
        if (player->m_context != nullptr && PA_CONTEXT_IS_GOOD(g_pa->context_get_state(player->m_context)))
            return;
        player->DropContext();
        // What the desktop's mixer shows for every stream of the program.
        pa_proplist* props = g_pa->proplist_new();
        g_pa->proplist_sets(props, PA_PROP_APPLICATION_NAME, player->m_identity.name.c_str());
        if (!player->m_identity.iconName.empty())
            g_pa->proplist_sets(props, PA_PROP_APPLICATION_ICON_NAME, player->m_identity.iconName.c_str());
        player->m_context = g_pa->context_new_with_proplist(api, player->m_identity.name.c_str(), props);
        g_pa->proplist_free(props);
        if (player->m_context == nullptr) {
            player->Lost();
            return;
        }
        g_pa->context_set_state_callback(player->m_context, OnContextState, player);
        if (g_pa->context_connect(player->m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 &&
            g_pa->context_get_state(player->m_context) != PA_CONTEXT_FAILED)
            player->Lost(); // else its state callback did
    }

    static void OnContextState(pa_context* context, void* self) {
        auto* player = static_cast<CPulsePlayer*>(self);
        switch (g_pa->context_get_state(context)) {
        case PA_CONTEXT_READY:
            player->m_retry = kFirstRetry;
            if (player->m_waiting.serial != 0 && Clock::now() - player->m_waiting.asked < kStartWithin)
                player->Start(player->m_waiting);
            else
                player->GiveUp(player->m_waiting);
            player->m_waiting = CRequest();
            break;
        case PA_CONTEXT_FAILED:
        case PA_CONTEXT_TERMINATED:
            player->Lost();
            break;
        default:
            break;
        }
    }

    static void OnStreamState(pa_stream* stream, void* self) {
        auto* player = static_cast<CPulsePlayer*>(self);
        const pa_stream_state_t state = g_pa->stream_get_state(stream);
        if (stream == player->m_sounding.stream) {
            if (!PA_STREAM_IS_GOOD(state))
                player->Release(player->m_sounding);
            return;
        }
        if (stream != player->m_pending.stream || state == PA_STREAM_CREATING)
            return;
        if (state != PA_STREAM_READY || Clock::now() - player->m_pending.request.asked >= kStartWithin) {
            player->Release(player->m_pending, true);
            return;
        }
        // The whole cue at once: the server knows where it ends, and nothing can fall behind.
        const QByteArray& pcm = player->m_pending.request.cue->pcm;
        if (g_pa->stream_write(stream, pcm.constData(), size_t(pcm.size()), nullptr, 0, PA_SEEK_RELATIVE) <
            0) {
            player->Release(player->m_pending, true);
            return;
        }
        if (pa_operation* drain = g_pa->stream_drain(stream, OnDrained, player))
            g_pa->operation_unref(drain);
        player->Release(player->m_sounding);
        player->m_sounding = player->m_pending;
        player->m_pending = CStream();
        player->Settle(player->m_sounding.request.serial, true);
    }

    // Played to its end: the stream goes, leaving nothing behind that could sound.
    static void OnDrained(pa_stream* stream, int, void* self) {
        auto* player = static_cast<CPulsePlayer*>(self);
        if (stream == player->m_sounding.stream)
            player->Release(player->m_sounding);
    }

    // --- on the game's thread ---------------------------------------------------------------------

    // Returns when the cue has been heard to its end: its length after the server had all of it.
    // Every stream is heard the same time after its data arrives, so the next cue follows without
    // a gap and cuts nothing off. A cue the server does not take within its own length, or cannot
    // play at all, is waited for no longer. The thread handles nothing meanwhile (no input, no
    // painting), as a blocking call does.
    void WaitUntilHeard(const CRequest& request) {
        std::unique_lock<std::mutex> guard(m_settledMutex);
        const bool settled = m_settledChanged.wait_until(guard, request.asked + request.cue->length,
                                                         [&] { return m_settled.serial >= request.serial; });
        if (!settled || m_settled.serial != request.serial || !m_settled.started)
            return;
        const Clock::time_point end = m_settled.at + request.cue->length;
        guard.unlock();
        std::this_thread::sleep_until(end);
    }

    CSoundIdentity m_identity;
    pa_threaded_mainloop* m_loop = nullptr;

    // Under the lock.
    pa_time_event* m_connectTimer = nullptr;
    pa_context* m_context = nullptr;
    std::chrono::milliseconds m_retry = kFirstRetry;
    CRequest m_waiting; // asked for while there was no connection
    CStream m_pending;  // asked of the server, not playing yet
    CStream m_sounding; // playing, until drained or replaced

    // The game's thread only; the cues stay where they are for the player's life.
    std::map<int, std::unique_ptr<CCue>> m_cues;
    quint64 m_serial = 0;

    std::mutex m_settledMutex;
    std::condition_variable m_settledChanged;
    CSettled m_settled;
};

std::unique_ptr<CPulsePlayer> g_pulsePlayer;
ISoundPlayer* g_player = nullptr;

void EndPulsePlayer() {
    g_pulsePlayer.reset();
}

// Made at the first cue, and ended with the application object.
CPulsePlayer* PulsePlayer() {
    if (!g_pulsePlayer && qApp && (g_pa = LibPulse()) != nullptr) {
        g_pulsePlayer = std::make_unique<CPulsePlayer>(g_identity);
        qAddPostRoutine(EndPulsePlayer);
    }
    return g_pulsePlayer.get();
}

} // namespace

void AfxSetSoundPlayer(ISoundPlayer* player) {
    g_player = player;
}

void AfxSetSoundIdentity(const CSoundIdentity& identity) {
    g_identity = identity;
}

int AfxPlayWave(int id, bool synchronous) {
    if (synchronous)
        AfxPresentAllViews();
    if (g_player)
        return g_player->Play(id, synchronous);
    CPulsePlayer* player = PulsePlayer();
    return player ? player->Play(id, synchronous) : 0;
}
