// Plays sound cues through the game's own player and framework, for the sound-server tests: the
// cues are named as in the game, the script runs, and the program ends the way the game does.
// Arguments, in order:
//   103    play cue 103 and go on at once
//   =101   play cue 101 to its end
//   +150   let 150 ms pass, handling events as the game's event loop would
// For every cue it prints "cue <id> <ms>", when the call was made (ms since the script began),
// so the test can tell its player's onsets from the times they were asked for.

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "common/SoundCues.h"
#include "platform/Afx.h"

namespace {

class CCueScriptApp : public CWinApp {
  public:
    CCueScriptApp() : CWinApp("cue script") {}

    BOOL InitInstance() override {
        NameSoundCues();
        QTimer::singleShot(0, [] {
            RunScript(QCoreApplication::arguments().mid(1));
            QCoreApplication::quit();
        });
        return TRUE;
    }

  private:
    static void RunScript(const QStringList& steps) {
        QElapsedTimer clock;
        clock.start();
        for (const QString& step : steps) {
            if (step.startsWith('+')) {
                QElapsedTimer pause;
                pause.start();
                while (pause.elapsed() < step.mid(1).toInt()) {
                    QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
                    QThread::msleep(1);
                }
                continue;
            }
            const bool sync = step.startsWith('=');
            const int id = (sync ? step.mid(1) : step).toInt();
            std::printf("cue %d %.1f\n", id, double(clock.nsecsElapsed()) / 1e6);
            std::fflush(stdout);
            if (sync) {
                PlaySoundCueSync(id);
            } else {
                PlaySoundCue(id);
            }
        }
    }
};

CCueScriptApp theApp;

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return AfxWinMain(argc, argv);
}
