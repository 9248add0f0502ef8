// Cost of one tick's comparison per pair of value classes, without host calls.
#include "monitor/ValueCompare.h"

#include "tools/locale/FakeLocale.h"

#include <benchmark/benchmark.h>

namespace {

void Compare(benchmark::State& state, const char* value, const char* comparison) {
    const vigrel::test::FakeLocale locale(',');
    for (auto _ : state) {
        benchmark::DoNotOptimize(vigrel::ConditionHolds("=", value, comparison, locale));
    }
}

BENCHMARK_CAPTURE(Compare, integer_integer, "12345", "12345");
BENCHMARK_CAPTURE(Compare, integer_decimal, "12345", "12345,0");
BENCHMARK_CAPTURE(Compare, decimal_integer, "12,5", "12");
BENCHMARK_CAPTURE(Compare, decimal_decimal, "12,5", "12,50");
BENCHMARK_CAPTURE(Compare, decimal_failing, "a", "a");
BENCHMARK_CAPTURE(Compare, integer_text, "12345", "abc");
BENCHMARK_CAPTURE(Compare, text_text, "Answer", "ANSWER");

} // namespace
