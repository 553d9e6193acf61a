// The sentence builders: one per kind of the catalogue, each writing its sentence field for field
// from the simulation state, and the three group builders that visit the selected kinds of their
// group in emission order and hand every finished sentence with its kind to an output at once. The state is only
// read; the only value a builder changes is the GGA counter of the position group.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "nmea/NmeaCatalogue.h"
#include "nmea/SentenceEncoder.h"
#include "sim/SimulationState.h"

namespace corvel::nmea {

// The selection switch of a kind: ON, it is built and sent; OFF, it is skipped.
enum class t_switch : std::uint8_t { OFF, ON };

constexpr std::array<t_switch, kSentenceKindCount> AllSwitches(t_switch value) {
    std::array<t_switch, kSentenceKindCount> switches{};
    switches.fill(value);
    return switches;
}

// Where every finished sentence goes: the emitter's output, and each place a sentence leaves by.
// The sentence runs from "$" to the two checksum digits, without a line end.
class SentenceOutput {
public:
    virtual ~SentenceOutput() = default;
    // `kind`: the catalogue's kind of the sentence; none for a line that is no sentence of the
    // catalogue (injected garbage). Returns false when the group run must end at once (a link
    // failed): the remaining sentences of the run are then not built.
    virtual bool Send(std::optional<SentenceKind> kind, std::string_view sentence) = 0;
};

// Everything the builders read besides the simulation state.
struct NmeaContext {
    // Talker identifiers, two characters each.
    std::string TalkerPosition = "GP";  // "EC" or "GP"
    std::string TalkerSounder = "SD";   // "SD" or "II"
    std::string TalkerSpeed = "DM";     // "DM" or "II"
    std::string TalkerWind = "WI";      // "WI" or "II"
    // Selection, indexed by IndexOf(kind); all ON at program start.
    std::array<t_switch, kSentenceKindCount> switches = AllSwitches(t_switch::ON);
    // Hours added to the local time to obtain UTC (configuration key "idTU").
    nav::Real UtcOffsetHours = 0;
    // Counts the position-group runs in which GGA is selected; GGA goes out when it is a multiple
    // of 4. The start sequence ("SIMULER", resume) sets it to 0.
    std::int64_t GgaCycleCount = 0;
    // The position receiver has no fix (an injected fault): the position group and the waypoint
    // kinds write what a receiver without a fix writes, as for a position that cannot be written.
    bool NoFix = false;

    bool Selected(SentenceKind kind) const { return switches[IndexOf(kind)] == t_switch::ON; }
    void Select(SentenceKind kind, bool on) { switches[IndexOf(kind)] = on ? t_switch::ON : t_switch::OFF; }
    // The identifier of a role; "HC" for the compass.
    std::string_view TalkerOf(TalkerRole role) const;
};

// Each group builder computes the run fields (UTC time and date from `now` and UtcOffsetHours),
// builds the selected kinds of its group in emission order, hands each sentence to `sink` as soon
// as it is finished, and returns the number of sentences handed on. A sentence never exceeds
// kMaxBodyLength: BWC and BWR first write their distance with fewer decimals (six down to one),
// then the waypoint name is shortened in the sentence that carries it, just enough; a sentence
// that would still be too long (absurd values) is not sent. Until the sounder has taken its first
// sounding the depth fields of DPT, DBS, DBT and DBK are empty. While no waypoint is
// defined the waypoint kinds (RMB, APB, BWR, ZTG, WCV, WNC, WPL, BWC) are not built.
// A position that cannot be written (non-finite, latitude beyond 90) never goes out under a valid
// status: the position group then writes what a receiver without a fix writes (GGA quality 0,
// GLL and RMC status V and mode N, GSA fix type 1, VTG mode N, no position, speed or course), and
// when the boat's or the waypoint's position cannot be written RMB says V and N, APB V and V, BWC
// N (BWR, ZTG, WCV, WNC and WPL carry no status). Without the boat's position (or with NoFix set,
// which counts as a position that cannot be written) the bearings, distances, closing speed and
// time to go measured from the boat are empty in RMB, APB, BWR, ZTG, WCV and BWC.

// Group 1: DPT, DBS, DBT, DBK, HDG, HDM, HDT, MWV, MWD.
int BuildDepthHeadingWind(const sim::SimulationState& state, const NmeaContext& context, const LocalDateTime& now,
                          SentenceOutput& sink);

// Group 2: GSV (four sentences), GGA (when selected, in every fourth such run: counted by
// context.GgaCycleCount), GLL, RMC, GSA, VTG, ZDA.
int BuildPositionTime(const sim::SimulationState& state, NmeaContext& context, const LocalDateTime& now,
                      SentenceOutput& sink);

// Group 3: VHW, RMB, APB, MTW, BWR, ZTG, WCV, WNC, WPL, VWR, BWC. The side of VWR is the tack
// side of the state as it stands ("R" when F_amure would answer tribord, "L" for babord).
int BuildSpeedWaypoint(const sim::SimulationState& state, const NmeaContext& context, const LocalDateTime& now,
                       SentenceOutput& sink);

// The builder of group 1, 2 or 3; any other group builds nothing and returns 0.
int BuildGroup(int group, const sim::SimulationState& state, NmeaContext& context, const LocalDateTime& now,
               SentenceOutput& sink);

}  // namespace corvel::nmea
