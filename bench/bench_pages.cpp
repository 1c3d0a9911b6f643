// The instruction pages: laying the whole text out for a client size, and drawing a page.
//
// A layout runs when the window first paints and whenever its size changes: then every font is
// new and nothing has been measured yet, so each timed layout starts with the fonts forgotten.

#include <QApplication>
#include <QWidget>
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
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

void BM_InstructionLayout(benchmark::State& state, size_t index) {
    CQuillmoorView& view = *g_views[index];
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
void BM_InstructionPageDraw(benchmark::State& state, size_t index) {
    CQuillmoorView& view = *g_views[index];
    view.m_pageCount = view.m_pages.PageCount() - 1; // as the paint leaves it
    for (auto _ : state) {
        view.NextInstructionPage();
    }
}

void RegisterAtEverySize() {
    for (size_t i = 0; i < g_views.size(); ++i) {
        const std::string size = std::to_string(kSizes[i].width) + "x" + std::to_string(kSizes[i].height);
        benchmark::RegisterBenchmark(("BM_InstructionLayout/" + size).c_str(), BM_InstructionLayout, i)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("BM_InstructionPageDraw/" + size).c_str(), BM_InstructionPageDraw, i)
            ->Unit(benchmark::kMillisecond);
    }
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    for (const CClientSize& size : kSizes) {
        g_views.push_back(HomePageView(size));
    }

    RegisterAtEverySize();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_views.clear();
    return 0;
}
