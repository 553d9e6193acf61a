// Shared by the sentence tests: an output that records, a reference state and clock whose sentences
// are worked out by hand, and an independent reading of a sentence's frame.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "nmea/NmeaBuilders.h"
#include "sim/SimulationState.h"

namespace corvel::nmea::testing {

// Records every sentence and its kind; answers false to the sentence numbered `failAt` (1-based), if
// any.
struct RecordingOutput : SentenceOutput {
    std::vector<std::string> lines;
    std::vector<std::optional<SentenceKind>> kinds;
    int failAt = 0;
    bool Send(std::optional<SentenceKind> kind, std::string_view sentence) override {
        lines.emplace_back(sentence);
        kinds.push_back(kind);
        return static_cast<int>(lines.size()) != failAt;
    }
};

// 9 December 2026, 12:34:56.000 local time.
inline LocalDateTime ReferenceClock() { return {2026, 12, 9, 12, 34, 56, 0}; }

// Values chosen so that every field can be worked out by hand: 47.5 N 2.25 W, heading 318 true,
// variation 1.5 W, SOG 6.2 over COG 318.5, BSP 6.78, true wind 6 kn from 20, apparent wind
// 12.3 kn at 35 degrees on starboard tack, depth 12.5 m with offsets 0.3 m and 1.2 m, and the
// waypoint "Att_Dover" at 51 07.5 N 1 22.5 E.
inline sim::SimulationState ReferenceState() {
    sim::SimulationState s;
    s.Position.lat = 47.5f;
    s.Position.long_ = 357.75f;
    s.HDG = 318;
    s.ReciprocalHDG = 138;
    s.MagVar = -1.5f;
    s.MagVarSide = 'W';
    s.SOG = 6.2f;
    s.COG = 318.5f;
    s.WaterTrack = {6.78f, 318};
    s.TrueWind = {6, 20};
    s.AWS = 12.3f;
    s.AWA = 35;
    s.AWA360 = 35;
    s.Depth = 12.5f;
    s.DepthSounded = true;
    s.SurfaceOffset = 0.3f;
    s.KeelOffset = 1.2f;
    s.Waypoint.nom = "Att_Dover";
    s.Waypoint.lat = 51.125f;
    s.Waypoint.long_ = 1.375f;
    s.WaypointDefined = true;
    s.DTW = 40.1f;
    s.BTW = 25.5f;
    s.RhumbDistance = 40.25f;
    s.WCV = 5.75f;
    s.ETEHours = 6.5812f;
    s.OriginBearing = 24;
    return s;
}

// Talkers GP, SD, DM, WI; UTC = local time; everything selected.
inline NmeaContext ReferenceContext() { return {}; }

// The checksum digits worked out again from the sentence, independently of the encoder.
inline std::string RecomputedChecksum(std::string_view sentence) {
    const auto star = sentence.find('*');
    unsigned sum = 0;
    for (std::size_t i = 1; i < star && i < sentence.size(); ++i) sum ^= static_cast<unsigned char>(sentence[i]);
    const char* hex = "0123456789ABCDEF";
    return {hex[sum >> 4], hex[sum & 15]};
}

// The fields between "$" and "*": [0] is talker and type.
inline std::vector<std::string> FieldsOf(std::string_view sentence) {
    std::vector<std::string> fields(1);
    for (std::size_t i = 1; i < sentence.size() && sentence[i] != '*'; ++i) {
        if (sentence[i] == ',') {
            fields.emplace_back();
        } else {
            fields.back() += sentence[i];
        }
    }
    return fields;
}

// The three letters of the sentence type.
inline std::string TypeOf(std::string_view sentence) { return std::string(sentence.substr(3, 3)); }

// "" when the sentence is well framed: "$", printable ASCII without "$", "*", "!", "\", "^", "~"
// in the body, at most 82 characters with the CR LF a link adds, one "*" followed by the right two
// digits and nothing else. Otherwise what is wrong.
inline std::string FrameProblem(std::string_view s) {
    if (s.empty() || s[0] != '$') return "does not start with $";
    const auto star = s.find('*');
    if (star == std::string_view::npos) return "no *";
    if (s.size() + 2 > 82) return std::to_string(s.size() + 2) + " characters with CR LF";
    if (s.size() != star + 3) return "not two characters after *";
    for (std::size_t i = 1; i < star; ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x20 || c >= 0x7F || std::string_view("$*!\\^~").find(static_cast<char>(c)) != std::string_view::npos) {
            return "reserved byte at " + std::to_string(i);
        }
    }
    if (s.substr(star + 1) != RecomputedChecksum(s)) return "wrong checksum";
    return "";
}

}  // namespace corvel::nmea::testing
