// The instruction pages: laying the whole text out for a client size, and drawing a page.
//
// A layout runs when the window first paints and whenever its size changes: then every font is
// new and nothing has been measured yet, so each timed layout starts with the fonts forgotten.

#include <QApplication>
#include <QWidget>
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "platform/AfxInternal.h"
#include "screen/QuillmoorView.h"

namespace {

struct CClientSize {
    int width, height;
};
const CClientSize kSizes[] = {{780, 540}, {1920, 1080}, {780, 1800}};

std::vector<std::unique_ptr<CQuillmoorView>> g_views;

void SettleEvents() {
    for (int i = 0; i < 3; ++i) {
        QApplication::processEvents();
    }
}

std::unique_ptr<CQuillmoorView> HomePageView(CClientSize size) {
    auto view = std::make_unique<CQuillmoorView>();
    view->Srand(2024);
    view->ViewWidget();
    view->Widget()->resize(size.width, size.height);
    view->Widget()->show();
    SettleEvents();
    view->Invalidate();
    view->UpdateWindow();
    SettleEvents();
    return view;
}

void BM_InstructionLayout(benchmark::State& state) {
    CQuillmoorView& view = *g_views[static_cast<size_t>(state.range(0))];
    for (auto _ : state) {
        state.PauseTiming();
        AfxForgetResolvedFonts();
        state.ResumeTiming();
        view.LayoutInstructionPages();
        benchmark::DoNotOptimize(view.m_pageCount);
    }
    state.counters["pages"] = view.m_pageCount - 1;
}

// Every page in turn, as Page Down shows them.
void BM_InstructionPageDraw(benchmark::State& state) {
    CQuillmoorView& view = *g_views[static_cast<size_t>(state.range(0))];
    view.m_pageCount = view.m_pages.PageCount() - 1; // as the paint leaves it
    for (auto _ : state) {
        view.NextInstructionPage();
    }
}

void SizeArgs(benchmark::internal::Benchmark* b) {
    for (int i = 0; i < 3; ++i) {
        b->Arg(i);
    }
    b->ArgName("size");
}
BENCHMARK(BM_InstructionLayout)->Apply(SizeArgs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InstructionPageDraw)->Apply(SizeArgs)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    for (const CClientSize& size : kSizes) {
        g_views.push_back(HomePageView(size));
    }

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_views.clear();
    return 0;
}
