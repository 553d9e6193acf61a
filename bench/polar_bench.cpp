// The boat speed from the default polar: one call (every tick) and the 151-angle upwind scan.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "sim/PolarTable.h"

using corvel::sim::PolarTable;

namespace {

// The default polar of the source tree, or nothing when it cannot be read.
bool LoadDefaultPolar(PolarTable& polar) {
    const auto path =
        std::filesystem::path(__FILE__).parent_path().parent_path() / "data" / "DefPolars" / "First31_7.pol";
    return polar.LoadFromFile(path).ok();
}

void BM_BoatSpeed(benchmark::State& state) {
    PolarTable polar;
    if (!LoadDefaultPolar(polar)) return state.SkipWithError("default polar not found");
    float wa = 30;
    for (auto _ : state) {
        benchmark::DoNotOptimize(polar.BoatSpeed(wa, 13.7f, 100));
        wa = wa >= 180 ? 30 : wa + 0.37f;
    }
}
BENCHMARK(BM_BoatSpeed);

// A scan of 151 angles in a row, as the best-upwind search makes: 30 to 180 degrees.
void BM_BoatSpeedScan151(benchmark::State& state) {
    PolarTable polar;
    if (!LoadDefaultPolar(polar)) return state.SkipWithError("default polar not found");
    for (auto _ : state) {
        float sum = 0;
        for (int a = 30; a <= 180; ++a) sum += polar.BoatSpeed(a, 13.7f, 100).speed;
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_BoatSpeedScan151);

}  // namespace
