// Full repaint of the play screen at 1920 x 1080 with the possibles bought on every empty square,
// the heaviest board a player can make.

#include <QApplication>
#include <QWidget>
#include <benchmark/benchmark.h>

#include "common/MenuIds.h"
#include "screen/QuillmoorView.h"

namespace {

CQuillmoorView* g_view = nullptr;

void SettleEvents() {
    for (int i = 0; i < 3; ++i) {
        QApplication::processEvents();
    }
}

void PrepareBoard(CQuillmoorView& view) {
    view.Srand(2024);
    view.ViewWidget();
    view.Widget()->resize(1920, 1080);
    view.Widget()->show();
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
    SettleEvents();
}

void BM_PaintBoardFullHd(benchmark::State& state) {
    for (auto _ : state) {
        g_view->PaintBoard();
    }
    state.counters["given"] = g_view->m_givenCount;
}
BENCHMARK(BM_PaintBoardFullHd)->Unit(benchmark::kMillisecond);

// The same with the presentations the repaint schedules, as the player sees it.
void BM_PaintBoardAndPresent(benchmark::State& state) {
    for (auto _ : state) {
        g_view->PaintBoard();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_PaintBoardAndPresent)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    CQuillmoorView view;
    PrepareBoard(view);
    g_view = &view;

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
