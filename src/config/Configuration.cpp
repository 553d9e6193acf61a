// The configuration record and its file; see Configuration.h.
#include "config/Configuration.h"

#include <cctype>
#include <cmath>

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

struct NumberKey {
    std::string_view key;
    Real Configuration::*value;
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

Configuration ReadConfiguration(const IniFile& file) {
    Configuration c;
    c.PolarFolder = NonEmpty(file, kSectionFolders, "Polars");
    c.PolarFile = NonEmpty(file, kSectionParameters, "PolaireAct");
    c.CategoryCode = NonEmpty(file, kSectionParameters, "iCateg");
    c.KeelOffset = file.ReadFloat(kSectionParameters, "iOFFS_Keel", 0);
    c.SurfaceOffset = file.ReadFloat(kSectionParameters, "iOFFS_Surf", 0);
    c.PolarPercent = file.ReadFloat(kSectionParameters, "iPolPerc", kDefaultPolarPercent);
    c.Standby = file.ReadString(kSectionParameters, "iModPil", "AUTO") != "AUTO";

    for (const NumberKey& k : kNavNumbers) c.*k.value = file.ReadFloat(kSectionNavData, k.key, 0);
    c.WaypointName = file.Value(kSectionNavData, "iWpID");
    for (const NumberKey& k : kWaypointNumbers) c.*k.value = file.ReadFloat(kSectionNavData, k.key, 0);
    c.UtcOffsetHours = nav::DMSToDegrees(file.ReadFloat(kSectionNavData, "idTU", 0));
    for (const OptionKey& k : kOptionKeys) c.*k.value = OptionalBool(file, kSectionNavData, k.key);

    c.BaudRate = file.Value(kSectionCom, "iVit");
    c.WifiAddress = file.ReadString(kSectionWifi, "iAdIP", kDefaultWifiAddress);
    c.WifiPort = file.ReadString(kSectionWifi, "iPort", kDefaultWifiPort);

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
    file.WriteFloat(kSectionParameters, "iOFFS_Keel", c.KeelOffset);
    file.WriteFloat(kSectionParameters, "iOFFS_Surf", c.SurfaceOffset);
    file.WriteInteger(kSectionParameters, "iPolPerc", static_cast<long>(nav::Round(c.PolarPercent)));
    file.WriteString(kSectionParameters, "iModPil", c.Standby ? "STDBY" : "AUTO");

    for (const NumberKey& k : kNavNumbers) file.WriteFloat(kSectionNavData, k.key, c.*k.value);
    if (c.WaypointName) file.WriteString(kSectionNavData, "iWpID", *c.WaypointName);
    for (const NumberKey& k : kWaypointNumbers) file.WriteFloat(kSectionNavData, k.key, c.*k.value);
    file.WriteFloat(kSectionNavData, "idTU", nav::DegreesToDMS(c.UtcOffsetHours));
    for (const OptionKey& k : kOptionKeys) {
        if (c.*k.value) file.WriteBool(kSectionNavData, k.key, *(c.*k.value));
    }

    if (c.BaudRate) file.WriteString(kSectionCom, "iVit", *c.BaudRate);
    file.WriteString(kSectionWifi, "iAdIP", c.WifiAddress);
    file.WriteString(kSectionWifi, "iPort", c.WifiPort);

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
