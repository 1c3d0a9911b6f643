// Game core timings: a solution grid, and an Easy or Hard set-up on a fresh grid (the grid itself
// is made outside the timed part).
#include "GameCore.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

void BM_GenerateSolutionGrid(benchmark::State& state) {
    auto core = std::make_unique<CGameCore>();
    core->Srand(1);
    for (auto _ : state) {
        core->GenerateSolutionGrid();
        benchmark::DoNotOptimize(core->m_grid[8][8]);
    }
}
BENCHMARK(BM_GenerateSolutionGrid)->Unit(benchmark::kMicrosecond);

void SetUpBench(benchmark::State& state, int option) {
    auto core = std::make_unique<CGameCore>();
    core->Srand(1);
    for (auto _ : state) {
        state.PauseTiming();
        core->ResetPuzzleFields();
        core->PrepareNextGrid();
        core->m_option = 0;
        state.ResumeTiming();
        if (option == 1) {
            core->OnEasy();
        } else {
            core->OnHard();
        }
        benchmark::DoNotOptimize(core->m_givenCount);
    }
}

void BM_EasySetUp(benchmark::State& state) {
    SetUpBench(state, 1);
}
void BM_HardSetUp(benchmark::State& state) {
    SetUpBench(state, 2);
}
BENCHMARK(BM_EasySetUp)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HardSetUp)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
