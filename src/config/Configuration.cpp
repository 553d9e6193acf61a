// The configuration record and its file; see Configuration.h.
#include "config/Configuration.h"

#include <cctype>
#include <cmath>

#include "nav/Utf8Text.h"
#include "nav/ValidFloat.h"

namespace corvel::config {

namespace {

// A value that is present and not empty.
std::optional<std::string> NonEmpty(const IniFile& file, std::string_view section, std::string_view key) {
    auto v = file.Value(section, key);
    if (!v || v->empty()) return std::nullopt;
    return v;
}

// Absent, or not an integer: nothing (the current value stays).
std::optional<bool> OptionalBool(const IniFile& file, std::string_view section, std::string_view key) {
    const std::optional<long> n = file.IntegerValue(section, key);
    if (!n) return std::nullopt;
    return *n != 0;
}

// A talker: two letters or digits (the frame allows nothing else).
std::optional<std::string> Talker(const IniFile& file, std::string_view key) {
    const auto v = NonEmpty(file, kSectionNmea, key);
    if (!v || v->size() < 2) return std::nullopt;
    for (int i = 0; i < 2; ++i) {
        if (!std::isalnum(static_cast<unsigned char>((*v)[static_cast<std::size_t>(i)]))) return std::nullopt;
    }
    return v->substr(0, 2);
}

struct TalkerKey {
    std::string_view key;
    std::optional<std::string> Configuration::*talker;
};
constexpr std::array<TalkerKey, 4> kTalkerKeys{{
    {"iDevPOS", &Configuration::TalkerPosition},
    {"iSound", &Configuration::TalkerSounder},
    {"iSpeedo", &Configuration::TalkerSpeed},
    {"iWind", &Configuration::TalkerWind},
}};

// The range of every number the simulation sails with, bounds inclusive, in the unit of its
// quantity (`inUnit` brings the file's number there); a value outside is refused and the value in
// force stays. Headings and directions reach a little below 0 or above 360 where the leeway
// carries them, and the program saves them so. Latitudes stop at 89 degrees: from there a boat
// sailing north for an hour at 10 knots still stays clear of the pole, where the rhumb-line step
// has no meaning. The simulation holds longitudes in 0..360, the files the program writes in
// -180..180.
struct FileKeyRange {
    std::string_view key;
    Quantity quantity;
    Real low;
    Real high;
    Real (*inUnit)(Real fileValue);
};

Real AsWritten(Real v) { return v; }
// Degrees x 100 + minutes -> degrees.
Real PackedDegrees(Real packed) { return nav::DMToDegrees(packed / 100); }

constexpr std::array<FileKeyRange, 13> kKeyRanges{{
    {"iOFFS_Keel", Quantity::KeelOffset, -100, 100, AsWritten},
    {"iOFFS_Surf", Quantity::SurfaceOffset, -100, 100, AsWritten},
    {"iTWS", Quantity::WindSpeed, 0, 200, AsWritten},
    {"iTWD", Quantity::WindDirection, -360, 720, AsWritten},
    {"iHDG", Quantity::Heading, -360, 720, AsWritten},
    {"iCUR", Quantity::CurrentSpeed, 0, 50, AsWritten},
    {"iCURDir", Quantity::CurrentDirection, -360, 720, AsWritten},
    {"iPOSLat", Quantity::Latitude, -89, 89, PackedDegrees},
    {"iPOSLong", Quantity::Longitude, -360, 360, PackedDegrees},
    {"iWpLat", Quantity::Latitude, -89, 89, PackedDegrees},
    {"iWpLong", Quantity::Longitude, -360, 360, PackedDegrees},
    {"iDeclMag", Quantity::MagneticVariation, -180, 180, AsWritten},
    {"idTU", Quantity::UtcOffset, -14, 14, nav::DMSToDegrees},
}};

constexpr const FileKeyRange* RangeOf(std::string_view key) {
    for (const FileKeyRange& r : kKeyRanges) {
        if (r.key == key) return &r;
    }
    return nullptr;
}

// The number of a ranged key as the file writes it: missing or empty, 0; outside its range,
// nothing, and the key joins c.Refused.
RangedNumber ReadRanged(const IniFile& file, std::string_view section, std::string_view key, Configuration& c) {
    const FileKeyRange& range = *RangeOf(key);
    const Real value = file.ReadFloat(section, key, 0);
    const Real inUnit = range.inUnit(value);
    if (range.low <= inUnit && inUnit <= range.high) return value;
    const std::string text = file.Value(section, key).value_or("");
    c.Refused.push_back(
        {range.key, std::string(nav::FirstBytes(text, nav::kNumberTextLength)), range.quantity, range.low, range.high});
    return std::nullopt;
}

struct NumberKey {
    std::string_view key;
    RangedNumber Configuration::*value;
};
// The numbers of section "NavDATA" before the waypoint's name, and after it (missing: 0).
constexpr std::array<NumberKey, 7> kNavNumbers{{
    {"iTWS", &Configuration::TWS},
    {"iTWD", &Configuration::TWD},
    {"iHDG", &Configuration::HDG},
    {"iCUR", &Configuration::CurrentSpeed},
    {"iCURDir", &Configuration::CurrentDirection},
    {"iPOSLat", &Configuration::StartLatitude},
    {"iPOSLong", &Configuration::StartLongitude},
}};
constexpr std::array<NumberKey, 3> kWaypointNumbers{{
    {"iWpLat", &Configuration::WaypointLatitude},
    {"iWpLong", &Configuration::WaypointLongitude},
    {"iDeclMag", &Configuration::MagVar},
}};

template <std::size_t N>
constexpr bool AllRanged(const std::array<NumberKey, N>& keys) {
    for (const NumberKey& k : keys) {
        if (RangeOf(k.key) == nullptr) return false;
    }
    return true;
}
static_assert(AllRanged(kNavNumbers) && AllRanged(kWaypointNumbers) && RangeOf("iOFFS_Keel") && RangeOf("iOFFS_Surf") &&
                  RangeOf("idTU"),
              "every number key has its range");

struct OptionKey {
    std::string_view key;
    std::optional<bool> Configuration::*value;
};
constexpr std::array<OptionKey, 3> kOptionKeys{{
    {"iHDGvar", &Configuration::HDGVariable},
    {"iTWSvar", &Configuration::TWSVariable},
    {"iTWDvar", &Configuration::TWDVariable},
}};

}  // namespace

std::optional<KeyRange> RangeOfKey(std::string_view key) {
    const FileKeyRange* r = RangeOf(key);
    if (r == nullptr) return std::nullopt;
    return KeyRange{r->quantity, r->low, r->high};
}

IniFile FirstRunSettings(Real utcOffsetHours, DepthOffsets offsets) {
    const Configuration c = FirstRunConfiguration(utcOffsetHours, offsets);
    IniFile file;
    WriteConfiguration(c, file);
    return file;
}

Configuration FirstRunConfiguration(Real utcOffsetHours, DepthOffsets offsets) {
    Configuration c;
    c.CategoryCode = "CC";
    c.KeelOffset = offsets.keel;
    c.SurfaceOffset = offsets.surface;
    c.TWS = 6;
    c.TWD = 20;
    c.HDG = 318;
    c.CurrentSpeed = 1;
    c.CurrentDirection = 75;
    c.StartLatitude = 5104.14L;
    c.StartLongitude = 123.08L;
    c.WaypointName = "Att_Dover";
    c.WaypointLatitude = 5106.18L;
    c.WaypointLongitude = 119.88L;
    c.MagVar = 1.5L;
    c.UtcOffsetHours = utcOffsetHours;
    c.HDGVariable = false;
    c.TWSVariable = c.TWDVariable = true;
    c.BaudRate = "4800";
    c.Selection.fill(true);
    return c;
}

Configuration ReadConfiguration(const IniFile& file) {
    Configuration c;
    c.PolarFolder = NonEmpty(file, kSectionFolders, "Polars");
    c.PolarFile = NonEmpty(file, kSectionParameters, "PolaireAct");
    c.CategoryCode = NonEmpty(file, kSectionParameters, "iCateg");
    c.KeelOffset = ReadRanged(file, kSectionParameters, "iOFFS_Keel", c);
    c.SurfaceOffset = ReadRanged(file, kSectionParameters, "iOFFS_Surf", c);
    c.PolarPercent = file.ReadFloat(kSectionParameters, "iPolPerc", kDefaultPolarPercent);
    c.Standby = file.ReadString(kSectionParameters, "iModPil", "AUTO") != "AUTO";

    for (const NumberKey& k : kNavNumbers) c.*k.value = ReadRanged(file, kSectionNavData, k.key, c);
    c.WaypointName = file.Value(kSectionNavData, "iWpID");
    for (const NumberKey& k : kWaypointNumbers) c.*k.value = ReadRanged(file, kSectionNavData, k.key, c);
    c.UtcOffsetHours = ReadRanged(file, kSectionNavData, "idTU", c);
    if (c.UtcOffsetHours) c.UtcOffsetHours = nav::DMSToDegrees(*c.UtcOffsetHours);
    for (const OptionKey& k : kOptionKeys) c.*k.value = OptionalBool(file, kSectionNavData, k.key);

    c.BaudRate = file.Value(kSectionCom, "iVit");
    c.WifiAddress = file.ReadString(kSectionWifi, "iAdIP", kDefaultWifiAddress);
    c.WifiPort = file.ReadString(kSectionWifi, "iPort", kDefaultWifiPort);
    c.WifiDatagramLineEnds = file.ReadBool(kSectionWifi, "iUDPCRLF", false);

    bool previous = true;  // what a missing first key reads
    for (const nmea::SentenceInfo& info : nmea::kSentenceCatalogue) {
        if (info.configKey.empty()) continue;
        previous = file.ReadBool(kSectionNmea, info.configKey, previous);
        c.Selection[nmea::IndexOf(info.kind)] = previous;
    }
    for (const TalkerKey& k : kTalkerKeys) c.*k.talker = Talker(file, k.key);
    return c;
}

void WriteConfiguration(const Configuration& c, IniFile& file) {
    file.WriteString(kSectionVersion, "Name", kProgramName);
    file.WriteString(kSectionVersion, "Version", kProgramVersion);

    if (c.PolarFolder) file.WriteString(kSectionFolders, "Polars", *c.PolarFolder);
    if (c.PolarFile) file.WriteString(kSectionParameters, "PolaireAct", *c.PolarFile);
    if (c.CategoryCode) file.WriteString(kSectionParameters, "iCateg", *c.CategoryCode);
    if (c.KeelOffset) file.WriteFloat(kSectionParameters, "iOFFS_Keel", *c.KeelOffset);
    if (c.SurfaceOffset) file.WriteFloat(kSectionParameters, "iOFFS_Surf", *c.SurfaceOffset);
    file.WriteInteger(kSectionParameters, "iPolPerc", static_cast<long>(nav::Round(c.PolarPercent)));
    file.WriteString(kSectionParameters, "iModPil", c.Standby ? "STDBY" : "AUTO");

    for (const NumberKey& k : kNavNumbers) {
        if (c.*k.value) file.WriteFloat(kSectionNavData, k.key, *(c.*k.value));
    }
    if (c.WaypointName) file.WriteString(kSectionNavData, "iWpID", *c.WaypointName);
    for (const NumberKey& k : kWaypointNumbers) {
        if (c.*k.value) file.WriteFloat(kSectionNavData, k.key, *(c.*k.value));
    }
    if (c.UtcOffsetHours) file.WriteFloat(kSectionNavData, "idTU", nav::DegreesToDMS(*c.UtcOffsetHours));
    for (const OptionKey& k : kOptionKeys) {
        if (c.*k.value) file.WriteBool(kSectionNavData, k.key, *(c.*k.value));
    }

    if (c.BaudRate) file.WriteString(kSectionCom, "iVit", *c.BaudRate);
    file.WriteString(kSectionWifi, "iAdIP", c.WifiAddress);
    file.WriteString(kSectionWifi, "iPort", c.WifiPort);
    file.WriteBool(kSectionWifi, "iUDPCRLF", c.WifiDatagramLineEnds);

    for (const nmea::SentenceInfo& info : nmea::kSentenceCatalogue) {
        const auto& selected = c.Selection[nmea::IndexOf(info.kind)];
        if (!info.configKey.empty() && selected) file.WriteBool(kSectionNmea, info.configKey, *selected);
    }
    for (const TalkerKey& k : kTalkerKeys) {
        if (c.*k.talker) file.WriteString(kSectionNmea, k.key, *(c.*k.talker));
    }
    file.WriteString(kSectionNmea, "iInst", "II");
    file.WriteString(kSectionNmea, "iPilot", "AP");
    file.WriteString(kSectionNmea, "iCompas", "HC");
}

Real PackedPosition(std::string_view degrees, std::string_view minutes, bool negative) {
    const Real packed = nav::ValidFloat(degrees) * 100 + nav::ValidFloat(minutes);
    return negative ? -packed : packed;
}

PositionFields UnpackPosition(Real packed) {
    PositionFields f;
    const Real a = std::fabs(packed);
    const Real degrees = nav::Int(a / 100);
    f.degrees = nav::FormatGeneral(degrees);
    // The minutes by subtraction, exact, rather than from the fraction of a / 100, which would
    // carry the rounding of the division into the last digits ("4.14000000000033").
    f.minutes = nav::FormatGeneral(a - degrees * 100);
    f.negative = packed < 0;
    return f;
}

std::string UtcOffsetText(Real hours) {
    const Real packed = nav::DegreesToDMS(hours);
    std::string text = nav::FormatFixed(packed, 3, 1);
    if (std::fabs(nav::ValidFloat(text) - packed) > 1e-9L) text = nav::FormatGeneral(packed);
    return text;
}

Real UtcOffsetFromText(std::string_view text) { return nav::DMSToDegrees(nav::ValidFloat(text)); }

}  // namespace corvel::config
