// Cost of one text-to-extended conversion for typical and extreme comparison strings.
#include "monitor/Extended.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

void Text(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(vigrel::TextToExtended(text, ','));
    }
}

void Digits(benchmark::State& state, const std::string& digits) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(vigrel::DigitsToExtended(digits));
    }
}

BENCHMARK_CAPTURE(Text, integer, std::string("7"));
BENCHMARK_CAPTURE(Text, million, std::string("1000000"));
BENCHMARK_CAPTURE(Text, decimal, std::string("12,5"));
BENCHMARK_CAPTURE(Text, exponent, std::string("-3,25E2"));
BENCHMARK_CAPTURE(Text, digits30, std::string("123456789012345,678901234567891"));
BENCHMARK_CAPTURE(Text, tiny, std::string("1e-4000"));
BENCHMARK_CAPTURE(Text, huge, std::string("1e4000"));
BENCHMARK_CAPTURE(Text, subnormal, std::string("3,6451995318824746025e-4951"));
BENCHMARK_CAPTURE(Text, digits12000, "0," + std::string(12000, '7'));
BENCHMARK_CAPTURE(Digits, digits10, std::string("2147483648"));
BENCHMARK_CAPTURE(Digits, digits40, std::string("1234567890123456789012345678901234567890"));

} // namespace

BENCHMARK_MAIN();
