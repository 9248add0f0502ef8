// Rebuild cost of every gradient style (colour table plus pattern), and for the two largest
// patterns the cost of merely writing that many pixels, so the painter's overhead shows as a
// ratio.
#include "components/GradientPatterns.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>

namespace vigrel {
namespace {

constexpr const char* StyleNames[] = {
    "gsCustom",     "gsRadialC",    "gsRadialT",    "gsRadialB",    "gsRadialL",
    "gsRadialR",    "gsRadialTL",   "gsRadialTR",   "gsRadialBL",   "gsRadialBR",
    "gsLinearH",    "gsLinearV",    "gsReflectedH", "gsReflectedV", "gsDiagonalLF",
    "gsDiagonalLB", "gsDiagonalRF", "gsDiagonalRB", "gsArrowL",     "gsArrowR",
    "gsArrowU",     "gsArrowD",     "gsDiamond",    "gsButterfly",  "gsRadialRect",
};

void Rebuild(benchmark::State& state, PatternPainter painter) {
    MemoryPattern pattern;
    for (auto _ : state) {
        const TGradientColors colors = BuildGradientColors(0xF0CAA6, 0xFFFFFF, 20, -30);
        painter(colors, pattern);
        benchmark::DoNotOptimize(pattern.Row(0));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * pattern.Width() * pattern.Height());
}

void BuildColorsOnly(benchmark::State& state) {
    for (auto _ : state) {
        TGradientColors colors = BuildGradientColors(0xF0CAA6, 0xFFFFFF, 20, -30);
        benchmark::DoNotOptimize(colors);
    }
}

// Writes every pixel of a pattern of the given size once with one value, row by row.
void PlainWrite(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    MemoryPattern pattern;
    pattern.SetSize(width, width);
    std::uint32_t value = 0;
    for (auto _ : state) {
        ++value;
        for (int y = 0; y < width; ++y) {
            std::fill_n(pattern.Row(y), width, value);
        }
        benchmark::DoNotOptimize(pattern.Row(0));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * width * width);
}

const bool Registered = [] {
    for (std::size_t style = 1; style < StylePainters.size(); ++style) {
        benchmark::RegisterBenchmark((std::string("Rebuild/") + StyleNames[style]).c_str(), Rebuild,
                                     StylePainters[style]);
    }
    benchmark::RegisterBenchmark("BuildGradientColors", BuildColorsOnly);
    benchmark::RegisterBenchmark("PlainWrite", PlainWrite)->Arg(362)->Arg(512);
    return true;
}();

} // namespace
} // namespace vigrel

BENCHMARK_MAIN();
