// Navigation math: the one-second position step, the waypoint distance and the display format.
// Each iteration takes a new position, as each second of a run does: the remembered sines and
// Mercator latitudes then serve what a run repeats (the waypoint, the latitude of a second ago)
// and nothing more.
#include <benchmark/benchmark.h>

#include "nav/Conversions.h"
#include "nav/SpherePositions.h"

using namespace corvel::nav;

// A run of one-second steps at 6.5 kn on 318.4 degrees: each step starts where the last ended.
static void BM_RhumbStep(benchmark::State& state) {
    TPos_elem from, to;
    from.Init("", 51.069f, 12.3847f);
    for (auto _ : state) {
        RhumbStep(from, to, 6.5f / 3600, 318.4f);
        benchmark::DoNotOptimize(to);
        from = to;
    }
}
BENCHMARK(BM_RhumbStep);

// The distance to a fixed waypoint from a boat that moves.
static void BM_GreatCircleDistance(benchmark::State& state) {
    Real lat = 51.069L;
    for (auto _ : state) {
        benchmark::DoNotOptimize(GreatCircleDistance(1.3313L, 51.103L, 12.3847L, lat));
        lat += 1e-5L;
    }
}
BENCHMARK(BM_GreatCircleDistance);

// A display value is a 32-bit state value widened; the values stay within the display's range.
static void BM_FormatFixed(benchmark::State& state) {
    float x = 318.46f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatFixed(x, 4, 1));
        x = x > 359 ? 0.37f : x + 0.01f;
    }
}
BENCHMARK(BM_FormatFixed);
