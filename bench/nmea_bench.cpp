// Sentence encoding: one full cycle of the three groups with every kind selected (GGA included),
// into a sink that discards; and the checksum alone.
#include <benchmark/benchmark.h>

#include <string_view>

#include "nmea/NmeaBuilders.h"

using namespace corvel::nmea;

namespace {

struct DiscardingSink : SentenceOutput {
    std::size_t bytes = 0;
    bool Send(std::optional<SentenceKind>, std::string_view sentence) override {
        bytes += sentence.size();
        return true;
    }
};

corvel::sim::SimulationState CruisingState() {
    corvel::sim::SimulationState s;
    s.Position.lat = 51.069f;
    s.Position.long_ = 12.3847f;
    s.HDG = 318.4f;
    s.ReciprocalHDG = 138.4f;
    s.MagVar = 1.5f;
    s.SOG = 6.53f;
    s.COG = 322.7f;
    s.WaterTrack = {6.78f, 320.1f};
    s.TrueWind = {6, 20};
    s.AWS = 10.9f;
    s.AWA = 41.3f;
    s.AWA360 = 41.3f;
    s.Depth = 13.4f;
    s.SurfaceOffset = 0.3f;
    s.KeelOffset = 1.5f;
    s.Waypoint.nom = "Att_Dover";
    s.Waypoint.lat = 51.103f;
    s.Waypoint.long_ = 1.3313f;
    s.WaypointDefined = true;
    s.DTW = 418.37f;
    s.BTW = 274.66f;
    s.RhumbDistance = 419.02f;
    s.WCV = 3.91f;
    s.ETEHours = 107.0012f;
    s.OriginBearing = 274.5f;
    return s;
}

void BM_FullCycle(benchmark::State& state) {
    const auto s = CruisingState();
    NmeaContext context;
    const LocalDateTime now{2026, 12, 9, 14, 3, 27, 512};
    DiscardingSink sink;
    for (auto _ : state) {
        context.GgaCycleCount = 0;
        int sent = BuildDepthHeadingWind(s, context, now, sink);
        sent += BuildSpeedWaypoint(s, context, now, sink);
        sent += BuildPositionTime(s, context, now, sink);
        benchmark::DoNotOptimize(sent);
    }
    benchmark::DoNotOptimize(sink.bytes);
}
BENCHMARK(BM_FullCycle);

void BM_NmeaChecksum(benchmark::State& state) {
    const std::string_view body = "$GPRMC,123456.00,A,4730.00000,N,00215.00000,W,6.20,318.50,091226,1.50,W,A*";
    for (auto _ : state) benchmark::DoNotOptimize(NmeaChecksum(body));
}
BENCHMARK(BM_NmeaChecksum);

}  // namespace
