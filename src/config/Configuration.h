// A simulation configuration as its file holds it: the record of every key, read from an
// initialisation file with the defaults of missing keys, and written back section by section in
// the file's order. The windows apply the record in the order of their loader; nothing here
// touches them.
//
// Layout, in the order of writing:
//   [Version]      Name, Version (written, never read)
//   [REPERTOIRES]  Polars
//   [Parametres]   PolaireAct, iOFFS_Keel, iOFFS_Surf, iPolPerc, iModPil   (iCateg: read only)
//   [NavDATA]      iTWS, iTWD, iHDG, iCUR, iCURDir, iPOSLat, iPOSLong, iWpID, iWpLat, iWpLong,
//                  iDeclMag, idTU, iHDGvar, iTWSvar, iTWDvar
//   [COM]          iVit
//   [WIFI]         iAdIP, iPort, iUDPCRLF
//   [NMEA]         one key per sentence kind but GGA, then iDevPOS, iSound, iSpeedo, iWind,
//                  iInst, iPilot, iCompas
// Numbers are written in the shortest general form (15 significant digits, "."), read with "." or
// ","; booleans are "1"/"0", read as integers. A number outside the range the simulation can sail
// with (kKeyRanges in Configuration.cpp: bounds inclusive) is refused: the record names it and
// leaves its field empty, so the value in force stays.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/IniFile.h"
#include "nav/Conversions.h"
#include "nmea/NmeaCatalogue.h"

namespace corvel::config {

using nav::Real;

// Sections of the file.
inline constexpr std::string_view kSectionVersion = "Version";
inline constexpr std::string_view kSectionFolders = "REPERTOIRES";
inline constexpr std::string_view kSectionParameters = "Parametres";
inline constexpr std::string_view kSectionNavData = "NavDATA";
inline constexpr std::string_view kSectionCom = "COM";
inline constexpr std::string_view kSectionWifi = "WIFI";
inline constexpr std::string_view kSectionNmea = "NMEA";

inline constexpr std::string_view kProgramName = "CorvelNMEA";
// The program's version, the project's (CMake `project(... VERSION)`): the window's caption, the
// saved files, `--version` and the package.
inline constexpr std::string_view kProgramVersion = CORVEL_VERSION;
inline constexpr std::string_view kDefaultWifiAddress = "192.168.137.1";
inline constexpr std::string_view kDefaultWifiPort = "10110";
// The serial speed taken when a file names none, or one the rate list does not hold: the NMEA 0183
// rate.
inline constexpr std::string_view kDefaultBaudRate = "4800";
// The polar percentage of a file without one: the whole polar.
inline constexpr Real kDefaultPolarPercent = 100;

// What a ranged number measures: it names the quantity in a refusal and gives the unit of its
// bounds.
enum class Quantity : std::uint8_t {
    WindSpeed,          // knots
    WindDirection,      // degrees
    Heading,            // degrees
    CurrentSpeed,       // knots
    CurrentDirection,   // degrees
    Latitude,           // degrees (the file packs degrees x 100 + minutes)
    Longitude,          // degrees (packed the same way)
    MagneticVariation,  // degrees
    UtcOffset,          // hours (the file holds H.MMSS)
    KeelOffset,         // metres
    SurfaceOffset,      // metres
};

// A number of the file outside its range: the key, the value as the file writes it, what the key
// measures and its bounds (inclusive, in the quantity's unit).
struct RefusedValue {
    std::string_view key;
    std::string text;
    Quantity quantity{};
    Real low = 0;
    Real high = 0;
};

// The range a ranged key is read with (kKeyRanges): what it measures and its bounds, inclusive, in
// the quantity's unit (degrees for a position, not the file's packed form).
struct KeyRange {
    Quantity quantity{};
    Real low = 0;
    Real high = 0;
};
// The range of a ranged key ("iTWS", "iPOSLat", ...); nothing for another key.
std::optional<KeyRange> RangeOfKey(std::string_view key);

// A ranged number (kKeyRanges) of the record: missing or empty in the file, 0; refused, empty
// (the value in force stays).
using RangedNumber = std::optional<Real>;

struct Configuration {
    // Absent or empty: the current value stays.
    std::optional<std::string> PolarFolder;   // "Polars"
    std::optional<std::string> PolarFile;     // "PolaireAct", a file name
    std::optional<std::string> CategoryCode;  // "iCateg"; absent or empty: undetermined
    RangedNumber KeelOffset = 0;              // metres
    RangedNumber SurfaceOffset = 0;           // metres
    // Not ranged: the window's box holds it within 50..100.
    Real PolarPercent = kDefaultPolarPercent;
    bool Standby = false;  // "iModPil" is not exactly "AUTO"
    RangedNumber TWS = 0, TWD = 0, HDG = 0, CurrentSpeed = 0, CurrentDirection = 0;
    // Positions packed as degrees x 100 + minutes, negative in the south and the west.
    RangedNumber StartLatitude = 0, StartLongitude = 0;
    std::optional<std::string> WaypointName;  // absent: the current one stays
    RangedNumber WaypointLatitude = 0, WaypointLongitude = 0;
    RangedNumber MagVar = 0;          // degrees, east positive
    RangedNumber UtcOffsetHours = 0;  // decimal hours; the file holds H.MMSS
    // Absent (or not an integer): the current option stays.
    std::optional<bool> HDGVariable, TWSVariable, TWDVariable;
    std::optional<std::string> BaudRate;  // "iVit" as written
    std::string WifiAddress = std::string(kDefaultWifiAddress);
    std::string WifiPort = std::string(kDefaultWifiPort);
    // "iUDPCRLF": each UDP datagram ends in CR LF; absent (or not an integer): the sentence alone.
    bool WifiDatagramLineEnds = false;
    // By sentence kind (IndexOf). GGA has no key: always absent. A missing key takes the value of
    // the key before it in the list; the first, APB, is selected when missing.
    std::array<std::optional<bool>, nmea::kSentenceKindCount> Selection{};
    // "iDevPOS", "iSound", "iSpeedo", "iWind": the first two characters of a value of at least two
    // letters or digits; absent, empty or other: the current talker stays.
    std::optional<std::string> TalkerPosition, TalkerSounder, TalkerSpeed, TalkerWind;
    // The numbers refused by the read, in the order of the layout; their fields are empty.
    std::vector<RefusedValue> Refused;
};

// Every key of `file`, with the defaults of the missing ones.
Configuration ReadConfiguration(const IniFile& file);

// The depth sensor's offsets, metres: below the surface ("iOFFS_Surf") and above the keel
// ("iOFFS_Keel").
struct DepthOffsets {
    Real surface = 0;
    Real keel = 0;
};

// The scenario a new user finds, the main window's first texts but for the start: wind 6 knots
// from 20, heading 318, current 1 knot from 075, the waypoint "Att_Dover" (51 06.18 N 1 19.88 E),
// variation 1.50 E, category "Course-croisière", every sentence selected, the AUTO pilot; the start
// at 51 04.14 N 1 23.08 E, at sea in the Strait of Dover 3 miles from the waypoint (the window's
// own texts start at 12 23.08 E, inland, 416 miles from it). No polar keys: the program's default
// polar, wherever it is installed. The depth offsets are `offsets`, those the parameters dialog
// shows at its creation. The UTC offset is `utcOffsetHours`, the machine's own when the user
// starts (decimal hours added to local time to obtain UTC), so that the sentences' UTC is right
// from the first "SIMULER".
Configuration FirstRunConfiguration(Real utcOffsetHours, DepthOffsets offsets);
// The settings file of a new user: that configuration.
IniFile FirstRunSettings(Real utcOffsetHours, DepthOffsets offsets);

// Writes every key of the layout (the optional values that are set), in the layout's order; the
// other lines of `file` stay; `Refused` is not written. "iInst", "iPilot", "iCompas" are always
// "II", "AP", "HC".
void WriteConfiguration(const Configuration& configuration, IniFile& file);

// A position from its fields (degrees, decimal minutes, read with ValidFloat) packed as degrees x
// 100 + minutes, negated when `negative` (south, west).
Real PackedPosition(std::string_view degrees, std::string_view minutes, bool negative);

// A packed position back into its fields: whole degrees and minutes of abs(value), both in general
// format; negative is true for a value below 0 (-4512.5 gives "45", "12.5", true).
struct PositionFields {
    std::string degrees;
    std::string minutes;
    bool negative = false;
};
PositionFields UnpackPosition(Real packed);

// The UTC offset shown as H.MMSS: with 1 decimal ("-2.0", "5.3"), or with the decimals that the
// minutes and seconds need when one decimal would change the offset (5 h 45 min: "5.45").
std::string UtcOffsetText(Real hours);
// H.MMSS typed (ValidFloat) -> decimal hours.
Real UtcOffsetFromText(std::string_view text);

}  // namespace corvel::config
