// The play screen with the possibles bought on every empty square, the heaviest board a player can
// make, at 1920 x 1080 and on a 3840 x 2160 screen at scale 2 (the same layout, four times the
// pixels): the full repaint, the repaint with the picture put on screen, and a typed numeral from
// the key press to the picture on screen. Two offscreen screens, one per pixel ratio, hold the two
// views in one process.

#include <QApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTemporaryFile>
#include <QWidget>
#include <benchmark/benchmark.h>

#include "common/MenuIds.h"
#include "screen/QuillmoorView.h"

#include <memory>

namespace {

// The view of each screen height the benchmarks take as their argument.
CQuillmoorView* g_views[2] = {nullptr, nullptr};

void SettleEvents() {
    for (int i = 0; i < 3; ++i) {
        QApplication::processEvents();
    }
}

// There is one caret, which moves with every repaint: the view measured takes it, as the other
// did when its puzzle was set up.
CQuillmoorView& ViewFor(const benchmark::State& state) {
    CQuillmoorView& view = *g_views[state.range(0) == 2160 ? 1 : 0];
    view.CreatePuzzleCaret();
    view.m_caretShowCount = 0;
    view.PaintBoard();
    SettleEvents();
    return view;
}

void PrepareBoard(CQuillmoorView& view, QScreen* screen) {
    view.Srand(2024);
    view.ViewWidget();
    QWidget* widget = view.Widget();
    widget->setScreen(screen);
    widget->move(screen->geometry().topLeft());
    widget->resize(1920, 1080);
    widget->show();
    SettleEvents();
    view.Invalidate();
    view.UpdateWindow();
    view.OnCmdMsg(ID_OPTIONS_EASY, nullptr);
    for (int s = 0; s < 81; ++s) {
        if (view.m_grid[s / 9][s % 9] == 0) {
            view.m_squares[s].possiblesPaid = 1;
        }
    }
    view.RefreshAllPossibles(0);
    // The caret on the first empty square, where the numeral is typed.
    for (int s = 0; s < 81; ++s) {
        if (view.m_grid[s / 9][s % 9] == 0) {
            view.m_caretRow = s / 9;
            view.m_caretCol = s % 9;
            break;
        }
    }
    view.PaintBoard();
    SettleEvents();
}

void Key(QWidget* widget, Qt::Key key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
}

void BM_PaintBoard(benchmark::State& state) {
    CQuillmoorView& view = ViewFor(state);
    for (auto _ : state) {
        view.PaintBoard();
    }
    state.counters["given"] = view.m_givenCount;
    SettleEvents();
}
BENCHMARK(BM_PaintBoard)->Arg(1080)->Arg(2160)->Unit(benchmark::kMillisecond);

// The same with the presentations the repaint schedules, as the player sees it.
void BM_PaintBoardAndPresent(benchmark::State& state) {
    CQuillmoorView& view = ViewFor(state);
    for (auto _ : state) {
        view.PaintBoard();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_PaintBoardAndPresent)->Arg(1080)->Arg(2160)->Unit(benchmark::kMillisecond);

// The solution's numeral typed at the caret (it is one of the square's possibles, so choosing it
// recomputes its row, column and box), up to the picture on screen. Taking it away again with
// Backspace is not timed.
void BM_TypedNumeral(benchmark::State& state) {
    CQuillmoorView& view = ViewFor(state);
    QWidget* widget = view.Widget();
    const int digit = view.m_solution[view.m_caretRow * 9 + view.m_caretCol].solution;
    const auto key = static_cast<Qt::Key>(Qt::Key_0 + digit);
    for (auto _ : state) {
        Key(widget, key, QString::number(digit));
        QApplication::processEvents();
        state.PauseTiming();
        Key(widget, Qt::Key_Backspace, QString());
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_TypedNumeral)->Arg(1080)->Arg(2160)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    // A 1920 x 1080 screen and a 3840 x 2160 one at scale 2, side by side.
    QTemporaryFile screens;
    if (!screens.open()) {
        return 1;
    }
    screens.write(R"({"screens": [{"name": "hd", "x": 0, "y": 0, "width": 1920, "height": 1080},)"
                  R"( {"name": "uhd", "x": 1920, "y": 0, "width": 3840, "height": 2160}]})");
    screens.flush();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screens.fileName()).toLocal8Bit());
    qputenv("QT_SCREEN_SCALE_FACTORS", "hd=1;uhd=2");
    QApplication app(argc, argv);
    const QList<QScreen*> screenList = QGuiApplication::screens();
    if (screenList.size() < 2) {
        return 1;
    }
    auto hd = std::make_unique<CQuillmoorView>();
    auto uhd = std::make_unique<CQuillmoorView>();
    PrepareBoard(*hd, screenList[0]);
    PrepareBoard(*uhd, screenList[1]);
    g_views[0] = hd.get();
    g_views[1] = uhd.get();

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
