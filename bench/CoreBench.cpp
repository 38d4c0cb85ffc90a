// What one tick of the calculator costs: the four time operations and the whole calculation
// with the main window's initial inputs.
#include "Calculation.h"
#include "timecalc/TivTools.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

const TTivTools Tools(nullptr);

void BM_TimeTextToMs(benchmark::State& State) {
    std::string Text = "8:14,54";
    for (auto _ : State) {
        benchmark::DoNotOptimize(Text);
        benchmark::DoNotOptimize(Tools.TimeTextToMs(Text));
    }
}
BENCHMARK(BM_TimeTextToMs);

void BM_TimeKeyFilter(benchmark::State& State) {
    char Key = '5';
    for (auto _ : State) {
        benchmark::DoNotOptimize(Key);
        Tools.TimeKeyFilter(nullptr, Key);
        benchmark::DoNotOptimize(Key);
    }
}
BENCHMARK(BM_TimeKeyFilter);

void BM_MsToTimeText(benchmark::State& State) {
    std::int32_t Count = 494770;
    for (auto _ : State) {
        benchmark::DoNotOptimize(Count);
        benchmark::DoNotOptimize(Tools.MsToTimeText(Count, "ss,tt"));
    }
}
BENCHMARK(BM_MsToTimeText);

void BM_RoundUpTime(benchmark::State& State) {
    std::int32_t Count = 494771;
    double Step = 0.01;
    for (auto _ : State) {
        benchmark::DoNotOptimize(Count);
        benchmark::DoNotOptimize(Step);
        benchmark::DoNotOptimize(Tools.RoundUpTime(Count, Step));
    }
}
BENCHMARK(BM_RoundUpTime);

void Calculation(benchmark::State& State, int FunctionIndex, bool RoundUp) {
    const std::string Main = "8:14,54";
    const std::string Calc = "0,23";
    const std::string Resolution = "hh:mm:ss,tt";
    const TCalculationInputs Inputs{Main, Calc, FunctionIndex, RoundUp, 2, Resolution, ','};
    for (auto _ : State)
        benchmark::DoNotOptimize(CalculateResult(Tools, Inputs));
}

void BM_CalculationSum(benchmark::State& State) {
    Calculation(State, 0, false);
}
BENCHMARK(BM_CalculationSum);

void BM_CalculationProductRounded(benchmark::State& State) {
    Calculation(State, 2, true);
}
BENCHMARK(BM_CalculationProductRounded);

} // namespace
