// Navigation math: the one-second position step, the waypoint distance and the display format.
#include <benchmark/benchmark.h>

#include "nav/EXT_CONVERS.h"
#include "nav/POSGEOMAN.h"

using namespace corvel::nav;

static void BM_RhumbStep(benchmark::State& state) {
    TPos_elem from, to;
    from.Init("", "", "", 51.069f, 12.3847f);
    for (auto _ : state) {
        RhumbStep(from, to, 6.5f / 3600, 318.4f);
        benchmark::DoNotOptimize(to);
    }
}
BENCHMARK(BM_RhumbStep);

static void BM_GreatCircleDistance(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(GreatCircleDistance(1.3313L, 51.103L, 12.3847L, 51.069L));
}
BENCHMARK(BM_GreatCircleDistance);

// A display value is a 32-bit state value widened.
static void BM_FormatFixed(benchmark::State& state) {
    float x = 318.46f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatFixed(x, 4, 1));
        x += 0.01f;
    }
}
BENCHMARK(BM_FormatFixed);
