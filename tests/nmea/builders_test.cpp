// The sentence builders: one golden line per kind from the reference state and clock, the values
// that must never reach a sentence as they are (directions out of range, non-finite numbers), and
// the group runs: order, selection, the GGA cadence, talkers, and a sink that fails.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <regex>
#include <string>
#include <vector>

#include "nmea/NmeaBuilders.h"
#include "support/SentenceTestSupport.h"

using namespace corvel::nmea;
using namespace corvel::nmea::testing;
using corvel::sim::SimulationState;

namespace {

// The sentences of one kind alone, from its group's builder (GGA: in a run where it is due).
std::vector<std::string> BuildOnly(SentenceKind kind, const SimulationState& state, NmeaContext context,
                                   const LocalDateTime& now = ReferenceClock()) {
    context.switches = AllSwitches(t_switch::OFF);
    context.Select(kind, true);
    context.GgaCycleCount = 0;
    RecordingOutput sink;
    BuildGroup(InfoOf(kind).group, state, context, now, sink);
    return sink.lines;
}

std::string BuildOne(SentenceKind kind, const SimulationState& state, const NmeaContext& context = ReferenceContext()) {
    const auto lines = BuildOnly(kind, state, context);
    return lines.size() == 1 ? lines[0] : "(" + std::to_string(lines.size()) + " sentences)";
}

struct Golden {
    SentenceKind kind;
    std::vector<std::string> lines;
};

// Worked out field by field from the reference state; the examples of the sentence formats
// (RMC *05, MWV *25, WNC *1C, HDT *3F, MTW *36, the first GSV *7A) are among them.
const Golden kGoldens[] = {
    {SentenceKind::DPT, {"$SDDPT,12.20,0.30*65"}},
    {SentenceKind::DBS, {"$SDDBS,41.0,f,12.50,M,6.84,F*08"}},
    {SentenceKind::DBT, {"$SDDBT,40.0,f,12.20,M,6.67,F*04"}},
    {SentenceKind::DBK, {"$SDDBK,36.1,f,11.00,M,6.01,F*1A"}},
    {SentenceKind::HDG, {"$HCHDG,319.50,,,1.5,W,*2D"}},
    {SentenceKind::HDM, {"$HCHDM,319.50,M,*3B"}},
    {SentenceKind::HDT, {"$HCHDT,318.00,T,*3F"}},
    {SentenceKind::MWV, {"$WIMWV,35.00,R,12.30,N,A*25"}},
    {SentenceKind::MWD, {"$WIMWD,20.00,T,21.50,M,6.00,N,3.09,M*52"}},
    {SentenceKind::GSV,
     {"$GPGSV,4,1,15,01,76,298,48,02,71,096,48,03,50,228,50,08,33,168,46*7E",
      "$GPGSV,4,2,15,10,09,055,48,14,23,279,50,17,30,309,50,19,03,318,00*79",
      "$GPGSV,4,3,15,22,23,299,49,27,02,152,00,32,34,058,33,,,,*4E",
      "$GPGSV,4,4,15,12,08,057,45,13,29,305,52,18,32,279,51,20,01,319,00*75"}},
    {SentenceKind::GGA, {"$GPGGA,123456.00,4730.00000,N,00215.00000,W,1,09,0.9,9.6,M,47.0,M,,*73"}},
    {SentenceKind::GLL, {"$GPGLL,4730.00000,N,00215.00000,W,123456.00,A,A*7A"}},
    {SentenceKind::RMC, {"$GPRMC,123456.00,A,4730.00000,N,00215.00000,W,6.20,318.50,091226,1.50,W,A*05"}},
    {SentenceKind::GSA, {"$GPGSA,A,3,01,02,03,08,13,14,17,18,32,,,,1.5,0.9,1.2*3D"}},
    {SentenceKind::VTG, {"$GPVTG,318.50,T,320.00,M,6.20,N,11.48,K,A*15"}},
    {SentenceKind::ZDA, {"$GPZDA,123456.00,09,12,2026,0,0*6D"}},
    {SentenceKind::VHW, {"$DMVHW,318.00,T,319.50,M,6.78,N,12.56,K*61"}},
    {SentenceKind::RMB, {"$GPRMB,A,0.00,L,,Att_Dover,5107.50000,N,00122.50000,E,40.10,25.50,5.75,,A*6B"}},
    {SentenceKind::APB, {"$GPAPB,A,A,0.00,L,N,V,V,24.00,T,Att_Dover,25.50,T,27.00,M*6E"}},
    {SentenceKind::MTW, {"$SDMTW,13.00,C*36"}},
    // BWR and BWC do not fit 82 characters with six decimals of distance and the whole name: the
    // distance loses decimals (BWR keeps two), and when one is not enough the name is cut (BWC).
    {SentenceKind::BWR, {"$GPBWR,123456.00,5107.50000,N,00122.50000,E,25.50,T,27.00,M,40.25,N,Att_Dover*69"}},
    {SentenceKind::ZTG, {"$GPZTG,123456.00,065812.00,Att_Dover*29"}},
    {SentenceKind::WCV, {"$GPWCV,5.75,N,Att_Dover*7A"}},
    {SentenceKind::WNC, {"$GPWNC,,N,,K,Att_Dover,*1C"}},
    {SentenceKind::WPL, {"$GPWPL,5107.50000,N,00122.50000,E,Att_Dover*1D"}},
    {SentenceKind::VWR, {"$WIVWR,35.00,R,12.30,N,6.33,M,22.78,K*68"}},
    {SentenceKind::BWC, {"$GPBWC,123456.00,5107.50000,N,00122.50000,E,25.50,T,27.00,M,40.1,N,Att_Dove,A*51"}},
};

TEST(Builders, OneGoldenPerKind) {
    bool seen[kSentenceKindCount] = {};
    for (const Golden& g : kGoldens) {
        seen[IndexOf(g.kind)] = true;
        EXPECT_EQ(BuildOnly(g.kind, ReferenceState(), ReferenceContext()), g.lines) << InfoOf(g.kind).type;
    }
    for (std::size_t i = 0; i < kSentenceKindCount; ++i) EXPECT_TRUE(seen[i]) << kSentenceCatalogue[i].type;
}

// What strict receivers (gpsd, Signal K, gpsbabel) read: the UTC date with the UTC time across
// local midnight, two-digit ZDA day and month, the destination in RMB's destination field, the
// time to go as a duration, no depth before the first sounding, every line within 82 characters
// with a long name, and names in ASCII.
TEST(Builders, WhatStrictReceiversRead) {
    const struct {
        const char* label;
        SentenceKind kind;
        LocalDateTime local;
        corvel::nav::Real utcOffset;
        void (*change)(SimulationState&);
        const char* expected;
    } cases[] = {
        {"RMC at local 00:30 with -2: 22:30 the day before",
         SentenceKind::RMC,
         {2026, 6, 2, 0, 30, 0, 0},
         -2,
         [](SimulationState&) {},
         "$GPRMC,223000.00,A,4730.00000,N,00215.00000,W,6.20,318.50,010626,1.50,W,A*0C"},
        {"ZDA at local 00:30 with -2",
         SentenceKind::ZDA,
         {2026, 6, 2, 0, 30, 0, 0},
         -2,
         [](SimulationState&) {},
         "$GPZDA,223000.00,01,06,2026,-2,0*4B"},
        {"ZDA from 02:00 local the same day",
         SentenceKind::ZDA,
         {2026, 6, 2, 2, 0, 0, 0},
         -2,
         [](SimulationState&) {},
         "$GPZDA,000000.00,02,06,2026,-2,0*4B"},
        {"RMC over the new year with +2",
         SentenceKind::RMC,
         {2026, 12, 31, 23, 30, 0, 0},
         2,
         [](SimulationState&) {},
         "$GPRMC,013000.00,A,4730.00000,N,00215.00000,W,6.20,318.50,010127,1.50,W,A*0B"},
        {"ZTG: 123 h 45 min 59 s to go", SentenceKind::ZTG, ReferenceClock(), 0,
         [](SimulationState& s) { s.ETEHours = 123.4559f; }, "$GPZTG,123456.00,1234559.00,Att_Dover*1C"},
        {"DPT before the first sounding", SentenceKind::DPT, ReferenceClock(), 0,
         [](SimulationState& s) { s.DepthSounded = false, s.Depth = 0; }, "$SDDPT,,0.30*4A"},
        {"DBT before the first sounding", SentenceKind::DBT, ReferenceClock(), 0,
         [](SimulationState& s) { s.DepthSounded = false, s.Depth = 0; }, "$SDDBT,,f,,M,,F*28"},
        {"DBK before the first sounding", SentenceKind::DBK, ReferenceClock(), 0,
         [](SimulationState& s) { s.DepthSounded = false, s.Depth = 0; }, "$SDDBK,,f,,M,,F*37"},
        {"RMB with a 13-letter name", SentenceKind::RMB, ReferenceClock(), 0,
         [](SimulationState& s) { s.Waypoint.nom = "Port_Haliguen"; },
         "$GPRMB,A,0.00,L,,Port_Haliguen,5107.50000,N,00122.50000,E,40.10,25.50,5.75,,A*6C"},
        {"APB with a 13-letter name", SentenceKind::APB, ReferenceClock(), 0,
         [](SimulationState& s) { s.Waypoint.nom = "Port_Haliguen"; },
         "$GPAPB,A,A,0.00,L,N,V,V,24.00,T,Port_Haliguen,25.50,T,27.00,M*69"},
        {"BWR with a 13-letter name", SentenceKind::BWR, ReferenceClock(), 0,
         [](SimulationState& s) { s.Waypoint.nom = "Port_Haliguen"; },
         "$GPBWR,123456.00,5107.50000,N,00122.50000,E,25.50,T,27.00,M,40.3,N,Port_Halig*24"},
        {"BWC with a 13-letter name", SentenceKind::BWC, ReferenceClock(), 0,
         [](SimulationState& s) { s.Waypoint.nom = "Port_Haliguen"; },
         "$GPBWC,123456.00,5107.50000,N,00122.50000,E,25.50,T,27.00,M,40.1,N,Port_Hal,A*54"},
        {"BWC near the waypoint keeps its decimals", SentenceKind::BWC, ReferenceClock(), 0,
         [](SimulationState& s) { s.Waypoint.nom = "WP1", s.DTW = 0.523456f; },
         "$GPBWC,123456.00,5107.50000,N,00122.50000,E,25.50,T,27.00,M,0.523456,N,WP1,A*47"},
        {"WPL with an accented name", SentenceKind::WPL, ReferenceClock(), 0,
         [](SimulationState& s) { s.Waypoint.nom = "\xC3\x8Ele_d'Yeu_\xC3\xA9t\xC3\xA9"; },
         "$GPWPL,5107.50000,N,00122.50000,E,Ile_d'Yeu_ete*77"},
    };
    for (const auto& c : cases) {
        SimulationState s = ReferenceState();
        c.change(s);
        NmeaContext context = ReferenceContext();
        context.UtcOffsetHours = c.utcOffset;
        const std::vector<std::string> lines = BuildOnly(c.kind, s, context, c.local);
        ASSERT_EQ(lines.size(), 1u) << c.label;
        EXPECT_EQ(lines[0], c.expected) << c.label;
        EXPECT_LE(lines[0].size() + 2, 82u) << c.label;  // with CR LF
    }
}

TEST(Builders, DirectionsAreBroughtIntoTheCircle) {
    SimulationState s = ReferenceState();
    s.HDG = 0.5f;  // with 1.5 E of variation the magnetic heading is 359, never -1
    s.MagVar = 1.5f;
    s.MagVarSide = 'E';
    EXPECT_EQ(BuildOne(SentenceKind::HDM, s), "$HCHDM,359.00,M,*3A");
    EXPECT_EQ(BuildOne(SentenceKind::HDG, s), "$HCHDG,359.00,,,1.5,E,*3E");
    EXPECT_EQ(BuildOne(SentenceKind::VHW, s), "$DMVHW,0.50,T,359.00,M,6.78,N,12.56,K*6F");

    s.HDG = -10;  // the tick lets the heading stray below 0 while the leeway carries the course past north
    EXPECT_EQ(BuildOne(SentenceKind::HDT, s), "$HCHDT,350.00,T,*33");

    s.AWA360 = 360;  // port tack with the wind dead ahead
    EXPECT_EQ(BuildOne(SentenceKind::MWV, s), "$WIMWV,0.00,R,12.30,N,A*13");

    s.COG = 359.999f;
    EXPECT_EQ(BuildOne(SentenceKind::VTG, s), "$GPVTG,0.00,T,358.50,M,6.20,N,11.48,K,A*10");
}

TEST(Builders, VariationAndDepthEdges) {
    SimulationState s = ReferenceState();
    s.MagVar = 0;
    s.MagVarSide = 'E';
    EXPECT_EQ(BuildOne(SentenceKind::HDG, s), "$HCHDG,318.00,,,0,E,*21");
    EXPECT_EQ(FieldsOf(BuildOne(SentenceKind::RMC, s))[10], "0.00");

    s.MagVar = 1.3f;  // a 32-bit variation is written in full in the general format
    EXPECT_EQ(FieldsOf(BuildOne(SentenceKind::HDG, s))[4], "1.29999995231628");

    s.Depth = 0.2f;  // above the sounder: negative depths keep their sign
    EXPECT_EQ(FieldsOf(BuildOne(SentenceKind::DPT, s))[1], "-0.10");
    EXPECT_EQ(FieldsOf(BuildOne(SentenceKind::DBT, s))[3], "-0.10");
}

TEST(Builders, ZoneOfTheUtcOffset) {
    struct Case {
        corvel::nav::Real offset;
        const char* zoneHours;
        const char* zoneMinutes;
    };
    const Case cases[] = {{0, "0", "0"}, {-2, "-2", "0"}, {5.5L, "5", "30"}, {-5.5L, "-5", "-30"}, {1.25L, "1", "15"}};
    for (const Case& c : cases) {
        NmeaContext context = ReferenceContext();
        context.UtcOffsetHours = c.offset;
        const auto fields = FieldsOf(BuildOne(SentenceKind::ZDA, ReferenceState(), context));
        ASSERT_EQ(fields.size(), 7u);
        EXPECT_EQ(fields[5], c.zoneHours) << static_cast<double>(c.offset);
        EXPECT_EQ(fields[6], c.zoneMinutes) << static_cast<double>(c.offset);
    }
}

// Nothing non-finite reaches a sentence: the field is left empty and the frame stays whole.
TEST(Builders, NonFiniteValuesGiveEmptyFields) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    SimulationState s = ReferenceState();
    s.HDG = nan;
    s.DTW = inf;
    s.BTW = nan;
    s.WCV = nan;
    EXPECT_EQ(BuildOne(SentenceKind::HDT, s), "$HCHDT,,T,*2B");
    EXPECT_EQ(BuildOne(SentenceKind::RMB, s), "$GPRMB,A,0.00,L,,Att_Dover,5107.50000,N,00122.50000,E,,,,,A*75");
    EXPECT_EQ(BuildOne(SentenceKind::APB, s), "$GPAPB,A,A,0.00,L,N,V,V,24.00,T,Att_Dover,,T,,M*69");

    s = ReferenceState();
    s.OriginBearing = 65535;  // not taken yet: no bearing rather than 65535 folded into the circle
    EXPECT_EQ(FieldsOf(BuildOne(SentenceKind::APB, s))[8], "");
}

// A position that cannot be written never goes out under a valid status: without the boat's
// position (or with the receiver's fix lost, NoFix) the position group writes what a receiver
// without a fix writes and the waypoint kinds nothing measured from the boat, and without the
// boat's or the waypoint's position the waypoint kinds that carry a status say so.
TEST(Builders, APositionThatCannotBeWrittenIsNeverValid) {
    using Fields = std::vector<std::string>;
    const Fields noFixGsa = {"GPGSA", "A", "1", "", "", "", "", "", "", "", "", "", "", "", "", "", "", ""};
    const struct {
        const char* name;
        void (*spoil)(SimulationState&);
        bool boatWritable;
        bool noFix = false;
    } cases[] = {
        {"receiver without a fix", [](SimulationState&) {}, false, true},
        {"boat latitude not a number", [](SimulationState& s) { s.Position.lat = std::nanf(""); }, false},
        {"boat beyond the pole", [](SimulationState& s) { s.Position.lat = 90.01f; }, false},
        {"boat longitude infinite",
         [](SimulationState& s) { s.Position.long_ = std::numeric_limits<float>::infinity(); }, false},
        {"waypoint latitude beyond 90", [](SimulationState& s) { s.Waypoint.lat = -95; }, true},
        {"waypoint longitude not a number", [](SimulationState& s) { s.Waypoint.long_ = std::nanf(""); }, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimulationState s = ReferenceState();
        c.spoil(s);
        NmeaContext context = ReferenceContext();
        context.NoFix = c.noFix;
        const auto fields = [&](SentenceKind kind) {
            const std::string sentence = BuildOne(kind, s, context);
            EXPECT_EQ(FrameProblem(sentence), "") << sentence;
            return FieldsOf(sentence);
        };
        if (c.boatWritable) {
            EXPECT_EQ(fields(SentenceKind::GGA)[6], "1");
            EXPECT_EQ(fields(SentenceKind::GLL)[6], "A");
            EXPECT_EQ(fields(SentenceKind::RMC)[2], "A");
        } else {
            EXPECT_EQ(fields(SentenceKind::GGA),
                      (Fields{"GPGGA", "123456.00", "", "", "", "", "0", "00", "", "", "", "", "", "", ""}));
            EXPECT_EQ(fields(SentenceKind::GLL), (Fields{"GPGLL", "", "", "", "", "123456.00", "V", "N"}));
            EXPECT_EQ(fields(SentenceKind::RMC),
                      (Fields{"GPRMC", "123456.00", "V", "", "", "", "", "", "", "091226", "", "", "N"}));
            EXPECT_EQ(fields(SentenceKind::GSA), noFixGsa);
            EXPECT_EQ(fields(SentenceKind::VTG), (Fields{"GPVTG", "", "", "", "", "", "", "", "", "N"}));
        }
        const Fields rmb = fields(SentenceKind::RMB);
        EXPECT_EQ(rmb[1], "V");
        EXPECT_EQ(rmb.back(), "N");
        const Fields apb = fields(SentenceKind::APB);
        EXPECT_EQ(apb[1], "V");
        EXPECT_EQ(apb[2], "V");
        EXPECT_EQ(fields(SentenceKind::BWC).back(), "N");
        // Range, bearings, closing speed and time to go are measured from the boat: empty without
        // it, while the waypoint's own position and name stay.
        const std::string blank = c.boatWritable ? "not empty" : "";
        const auto measured = [&](const Fields& f, std::initializer_list<std::size_t> at) {
            for (std::size_t i : at) EXPECT_EQ(f[i].empty() ? "" : "not empty", blank) << f[0] << " field " << i;
        };
        if (c.noFix) {
            EXPECT_EQ(rmb[5], "Att_Dover");
            EXPECT_EQ(rmb[6], "5107.50000");
        }
        measured(rmb, {10, 11, 12});
        measured(apb, {8, 11, 13});
        measured(fields(SentenceKind::BWC), {6, 8, 10});
        measured(fields(SentenceKind::BWR), {6, 8, 10});
        measured(fields(SentenceKind::ZTG), {2});
        measured(fields(SentenceKind::WCV), {1});
    }
}

// Values no run of the simulation reaches never give a field in exponent notation, nor make a
// kind vanish: each field that would need the exponent is empty.
TEST(Builders, AbsurdValuesGiveNoExponentAndEveryKindGoesOut) {
    SimulationState s = ReferenceState();
    s.SOG = 1e18f;
    s.AWS = 1e30f;
    s.AWA = -3e20f;
    s.TrueWind.mdl = 1e20f;
    s.WaterTrack.mdl = std::numeric_limits<float>::max();
    s.Depth = 1e9f;
    s.SurfaceOffset = -2e9f;
    s.DTW = 1e20f;
    s.RhumbDistance = 6.5e14f;
    s.WCV = -7e17f;
    s.ETEHours = 1e12f;
    s.WaterTemperature = 1e10f;
    s.MagVar = 1e-6f;  // the general format writes 1E-6
    NmeaContext context = ReferenceContext();
    context.UtcOffsetHours = 9000;
    RecordingOutput sink;
    for (int group = 1; group <= 3; ++group) BuildGroup(group, s, context, ReferenceClock(), sink);
    bool seen[kSentenceKindCount] = {};
    const std::regex exponent("[0-9]E[-+]?[0-9]");
    for (const std::string& sentence : sink.lines) {
        EXPECT_EQ(FrameProblem(sentence), "") << sentence;
        EXPECT_FALSE(std::regex_search(sentence.substr(0, sentence.find('*')), exponent)) << sentence;
        for (const SentenceInfo& info : kSentenceCatalogue) {
            if (TypeOf(sentence) == info.type) seen[IndexOf(info.kind)] = true;
        }
    }
    for (std::size_t i = 0; i < kSentenceKindCount; ++i) EXPECT_TRUE(seen[i]) << kSentenceCatalogue[i].type;
    EXPECT_EQ(FieldsOf(BuildOne(SentenceKind::HDG, s))[4], "0");
    EXPECT_EQ(FieldsOf(BuildOne(SentenceKind::ZDA, s, context))[5], "");
}

TEST(Groups, EmissionOrderWithEverythingSelected) {
    NmeaContext context = ReferenceContext();
    const SimulationState s = ReferenceState();
    auto types = [](const RecordingOutput& sink) {
        std::vector<std::string> t;
        for (const auto& line : sink.lines) t.push_back(TypeOf(line));
        return t;
    };
    RecordingOutput g1, g2, g2again, g3;
    EXPECT_EQ(BuildDepthHeadingWind(s, context, ReferenceClock(), g1), 9);
    EXPECT_EQ(BuildPositionTime(s, context, ReferenceClock(), g2), 10);  // with the GGA of the first run
    EXPECT_EQ(BuildPositionTime(s, context, ReferenceClock(), g2again), 9);
    EXPECT_EQ(BuildSpeedWaypoint(s, context, ReferenceClock(), g3), 11);
    EXPECT_EQ(types(g1), (std::vector<std::string>{"DPT", "DBS", "DBT", "DBK", "HDG", "HDM", "HDT", "MWV", "MWD"}));
    EXPECT_EQ(types(g2),
              (std::vector<std::string>{"GSV", "GSV", "GSV", "GSV", "GGA", "GLL", "RMC", "GSA", "VTG", "ZDA"}));
    EXPECT_EQ(types(g2again),
              (std::vector<std::string>{"GSV", "GSV", "GSV", "GSV", "GLL", "RMC", "GSA", "VTG", "ZDA"}));
    EXPECT_EQ(types(g3),
              (std::vector<std::string>{"VHW", "RMB", "APB", "MTW", "BWR", "ZTG", "WCV", "WNC", "WPL", "VWR", "BWC"}));
    for (const RecordingOutput* sink : {&g1, &g2, &g3}) {
        for (const auto& line : sink->lines) EXPECT_EQ(FrameProblem(line), "") << line;
    }
}

TEST(Groups, GgaInEveryFourthRunInWhichItIsSelected) {
    NmeaContext context = ReferenceContext();
    std::vector<int> withGga;
    for (int run = 0; run < 9; ++run) {
        RecordingOutput sink;
        BuildPositionTime(ReferenceState(), context, ReferenceClock(), sink);
        for (const auto& line : sink.lines) {
            if (TypeOf(line) == "GGA") withGga.push_back(run);
        }
    }
    EXPECT_EQ(withGga, (std::vector<int>{0, 4, 8}));
    EXPECT_EQ(context.GgaCycleCount, 9);

    context.Select(SentenceKind::GGA, false);  // runs without GGA leave the counter alone
    RecordingOutput sink;
    EXPECT_EQ(BuildPositionTime(ReferenceState(), context, ReferenceClock(), sink), 9);
    EXPECT_EQ(context.GgaCycleCount, 9);
}

TEST(Groups, NothingSelectedNothingSent) {
    NmeaContext context = ReferenceContext();
    context.switches = AllSwitches(t_switch::OFF);
    RecordingOutput sink;
    for (int group : {1, 2, 3}) EXPECT_EQ(BuildGroup(group, ReferenceState(), context, ReferenceClock(), sink), 0);
    EXPECT_TRUE(sink.lines.empty());
    EXPECT_EQ(context.GgaCycleCount, 0);
    EXPECT_EQ(BuildGroup(4, ReferenceState(), context, ReferenceClock(), sink), 0);
}

TEST(Groups, FailingSinkEndsTheRunAtOnce) {
    NmeaContext context = ReferenceContext();
    RecordingOutput sink;
    sink.failAt = 2;  // the second GSV sentence
    EXPECT_EQ(BuildPositionTime(ReferenceState(), context, ReferenceClock(), sink), 2);
    EXPECT_EQ(sink.lines.size(), 2u);
    EXPECT_EQ(context.GgaCycleCount, 0);  // GGA was never reached

    RecordingOutput next;  // the next run goes on normally
    EXPECT_EQ(BuildPositionTime(ReferenceState(), context, ReferenceClock(), next), 10);
}

TEST(Groups, TalkersFollowTheirRole) {
    NmeaContext context = ReferenceContext();
    context.TalkerPosition = "EC";
    context.TalkerSounder = "II";
    context.TalkerSpeed = "II";
    context.TalkerWind = "II";
    RecordingOutput sink;
    for (int group : {1, 2, 3}) BuildGroup(group, ReferenceState(), context, ReferenceClock(), sink);
    for (const auto& line : sink.lines) {
        const std::string type = TypeOf(line);
        const std::string talker = line.substr(1, 2);
        if (type == "HDG" || type == "HDM" || type == "HDT") {
            EXPECT_EQ(talker, "HC") << line;
        } else if (type == "DPT" || type == "DBS" || type == "DBT" || type == "DBK" || type == "MTW" || type == "VHW" ||
                   type == "MWV" || type == "MWD" || type == "VWR") {
            EXPECT_EQ(talker, "II") << line;
        } else {
            EXPECT_EQ(talker, "EC") << line;
        }
        EXPECT_EQ(FrameProblem(line), "") << line;
    }
}

TEST(Groups, NoWaypointNoWaypointSentences) {
    SimulationState s = ReferenceState();
    s.WaypointDefined = false;
    RecordingOutput sink;
    EXPECT_EQ(BuildSpeedWaypoint(s, ReferenceContext(), ReferenceClock(), sink), 3);
    ASSERT_EQ(sink.lines.size(), 3u);
    EXPECT_EQ(TypeOf(sink.lines[0]), "VHW");
    EXPECT_EQ(TypeOf(sink.lines[1]), "MTW");
    EXPECT_EQ(TypeOf(sink.lines[2]), "VWR");
}

// The side of the apparent wind is the tack side of the state: heading 318 with the true wind
// from 20 is starboard tack; from 200 (and with the heading below 0 or past 360) port tack.
TEST(Builders, VwrSideIsTheTackSide) {
    struct Case {
        float hdg, reciprocal, twd;
        const char* side;
    };
    const Case cases[] = {
        {318, 138, 20, "R"}, {318, 138, 200, "L"}, {40, 220, 100, "R"}, {40, 220, 20, "L"}, {-10, 170, 30, "R"},
    };
    for (const Case& c : cases) {
        SimulationState s = ReferenceState();
        s.HDG = c.hdg;
        s.ReciprocalHDG = c.reciprocal;
        s.TrueWind.argt = c.twd;
        EXPECT_EQ(FieldsOf(BuildOne(SentenceKind::VWR, s))[2], c.side) << c.hdg << " " << c.twd;
    }
}

}  // namespace
