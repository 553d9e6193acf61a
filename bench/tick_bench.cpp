// The main tick of the main-window model, displays included: one tick with and without a
// current, and one simulated hour (72,000 ticks).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "app/program/Program.h"

using namespace corvel;

namespace {

std::filesystem::path DataFolder() {
    const char* src = std::getenv("CORVEL_SOURCE_DIR");
    return src ? std::filesystem::path(src) / "data" : std::filesystem::path(BENCH_DATA_DIR);
}

// The program without settings, on its default polar, started by "SIMULER".
struct Simulation {
    app::QuietDialogs dialogs;
    app::Program program{dialogs, DataFolder()};
    app::TFCorvel& window = program.FCorvel;

    explicit Simulation(bool current) {
        if (!current) window.EdFCourant.text = "0";
        window.BtCalCClick();
    }
};

// One tick as the timer set plays it (50 ms of virtual time: the sounder's ping every fourth), no
// sentence selected.
void BM_MainTick(benchmark::State& state) {
    Simulation sim(state.range(0) != 0);
    sim.program.Nmea.switches = nmea::AllSwitches(nmea::t_switch::OFF);
    for (auto _ : state) sim.window.Timers.Advance(50);
}
BENCHMARK(BM_MainTick)->Arg(0)->Arg(1)->ArgName("current");

// One simulated hour of the main tick alone (no sentence selected), and with the sentences built
// and logged as the window does.
void BM_SimulatedHour(benchmark::State& state) {
    const bool sentences = state.range(0) != 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto sim = std::make_unique<Simulation>(true);
        if (!sentences) sim->program.Nmea.switches = nmea::AllSwitches(nmea::t_switch::OFF);
        state.ResumeTiming();
        sim->window.Timers.Advance(3600 * 1000);
        benchmark::DoNotOptimize(sim->window.Engine.S.Position);
        state.PauseTiming();
        sim.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SimulatedHour)->Arg(0)->Arg(1)->ArgName("sentences")->Unit(benchmark::kMillisecond);

}  // namespace
