// The sentence builders and the group builders; see NmeaBuilders.h.
#include "nmea/NmeaBuilders.h"

#include <cmath>
#include <initializer_list>
#include <limits>
#include <optional>

#include "sim/Waypoint.h"
#include "sim/WindCurrentLeeway.h"

namespace corvel::nmea {

using nav::Real;
using sim::SimulationState;

std::string_view NmeaContext::TalkerOf(TalkerRole role) const {
    switch (role) {
        case TalkerRole::Position: return TalkerPosition;
        case TalkerRole::Sounder: return TalkerSounder;
        case TalkerRole::Speed: return TalkerSpeed;
        case TalkerRole::Wind: return TalkerWind;
        case TalkerRole::Compass: break;
    }
    return kCompassTalker;
}

namespace {

constexpr Real kFeetPerMetre = 3.28L;
constexpr Real kMetresPerFathom = 1.8288L;
constexpr Real kKmhPerKnot = 1.852L;

// Fixed satellite data, consistent from one sentence to the other: GSV lists fifteen satellites in
// view (number, elevation, azimuth, signal-to-noise ratio; three without a signal: 19, 27, 20);
// GSA uses nine of the twelve with a signal (the three lowest, 10, 12 and 22, are left out), as
// GGA's "09" says, with the dilutions PDOP 1.5, HDOP 0.9 (GGA's) and VDOP 1.2 (PDOP^2 = HDOP^2 +
// VDOP^2).
constexpr std::array<std::string_view, 4> kSatellitesInView = {
    "4,1,15,01,76,298,48,02,71,096,48,03,50,228,50,08,33,168,46",
    "4,2,15,10,09,055,48,14,23,279,50,17,30,309,50,19,03,318,00",
    "4,3,15,22,23,299,49,27,02,152,00,32,34,058,33,,,,",
    "4,4,15,12,08,057,45,13,29,305,52,18,32,279,51,20,01,319,00",
};
constexpr std::string_view kActiveSatellites = "A,3,01,02,03,08,13,14,17,18,32,,,,1.5,0.9,1.2";
// Without a fix: fix type 1 (none), no satellite used, no dilution.
constexpr std::string_view kNoActiveSatellites = "A,1,,,,,,,,,,,,,,,";
constexpr std::string_view kFixQuality = "1";
constexpr std::string_view kSatellitesUsed = "09";
constexpr Real kHorizontalDilution = 0.9L;
constexpr Real kAntennaAltitude = 9.6L;     // metres
constexpr Real kGeoidalSeparation = 47.0L;  // metres

Real KnotsToMetresPerSecond(Real knots) { return knots * 1852 / 3600; }

// `value` as exactly `digits` decimal digits, leading zeros added.
void AppendDigits(std::string& out, int value, std::size_t digits) {
    const std::string text = std::to_string(value);
    if (text.size() < digits) out.append(digits - text.size(), '0');
    out += text;
}

// A position whose latitude and longitude can both be written.
bool Writable(const CoordinateField& lat, const CoordinateField& lon) {
    return !lat.value.empty() && !lon.value.empty();
}

// The fields one group run shares, and the door to the sink.
class Run {
public:
    using Fields = std::initializer_list<std::string_view>;

    Run(const SimulationState& state, const NmeaContext& context, const LocalDateTime& now, SentenceOutput& sink,
        std::int64_t* ggaCycleCount)
        : s(state),
          ctx(context),
          now(now),
          utcNow(UtcInstant(now, context.UtcOffsetHours)),
          utc(utcNow ? UtcTimeField(*utcNow) : std::string()),
          date(utcNow ? DateField(*utcNow) : std::string()),
          ggaCycleCount(ggaCycleCount),
          sink_(sink) {
        for (std::size_t role = 0; role < talkers_.size(); ++role) {
            talkers_[role] = SentenceSafeText(context.TalkerOf(static_cast<TalkerRole>(role))).substr(0, 2);
        }
        body_.reserve(kMaxBodyLength + 4);
    }

    const SimulationState& s;
    const NmeaContext& ctx;
    const LocalDateTime& now;
    const std::optional<LocalDateTime> utcNow;  // the UTC instant; the time and date fields below
    const std::string utc;
    const std::string date;
    std::int64_t* const ggaCycleCount;  // null outside the position group

    // The boat's position (position group); both empty when either cannot be written, and the
    // group then writes what a receiver without a fix writes.
    CoordinateField lat, lon;
    bool fix = true;
    // The destination waypoint (speed-and-waypoint group): computed once, so BWR carries exactly
    // the position and bearings of BWC.
    struct {
        CoordinateField lat, lon;
        std::string bearingTrue, bearingMagnetic;
        std::string name;  // sentence bytes
        // The boat's and the waypoint's positions can both be written; otherwise the kinds that
        // carry a status say the data are not valid.
        bool valid = true;
        // The receiver has a fix (its position can be written, NoFix is not set); otherwise the
        // range, bearings and closing speed measured from the boat are empty.
        bool boatFix = true;
    } wp;

    // `field`, or an empty field while the receiver has no fix to measure it from.
    std::string FromBoat(std::string field) const { return wp.boatFix ? std::move(field) : std::string(); }

    bool Stopped() const { return stopped_; }
    int Emitted() const { return emitted_; }

    void Emit(SentenceKind kind, Fields fields) {
        Head(kind);
        Append(body_, fields);
        body_ += '*';
        Send();
    }

    // `fields` are the sentence's fields, already joined by ",".
    void EmitLiteral(SentenceKind kind, std::string_view fields) {
        Head(kind);
        body_ += ',';
        body_ += fields;
        body_ += '*';
        Send();
    }

    // The waypoint name stands between `before` and `after`, cut just enough for the body to fit.
    void EmitNamed(SentenceKind kind, Fields before, Fields after) {
        Head(kind);
        Append(body_, before);
        body_ += ',';
        ComposeTail(after);
        FinishNamed();
    }

    // BWC and BWR: `before`, the distance `nm` in nautical miles and its unit "N", the waypoint name,
    // then `after`. The distance has six decimals when the whole name fits beside them; otherwise
    // it loses decimals, down to one (0.1 nautical mile, as plotters show it), until it does; the name is then cut as
    // in EmitNamed. Empty while the receiver has no fix.
    void EmitDistanceAndName(SentenceKind kind, Fields before, Real nm, Fields after) {
        Head(kind);
        Append(body_, before);
        ComposeTail(after);
        const std::size_t others = body_.size() + std::string_view(",,N,").size() + tail_.size() - 1;
        std::string distance;
        for (int digits = 6; wp.boatFix && digits >= 1; --digits) {
            distance = NumberField(nm, 10, digits);
            if (others + distance.size() + wp.name.size() <= kMaxBodyLength) break;
        }
        body_ += ',';
        body_ += distance;
        body_ += ",N,";
        FinishNamed();
    }

private:
    // Starts the sentence in the buffer that every sentence of the run reuses.
    void Head(SentenceKind kind) {
        const SentenceInfo& info = InfoOf(kind);
        kind_ = kind;
        body_.clear();
        body_ += '$';
        body_ += talkers_[static_cast<std::size_t>(info.talker)];
        body_ += info.type;
    }

    void ComposeTail(Fields after) {
        tail_.clear();
        Append(tail_, after);
        tail_ += '*';
    }

    // The name, as much of it as the body has room for, then the tail (ComposeTail): the body
    // ends in ",".
    void FinishNamed() {
        const std::size_t others = body_.size() + tail_.size() - 1;  // the "*" is not part of the body
        const std::size_t room = others < kMaxBodyLength ? kMaxBodyLength - others : 0;
        body_.append(wp.name, 0, room);
        body_ += tail_;
        Send();
    }

    static void Append(std::string& body, Fields fields) {
        for (std::string_view field : fields) {
            body += ',';
            body += field;
        }
    }

    void Send() {
        if (stopped_ || body_.size() - 1 > kMaxBodyLength) return;
        ++emitted_;
        AppendChecksum(body_);
        if (!sink_.Send(kind_, body_)) stopped_ = true;
    }

    SentenceOutput& sink_;
    std::array<std::string, 5> talkers_;  // by TalkerRole
    std::string body_;                    // the sentence being built, reused by every sentence of the run
    std::string tail_;
    SentenceKind kind_{};  // the kind of the sentence in the buffer
    int emitted_ = 0;
    bool stopped_ = false;
};

Real Magnetic(Real trueDirection, const SimulationState& s) { return trueDirection - s.MagVar; }
// Depths are unknown (NaN, written as empty fields) until the sounder has taken its first sounding.
Real Depth(const SimulationState& s) { return s.DepthSounded ? Real{s.Depth} : std::numeric_limits<Real>::quiet_NaN(); }
Real DepthBelowSounder(const SimulationState& s) { return Depth(s) - s.SurfaceOffset; }
Real DepthBelowKeel(const SimulationState& s) { return DepthBelowSounder(s) - s.KeelOffset; }

std::string_view VariationSide(const SimulationState& s) {
    if (s.MagVarSide == 'E') return "E";
    if (s.MagVarSide == 'W') return "W";
    return {};
}

// Depth in feet, metres and fathoms.
// $--DBx,x.x,f,x.x,M,x.x,F*hh
void EmitDepth(Run& r, SentenceKind kind, Real metres) {
    r.Emit(kind, {NumberField(metres * kFeetPerMetre, 5, 1), "f", NumberField(metres, 5, 2), "M",
                  NumberField(metres / kMetresPerFathom, 5, 2), "F"});
}

// ---- Group 1: depth, heading and wind.

// $--DPT,x.x,x.x*hh
void BuildDPT(Run& r) {
    r.Emit(SentenceKind::DPT, {NumberField(DepthBelowSounder(r.s), 5, 2), NumberField(r.s.SurfaceOffset, 4, 2)});
}

// $--DBS,x.x,f,x.x,M,x.x,F*hh
void BuildDBS(Run& r) { EmitDepth(r, SentenceKind::DBS, Depth(r.s)); }

// $--DBT,x.x,f,x.x,M,x.x,F*hh
void BuildDBT(Run& r) { EmitDepth(r, SentenceKind::DBT, DepthBelowSounder(r.s)); }

// $--DBK,x.x,f,x.x,M,x.x,F*hh
void BuildDBK(Run& r) { EmitDepth(r, SentenceKind::DBK, DepthBelowKeel(r.s)); }

// $HCHDG,x.x,,,x.x,a,*hh
void BuildHDG(Run& r) {
    r.Emit(SentenceKind::HDG, {DirectionField(Magnetic(r.s.HDG, r.s)), "", "", GeneralField(std::fabs(r.s.MagVar)),
                               VariationSide(r.s), ""});
}

// $HCHDM,x.x,M,*hh
void BuildHDM(Run& r) { r.Emit(SentenceKind::HDM, {DirectionField(Magnetic(r.s.HDG, r.s)), "M", ""}); }

// $HCHDT,x.x,T,*hh
void BuildHDT(Run& r) { r.Emit(SentenceKind::HDT, {DirectionField(r.s.HDG), "T", ""}); }

// $--MWV,x.x,R,x.x,N,A*hh
void BuildMWV(Run& r) {
    r.Emit(SentenceKind::MWV, {DirectionField(r.s.AWA360), "R", NumberField(r.s.AWS, 4, 2), "N", "A"});
}

// $--MWD,x.x,T,x.x,M,x.x,N,x.x,M*hh
void BuildMWD(Run& r) {
    const Real tws = r.s.TrueWind.mdl;
    r.Emit(SentenceKind::MWD, {DirectionField(r.s.TrueWind.argt), "T", DirectionField(Magnetic(r.s.TrueWind.argt, r.s)),
                               "M", NumberField(tws, 4, 2), "N", NumberField(KnotsToMetresPerSecond(tws), 4, 2), "M"});
}

// ---- Group 2: satellite position and time.

// $--GSV,4,n,11,... four fixed sentences
void BuildGSV(Run& r) {
    for (std::string_view fields : kSatellitesInView) r.EmitLiteral(SentenceKind::GSV, fields);
}

// $--GGA,hhmmss.ss,llll.lllll,a,yyyyy.yyyyy,a,1,09,x.x,x.x,M,x.x,M,,*hh
// $--GGA,hhmmss.ss,,,,,0,00,,,,,,,*hh without a fix
void BuildGGA(Run& r) {
    if (!r.fix) {
        r.Emit(SentenceKind::GGA, {r.utc, "", "", "", "", "0", "00", "", "", "", "", "", "", ""});
        return;
    }
    r.Emit(SentenceKind::GGA,
           {r.utc, r.lat.value, r.lat.hemisphere, r.lon.value, r.lon.hemisphere, kFixQuality, kSatellitesUsed,
            NumberField(kHorizontalDilution, 3, 1), NumberField(kAntennaAltitude, 6, 1), "M",
            NumberField(kGeoidalSeparation, 4, 1), "M", "", ""});
}

// $--GLL,llll.lllll,a,yyyyy.yyyyy,a,hhmmss.ss,A,A*hh (without a fix: no position, V, N)
void BuildGLL(Run& r) {
    r.Emit(SentenceKind::GLL,
           {r.lat.value, r.lat.hemisphere, r.lon.value, r.lon.hemisphere, r.utc, r.fix ? "A" : "V", r.fix ? "A" : "N"});
}

// $--RMC,hhmmss.ss,A,llll.lllll,a,yyyyy.yyyyy,a,x.x,x.x,ddmmyy,x.x,a,A*hh
// $--RMC,hhmmss.ss,V,,,,,,,ddmmyy,,,N*hh without a fix
void BuildRMC(Run& r) {
    if (!r.fix) {
        r.Emit(SentenceKind::RMC, {r.utc, "V", "", "", "", "", "", "", r.date, "", "", "N"});
        return;
    }
    r.Emit(SentenceKind::RMC,
           {r.utc, "A", r.lat.value, r.lat.hemisphere, r.lon.value, r.lon.hemisphere, NumberField(r.s.SOG, 4, 2),
            DirectionField(r.s.COG), r.date, NumberField(std::fabs(r.s.MagVar), 5, 2), VariationSide(r.s), "A"});
}

// $--GSA,A,3,13,15,20,21,28,30,,,,,,,04.0,03.1,02.4*hh ($--GSA,A,1,,,,,,,,,,,,,,,*hh without a fix)
void BuildGSA(Run& r) { r.EmitLiteral(SentenceKind::GSA, r.fix ? kActiveSatellites : kNoActiveSatellites); }

// $--VTG,x.x,T,x.x,M,x.x,N,x.x,K,A*hh ($--VTG,,,,,,,,,N*hh without a fix)
void BuildVTG(Run& r) {
    if (!r.fix) {
        r.Emit(SentenceKind::VTG, {"", "", "", "", "", "", "", "", "N"});
        return;
    }
    const Real sog = r.s.SOG;
    r.Emit(SentenceKind::VTG, {DirectionField(r.s.COG), "T", DirectionField(Magnetic(r.s.COG, r.s)), "M",
                               NumberField(sog, 4, 2), "N", NumberField(sog * kKmhPerKnot, 4, 2), "K", "A"});
}

// $--ZDA,hhmmss.ss,dd,mm,yyyy,h,m*hh (the UTC date; zone of UtcOffsetHours: whole hours, then minutes)
void BuildZDA(Run& r) {
    const Real offset = r.ctx.UtcOffsetHours;
    std::string day, month, year;
    if (r.utcNow) {
        AppendDigits(day, r.utcNow->day, 2);
        AppendDigits(month, r.utcNow->month, 2);
        AppendDigits(year, r.utcNow->year, 4);
    }
    r.Emit(SentenceKind::ZDA, {r.utc, day, month, year, NumberField(nav::Int(offset), 2, 0),
                               NumberField(nav::Frac(nav::DegreesToDMS(offset)) * 100, 2, 0)});
}

// ---- Group 3: speed and waypoint.

// $--VHW,x.x,T,x.x,M,x.x,N,x.x,K*hh
void BuildVHW(Run& r) {
    const Real bsp = r.s.WaterTrack.mdl;
    r.Emit(SentenceKind::VHW, {DirectionField(r.s.HDG), "T", DirectionField(Magnetic(r.s.HDG, r.s)), "M",
                               NumberField(bsp, 4, 2), "N", NumberField(bsp * kKmhPerKnot, 4, 2), "K"});
}

// $--RMB,A,0.00,L,,c--c,llll.lllll,a,yyyyy.yyyyy,a,x.x,x.x,x.x,,A*hh (cross-track error 0, steer L;
// no origin waypoint, the waypoint's name as the destination; its position, distance, true
// bearing and closing speed; no arrival status; status V and mode N when a position cannot be
// written)
void BuildRMB(Run& r) {
    r.EmitNamed(SentenceKind::RMB, {r.wp.valid ? "A" : "V", NumberField(0, 5, 2), "L", ""},
                {r.wp.lat.value, r.wp.lat.hemisphere, r.wp.lon.value, r.wp.lon.hemisphere,
                 r.FromBoat(NumberField(r.s.DTW, 5, 2)), r.wp.bearingTrue, r.FromBoat(NumberField(r.s.WCV, 4, 2)), "",
                 r.wp.valid ? "A" : "N"});
}

// $--APB,A,A,0.00,L,N,V,V,x.x,T,c--c,x.x,T,x.x,M*hh (cross-track error 0 nautical miles, steer L;
// arrival circle and perpendicular not reached; true bearing from the origin, empty while it is to
// be taken; the waypoint's name, its true bearing and the magnetic heading to steer; both statuses
// V when a position cannot be written)
void BuildAPB(Run& r) {
    const bool originKnown = r.s.OriginBearing != sim::kOriginBearingToTake;
    const std::string_view status = r.wp.valid ? "A" : "V";
    r.EmitNamed(SentenceKind::APB,
                {status, status, NumberField(0, 4, 2), "L", "N", "V", "V",
                 r.FromBoat(originKnown ? DirectionField(r.s.OriginBearing) : std::string()), "T"},
                {r.wp.bearingTrue, "T", r.FromBoat(DirectionField(sim::HdGMagToDest(r.s))), "M"});
}

// $--MTW,x.x,C*hh
void BuildMTW(Run& r) { r.Emit(SentenceKind::MTW, {NumberField(r.s.WaterTemperature, 4, 2), "C"}); }

// $--BWR,hhmmss.ss,llll.lllll,a,yyyyy.yyyyy,a,x.x,T,x.x,M,x.x,N,c--c*hh (the rhumb-line distance)
void BuildBWR(Run& r) {
    r.EmitDistanceAndName(SentenceKind::BWR,
                          {r.utc, r.wp.lat.value, r.wp.lat.hemisphere, r.wp.lon.value, r.wp.lon.hemisphere,
                           r.wp.bearingTrue, "T", r.wp.bearingMagnetic, "M"},
                          r.s.RhumbDistance, {});
}

// $--ZTG,hhmmss.ss,hhmmss.ss,c--c*hh (time to go: ETEHours, held as H.MMSS)
void BuildZTG(Run& r) {
    r.EmitNamed(SentenceKind::ZTG, {r.utc, r.FromBoat(DurationField(nav::DMSToDegrees(r.s.ETEHours)))}, {});
}

// $--WCV,x.x,N,c--c*hh
void BuildWCV(Run& r) { r.EmitNamed(SentenceKind::WCV, {r.FromBoat(NumberField(r.s.WCV, 4, 2)), "N"}, {}); }

// $--WNC,,N,,K,c--c,*hh
void BuildWNC(Run& r) { r.EmitNamed(SentenceKind::WNC, {"", "N", "", "K"}, {""}); }

// $--WPL,llll.lllll,a,yyyyy.yyyyy,a,c--c*hh
void BuildWPL(Run& r) {
    r.EmitNamed(SentenceKind::WPL, {r.wp.lat.value, r.wp.lat.hemisphere, r.wp.lon.value, r.wp.lon.hemisphere}, {});
}

// $--VWR,x.x,a,x.x,N,x.x,M,x.x,K*hh
void BuildVWR(Run& r) {
    const Real aws = r.s.AWS;
    // F_amure's answer, without the TWA it refreshes on the way: the state is only read here.
    const bool starboardTack = sim::InStarboardSector(r.s.HDG, r.s.ReciprocalHDG, r.s.TrueWind.argt);
    r.Emit(SentenceKind::VWR,
           {NumberField(r.s.AWA, 5, 2), starboardTack ? "R" : "L", NumberField(aws, 4, 2), "N",
            NumberField(KnotsToMetresPerSecond(aws), 4, 2), "M", NumberField(aws * kKmhPerKnot, 4, 2), "K"});
}

// $--BWC,hhmmss.ss,llll.lllll,a,yyyyy.yyyyy,a,x.x,T,x.x,M,x.x,N,c--c,A*hh (mode N when a position
// cannot be written)
void BuildBWC(Run& r) {
    r.EmitDistanceAndName(SentenceKind::BWC,
                          {r.utc, r.wp.lat.value, r.wp.lat.hemisphere, r.wp.lon.value, r.wp.lon.hemisphere,
                           r.wp.bearingTrue, "T", r.wp.bearingMagnetic, "M"},
                          r.s.DTW, {r.wp.valid ? "A" : "N"});
}

struct KindBuilder {
    SentenceKind kind;
    void (*build)(Run&);
};

constexpr std::array<KindBuilder, kSentenceKindCount> kBuilders{{
    {SentenceKind::APB, BuildAPB}, {SentenceKind::BWC, BuildBWC}, {SentenceKind::BWR, BuildBWR},
    {SentenceKind::DBK, BuildDBK}, {SentenceKind::DBS, BuildDBS}, {SentenceKind::DBT, BuildDBT},
    {SentenceKind::DPT, BuildDPT}, {SentenceKind::GGA, BuildGGA}, {SentenceKind::GLL, BuildGLL},
    {SentenceKind::GSA, BuildGSA}, {SentenceKind::GSV, BuildGSV}, {SentenceKind::HDG, BuildHDG},
    {SentenceKind::HDM, BuildHDM}, {SentenceKind::HDT, BuildHDT}, {SentenceKind::MTW, BuildMTW},
    {SentenceKind::MWD, BuildMWD}, {SentenceKind::MWV, BuildMWV}, {SentenceKind::RMB, BuildRMB},
    {SentenceKind::RMC, BuildRMC}, {SentenceKind::VHW, BuildVHW}, {SentenceKind::VTG, BuildVTG},
    {SentenceKind::VWR, BuildVWR}, {SentenceKind::WCV, BuildWCV}, {SentenceKind::WNC, BuildWNC},
    {SentenceKind::WPL, BuildWPL}, {SentenceKind::ZDA, BuildZDA}, {SentenceKind::ZTG, BuildZTG},
}};

constexpr bool BuildersInCatalogueOrder() {
    for (std::size_t i = 0; i < kBuilders.size(); ++i) {
        if (IndexOf(kBuilders[i].kind) != i) return false;
    }
    return true;
}
static_assert(BuildersInCatalogueOrder(), "one builder per kind, at the kind's index");

constexpr std::array<GroupPlan, 3> kGroupPlans = {PlanOfGroup(1), PlanOfGroup(2), PlanOfGroup(3)};

// Visits the kinds of `group` in order and builds the selected ones.
int BuildKinds(Run& r, int group) {
    const GroupPlan& plan = kGroupPlans[static_cast<std::size_t>(group - 1)];
    for (std::size_t i = 0; i < plan.size && !r.Stopped(); ++i) {
        const SentenceKind kind = plan.kinds[i];
        if (!r.ctx.Selected(kind)) continue;
        if (InfoOf(kind).waypoint && !r.s.WaypointDefined) continue;
        if (kind == SentenceKind::GGA && r.ggaCycleCount != nullptr) {
            const bool due = nav::IsTickMultiple(*r.ggaCycleCount, 4);
            ++*r.ggaCycleCount;
            if (!due) continue;
        }
        kBuilders[IndexOf(kind)].build(r);
    }
    return r.Emitted();
}

}  // namespace

int BuildDepthHeadingWind(const SimulationState& state, const NmeaContext& context, const LocalDateTime& now,
                          SentenceOutput& sink) {
    Run r(state, context, now, sink, nullptr);
    return BuildKinds(r, 1);
}

int BuildPositionTime(const SimulationState& state, NmeaContext& context, const LocalDateTime& now,
                      SentenceOutput& sink) {
    Run r(state, context, now, sink, &context.GgaCycleCount);
    r.lat = FormatLatitude(state.Position.lat);
    r.lon = FormatLongitude(state.Position.long_);
    r.fix = !context.NoFix && Writable(r.lat, r.lon);
    if (!r.fix) r.lat = r.lon = {};
    return BuildKinds(r, 2);
}

int BuildSpeedWaypoint(const SimulationState& state, const NmeaContext& context, const LocalDateTime& now,
                       SentenceOutput& sink) {
    Run r(state, context, now, sink, nullptr);
    r.wp.lat = FormatLatitude(state.Waypoint.lat);
    r.wp.lon = FormatLongitude(state.Waypoint.long_);
    r.wp.boatFix = !context.NoFix && PositionWritable(state.Position.lat, state.Position.long_);
    r.wp.valid = Writable(r.wp.lat, r.wp.lon) && r.wp.boatFix;
    r.wp.bearingTrue = r.FromBoat(DirectionField(state.BTW));
    r.wp.bearingMagnetic = r.FromBoat(DirectionField(Magnetic(state.BTW, state)));
    r.wp.name = SentenceSafeText(state.Waypoint.nom);
    return BuildKinds(r, 3);
}

int BuildGroup(int group, const SimulationState& state, NmeaContext& context, const LocalDateTime& now,
               SentenceOutput& sink) {
    switch (group) {
        case 1: return BuildDepthHeadingWind(state, context, now, sink);
        case 2: return BuildPositionTime(state, context, now, sink);
        case 3: return BuildSpeedWaypoint(state, context, now, sink);
        default: return 0;
    }
}

}  // namespace corvel::nmea
