// What a player hears: a private sound server's null sink, its monitor recorded while the game's
// own player plays cues (through a small script program, and in the real window at the end of a
// won game), then the recording searched for the cues sample by sample. Every case runs on both
// servers players have: PulseAudio, and PipeWire with its PulseAudio server.

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QThread>

#include "CueTimeline.h"
#include "PlayHarness.h"
#include "SoundServer.h"
#include "XSession.h"
#include "common/SoundCues.h"

#ifndef CELLWRIGHT_CUE_SCRIPT
#error "CELLWRIGHT_CUE_SCRIPT must name the cue script program"
#endif

namespace {

const int kRate = CSoundServer::kRate;
// Share of a stretch of the recording that the expected cue may leave unexplained: a clean cue
// leaves under 0.1 (resampling by the server), one with another sound under it 0.3 and more.
const double kClean = 0.2;
// Below this loudness (RMS) the recording counts as silent.
const double kSilent = 0.005;
// How long the switch from one cue to the next may take to be heard cleanly: the part of the
// old cue already on its way to the speaker.
const double kSwitch = 0.03;

// The onset of the first cue in the recording: found by its waveform around the first sound,
// which a cue's soft fade-in may reach only some way into it. -1 when nothing sounded.
double FirstOnset(const CSignal& recording, const CSignal& cue, double from = 0) {
    const double sound = FirstSound(recording, from, kSilent);
    return sound < 0 ? -1 : FindCue(recording, cue, 0.1, std::max(from, sound - 0.15), sound + 0.03).onset;
}

// The cue as the first sound of the recording, whole and alone.
void ExpectFirstAndWhole(const CSignal& recording, int id, const char* what) {
    const CSignal cue = CueAsHeard(id, kRate);
    const double onset = FirstOnset(recording, cue);
    ASSERT_GE(onset, 0) << what << " was not heard";
    const double unexplained = Unexplained(recording, cue, onset, onset, onset + cue.Seconds());
    std::printf("%s at %.3f s, unexplained %.3f\n", what, onset, unexplained);
    EXPECT_LT(unexplained, kClean) << what << " was not heard whole";
}

// One run of the cue script: its exit code (-1: crashed or hung), when it asked for each cue
// (seconds since it began) and what the server's monitor heard meanwhile.
struct CScriptRun {
    int exitCode = -1;
    std::vector<double> asked;
    CSignal heard;
};

// Starts the cue script; FinishCueScript waits for its end and reads what it printed.
void StartCueScript(QProcess& script, const QStringList& steps, const QStringList& environment) {
    script.setProcessEnvironment(EnvironmentWith(environment));
    script.start(CELLWRIGHT_CUE_SCRIPT, steps);
}

CScriptRun FinishCueScript(QProcess& script) {
    CScriptRun run;
    if (script.waitForFinished(30000) && script.exitStatus() == QProcess::NormalExit) {
        run.exitCode = script.exitCode();
    }
    EndProcess(&script);
    const QString out = QString::fromUtf8(script.readAllStandardOutput());
    for (const auto& m : QRegularExpression(R"(cue \d+ ([\d.]+))").globalMatch(out)) {
        run.asked.push_back(m.captured(1).toDouble() / 1000);
    }
    return run;
}

CScriptRun RunCueScript(const QStringList& steps, const QStringList& environment) {
    QProcess script;
    StartCueScript(script, steps, environment);
    return FinishCueScript(script);
}

class SoundServer : public ::testing::TestWithParam<CServerKind> {
  protected:
    SoundServer() : m_server(GetParam()) {}

    void SetUp() override {
        ASSERT_TRUE(m_server.Start()) << qPrintable(m_server.Log());
        ASSERT_TRUE(m_server.StartRecording()) << qPrintable(m_server.Log());
    }

    CScriptRun RunScript(const QStringList& steps) {
        CScriptRun run = RunCueScript(steps, m_server.ClientEnvironment());
        QThread::msleep(300); // the last cue's way to the monitor
        run.heard = {kRate, m_server.StopRecording()};
        return run;
    }

    // The server's list of streams once it lists one playing on a sink (empty at the deadline), or
    // once it lists none (whether it does). PipeWire lists a new stream before it is linked to a
    // sink.
    QString WaitForStream() {
        QString streams;
        WaitForStreams(true, &streams);
        return streams;
    }
    bool WaitForStreams(bool some, QString* streams = nullptr) {
        const QRegularExpression playing(R"(\n\s*Sink: (?!4294967295)\d+)");
        QDeadlineTimer deadline(5000);
        while (!deadline.hasExpired()) {
            const QString list = QString::fromUtf8(m_server.Pactl({"list", "sink-inputs"}));
            if (!list.isEmpty() && (some ? playing.match(list).hasMatch() : !list.contains("Sink Input #"))) {
                if (streams != nullptr) {
                    *streams = list;
                }
                return true;
            }
            QThread::msleep(20);
        }
        return false;
    }

    CSoundServer m_server;
};

INSTANTIATE_TEST_SUITE_P(On, SoundServer, ::testing::Values(CServerKind::PulseAudio, CServerKind::PipeWire),
                         [](const ::testing::TestParamInfo<CServerKind>& server) {
                             return server.param == CServerKind::PulseAudio ? "PulseAudio" : "PipeWire";
                         });

// One cue, then another asked for `spacing` seconds later while the first still sounds: the first
// is heard up to the second's onset, the second alone from there to its end, then nothing.
void ExpectTheSecondCutsTheFirstOff(const CScriptRun& run, int firstId, int secondId) {
    EXPECT_EQ(run.exitCode, 0) << "the script did not end cleanly after its sounds";
    ASSERT_EQ(run.asked.size(), 2u);
    const CSignal one = CueAsHeard(firstId, kRate), two = CueAsHeard(secondId, kRate);

    const double first = FirstOnset(run.heard, one);
    ASSERT_GE(first, 0) << "cue " << firstId << " not heard";
    const double spacing = run.asked[1] - run.asked[0];
    const double second = FindSwitch(run.heard, one, first, two, first + spacing / 2, first + one.Seconds());
    ASSERT_GE(second, 0) << "cue " << secondId << " not heard while cue " << firstId << " sounded";
    std::printf("cue %d at %.3f s, cue %d at %.3f s (asked %.3f s later)\n", firstId, first, secondId, second,
                spacing);

    EXPECT_LT(Unexplained(run.heard, one, first, first, second), kClean)
        << "cue " << firstId << " was not heard up to cue " << secondId;
    EXPECT_LT(Unexplained(run.heard, two, second, second + kSwitch, second + two.Seconds()), kClean)
        << "cue " << secondId << " did not sound alone: cue " << firstId << " went on under it";
    EXPECT_LT(Loudness(run.heard, second + two.Seconds() + kSwitch, second + two.Seconds() + 0.3), kSilent)
        << "something still sounded after cue " << secondId;
}

// Asked for while the swoosh still sounds, the brrr stops it.
TEST_P(SoundServer, ABrrrStopsTheSwooshStillSounding) {
    ExpectTheSecondCutsTheFirstOff(RunScript({"102", "+200", "103", "+700"}), kSoundWrong, kSoundForbidden);
}

// A second brrr 0.1 s after the first starts it again: the whole lasts the spacing plus one brrr.
TEST_P(SoundServer, ASecondBrrrStartsItAgain) {
    ExpectTheSecondCutsTheFirstOff(RunScript({"103", "+100", "103", "+600"}), kSoundForbidden,
                                   kSoundForbidden);
}

// The first brrr, which loads the sound library and connects to the server, is heard as soon after
// its call as the second one after its own, and whole. A machine busy with other work can make one
// run late now and then, so a late run is tried again, up to three times in all.
TEST_P(SoundServer, TheFirstCueIsNeitherLateNorCut) {
    const CSignal brrr = CueAsHeard(kSoundForbidden, kRate);
    for (int attempt = 1; attempt <= 3; ++attempt) {
        if (attempt > 1) {
            ASSERT_TRUE(m_server.StartRecording()) << qPrintable(m_server.Log());
        }
        const CScriptRun run = RunScript({"103", "+700", "103", "+500"});
        EXPECT_EQ(run.exitCode, 0) << "the script did not end cleanly after its sounds";
        ASSERT_EQ(run.asked.size(), 2u);

        const double first = FirstOnset(run.heard, brrr);
        ASSERT_GE(first, 0) << "no brrr heard";
        const double second = FirstOnset(run.heard, brrr, first + brrr.Seconds() + 0.05);
        ASSERT_GE(second, 0) << "the second brrr was not heard";
        const double late = (run.asked[1] - run.asked[0]) - (second - first);
        std::printf("run %d: first use %.1f ms later after its call than the second\n", attempt, late * 1000);
        EXPECT_LT(Unexplained(run.heard, brrr, first, first, first + brrr.Seconds()), kClean)
            << "the first brrr was cut";
        if (late < 0.06 || attempt == 3) {
            EXPECT_LT(late, 0.06) << "the first brrr came late in three runs";
            break;
        }
    }
}

// While a cue plays, the desktop's mixer lists it by the game's name and icon, with a media role, on
// the default output; when it has ended, its stream is gone. Then the player chooses another
// output, as the desktop's settings do when headphones are picked: the next cue plays there, and
// nothing more on the old one.
TEST_P(SoundServer, TheMixerShowsTheGameAndTheNextCuePlaysOnTheChosenOutput) {
    const QString other = "cellwright_other";
    ASSERT_TRUE(m_server.AddSink(other)) << qPrintable(m_server.Log());
    ASSERT_TRUE(m_server.StartRecording(other)) << qPrintable(m_server.Log());
    QProcess script;
    StartCueScript(script, {"=101", "+1000", "103", "+600"}, m_server.ClientEnvironment());
    const QString streams = WaitForStream();
    const QString sinks = QString::fromUtf8(m_server.Pactl({"list", "short", "sinks"}));
    const bool ended = WaitForStreams(false);
    ASSERT_TRUE(m_server.SetDefaultSink(other)) << qPrintable(m_server.Log());
    const CScriptRun run = FinishCueScript(script);
    QThread::msleep(300); // the last cue's way to the monitor
    const CSignal old{kRate, m_server.StopRecording()}, chosen{kRate, m_server.StopRecording(other)};

    for (const QString& line : streams.split('\n')) {
        if (QRegularExpression(R"(Sink:|application\.name|application\.icon_name|media\.role)")
                .match(line)
                .hasMatch()) {
            std::printf("%s\n", qPrintable(line.trimmed()));
        }
    }
    for (const char* property : {R"(application.name = "Cellwright")",
                                 R"(application.icon_name = "cellwright")", R"(media.role = "game")"}) {
        EXPECT_TRUE(streams.contains(property)) << property << " is not among the stream's properties";
    }
    const QString sink = QRegularExpression(R"(\n\s*Sink: (\d+))").match(streams).captured(1);
    const QString defaultSink =
        QRegularExpression("(?:^|\n)(\\d+)\\s+" + CSoundServer::kSink + "\\s").match(sinks).captured(1);
    EXPECT_FALSE(sink.isEmpty());
    EXPECT_EQ(sink, defaultSink) << "the cue did not play on the default output";
    EXPECT_TRUE(ended) << "the foghorn's stream was still there a second after it had ended";
    EXPECT_EQ(run.exitCode, 0);

    const CSignal foghorn = CueAsHeard(kSoundCorrect, kRate);
    const double one = FirstOnset(old, foghorn);
    ASSERT_GE(one, 0) << "the foghorn was not heard on the default output";
    ExpectFirstAndWhole(chosen, kSoundForbidden, "the brrr on the chosen output");
    const double afterFoghorn = one + foghorn.Seconds() + kSwitch;
    std::printf("the old output after the foghorn: loudest 10 ms %.4f\n", Loudest(old, afterFoghorn));
    EXPECT_LT(Loudest(old, afterFoghorn), kSilent) << "the brrr played on the old output";
}

// The server dies during the synchronous foghorn and starts again, as after a crash or an update
// of the desktop's sound packages: the game goes on without waiting for it, and the next cue is
// heard on the new server.
TEST_P(SoundServer, KilledDuringTheFoghornAndStartedAgainTheNextCueIsHeard) {
    QProcess script;
    StartCueScript(script, {"=101", "+1500", "103", "+700"}, m_server.ClientEnvironment());
    ASSERT_FALSE(WaitForStream().isEmpty()) << "the foghorn did not start";
    QThread::msleep(500);
    QElapsedTimer restart;
    restart.start();
    m_server.Kill();
    ASSERT_TRUE(m_server.Start()) << qPrintable(m_server.Log());
    ASSERT_TRUE(m_server.StartRecording()) << qPrintable(m_server.Log());
    const double restarted = restart.elapsed() / 1000.0;
    const CScriptRun run = FinishCueScript(script);
    QThread::msleep(300); // the last cue's way to the monitor
    const CSignal heard{kRate, m_server.StopRecording()};

    EXPECT_EQ(run.exitCode, 0) << "the program did not end cleanly after the server's restart";
    ASSERT_EQ(run.asked.size(), 2u);
    EXPECT_LT(run.asked[1] - run.asked[0], CueAsHeard(kSoundCorrect, kRate).Seconds() + 1.5 + 0.15)
        << "the synchronous foghorn held the program up after the server died";
    std::printf("server back and recorded %.2f s after it was killed\n", restarted);
    ExpectFirstAndWhole(heard, kSoundForbidden, "the brrr after the restart");
}

// A server that takes connections and requests and never answers them (stopped here, 150 ms after
// the program started): every call returns, a synchronous one within its cue's length, and the
// program ends cleanly. The program connects at its first cue: after the server stopped, or, with
// a brrr asked for at once, before.
TEST_P(SoundServer, AServerThatNeverAnswersHoldsNothingUp) {
    const QStringList cues = {"+300", "=101", "102", "=103", "+100"};
    for (const QStringList& script : {cues, QStringList{"103"} + cues}) {
        SCOPED_TRACE(qPrintable(script.join(' ')));
        QProcess process;
        QElapsedTimer clock;
        clock.start();
        StartCueScript(process, script, m_server.ClientEnvironment());
        QThread::msleep(150);
        m_server.Freeze(true);
        const CScriptRun run = FinishCueScript(process);
        const double seconds = clock.elapsed() / 1000.0;
        m_server.Freeze(false);

        EXPECT_EQ(run.exitCode, 0);
        ASSERT_EQ(run.asked.size(), size_t(script.size() - 2));
        const size_t first = run.asked.size() - 3;
        const double foghorn = CueAsHeard(kSoundCorrect, kRate).Seconds();
        const double brrr = CueAsHeard(kSoundForbidden, kRate).Seconds();
        const double foghornCall = run.asked[first + 1] - run.asked[first];
        const double swooshCall = run.asked[first + 2] - run.asked[first + 1];
        std::printf("foghorn call %.3f s, brrr call %.3f s, the whole program %.2f s\n", foghornCall,
                    swooshCall, seconds);
        EXPECT_LT(foghornCall, foghorn + 0.1) << "the synchronous foghorn waited past its length";
        EXPECT_LT(swooshCall, 0.1) << "the asynchronous swoosh waited";
        EXPECT_LT(seconds, 0.3 + foghorn + brrr + 0.1 + 3.0) << "the program took long to end";
    }
}

// With no sound server every call returns (a synchronous one without waiting for a cue that nobody
// hears), and the program ends cleanly.
TEST(NoSoundServer, EveryCallReturnsAtOnceAndTheProgramEndsCleanly) {
    const QString nowhere = "unix:" + QDir::tempPath() + "/cellwright-no-such-server";
    const CScriptRun run = RunCueScript({"=101", "102", "=103", "+100"},
                                        {"PULSE_SERVER=" + nowhere, "PULSE_CLIENTCONFIG=/dev/null"});
    EXPECT_EQ(run.exitCode, 0);
    ASSERT_EQ(run.asked.size(), 3u);
    EXPECT_LT(run.asked[1] - run.asked[0], 1.0) << "waited for a foghorn nobody can hear";
}

// A won game in the real window: the verdict's two foghorns back to back, each whole, nothing but
// silence after them, and File > Exit then ends the program with 0.
TEST_P(SoundServer, WonGameFoghornsBackToBackThenFileExit) {
    CXSession x("SoundServer.WonGame");
    ASSERT_TRUE(x.StartServer(1024, 768));
    ASSERT_TRUE(x.StartProgram(m_server.ClientEnvironment()));
    x.Focus(x.MainWindow());

    // Options > Use Your Own Numbers by keys, the test puzzle typed into the dialog's fields
    // (which take the tab order row by row), and OK.
    x.Keys({"alt+f", "Right", "Down", "Down", "Return"});
    ASSERT_TRUE(x.WaitForWindow("^Input Your Own Numbers$"));
    x.Focus(x.FindWindows("^Input Your Own Numbers$").front());
    x.Keys(KeysFillingTheTestPuzzle() << "Return");
    ASSERT_TRUE(x.WaitForScreen("board", [](const QImage& image) {
        return CountColour(image, {0, 0, image.width(), image.height()}, 255, 0, 0) > 500;
    }));

    x.Focus(x.MainWindow());
    x.Keys(KeysTypingTheTestSolution());

    // DONE is the orange button in the bottom right corner.
    const QImage board = x.Shot("solved");
    long sumX = 0, sumY = 0, count = 0;
    for (int yy = board.height() / 2; yy < board.height(); ++yy) {
        for (int xx = board.width() / 2; xx < board.width(); ++xx) {
            if ((board.pixel(xx, yy) | 0xFF000000u) == qRgb(255, 135, 55)) {
                sumX += xx, sumY += yy, ++count;
            }
        }
    }
    ASSERT_GT(count, 50) << "no DONE button";
    x.Click(int(sumX / count), int(sumY / count));

    // Both foghorns and a little silence after them, or the deadline.
    const CSignal foghorn = CueAsHeard(kSoundCorrect, kRate);
    QDeadlineTimer deadline(20000);
    double first = -1;
    for (;;) {
        QThread::msleep(250);
        const CSignal sofar{kRate, m_server.Recorded()};
        if (first < 0) {
            first = FirstSound(sofar, 0, kSilent);
        }
        if ((first >= 0 && sofar.Seconds() > first + 2 * foghorn.Seconds() + 1.0) || deadline.hasExpired()) {
            break;
        }
    }
    x.Focus(x.MainWindow());
    x.Keys({"alt+f", "x"});
    const int exitCode = x.WaitForExit(10000);
    const CSignal heard{kRate, m_server.StopRecording()};

    const double one = FirstOnset(heard, foghorn);
    ASSERT_GE(one, 0) << "no foghorn heard";
    const double two = FindSwitch(heard, foghorn, one, foghorn, one + 1.0, one + 2 * foghorn.Seconds());
    ASSERT_GE(two, 0) << "no second foghorn";
    const double gap = two - (one + foghorn.Seconds());
    std::printf("foghorns at %.3f s and %.3f s: gap %.1f ms\n", one, two, gap * 1000);

    EXPECT_LT(Unexplained(heard, foghorn, one, one, std::min(two, one + foghorn.Seconds())), kClean)
        << "the first foghorn was not heard whole";
    EXPECT_GT(gap, -kSwitch) << "the second foghorn cut the first short";
    EXPECT_LT(gap, 0.3) << "a gap between the foghorns";
    EXPECT_LT(Unexplained(heard, foghorn, two, two + kSwitch, two + foghorn.Seconds()), kClean)
        << "the second foghorn was not heard whole and alone";
    const double end = two + foghorn.Seconds() + kSwitch;
    std::printf("after the last cue, %.2f s to the end of the recording: loudest 10 ms %.4f\n",
                heard.Seconds() - end, Loudest(heard, end));
    EXPECT_GT(heard.Seconds() - end, 0.5) << "the recording ended with the second foghorn";
    EXPECT_LT(Loudest(heard, end), kSilent) << "something sounded after the foghorns";
    EXPECT_EQ(exitCode, 0) << "File > Exit did not end the program cleanly after its sounds";
    if (HasFailure()) {
        x.KeepArtifacts();
    }
}

} // namespace
