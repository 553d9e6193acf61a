// The polar diagram of the boat: the table of boat speeds by true wind speed and wind angle, read
// from a tab-separated ".pol" file, and the boat speed interpolated in it many times per second.
// A load that the fixed-size table cannot hold is refused, saying why, and the table in force stays
// as it was; BoatSpeed reads only the table, allocates nothing and does not throw.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "nav/Conversions.h"

namespace corvel::sim {

using nav::Real;

// Why a polar load was refused.
enum class PolarRefusal : std::uint8_t {
    None,             // loaded
    Unreadable,       // the file is missing, or the system refused to read it
    NotRegular,       // a folder, a FIFO, a device or a socket (or a link to one)
    DanglingLink,     // a symbolic link to nothing
    TooLarge,         // the file is over PolarTable::kMaxFileBytes
    Empty,            // no line at all
    TooManyRows,      // more than PolarTable::kMaxAngleRows angle lines (count)
    TooFewRows,       // fewer than PolarTable::kMinAngleRows angle lines (count)
    TooManyColumns,   // more than PolarTable::kMaxWindColumns wind speeds in the header (count)
    TooFewColumns,    // fewer than PolarTable::kMinWindColumns wind speeds in the header (count)
    SpeedOutOfRange,  // a boat speed outside 0..PolarTable::kMaxBoatSpeed (line, text)
    WindOutOfRange,   // a header wind speed outside 0..PolarTable::kMaxWindSpeed (text)
    WindDecreasing,   // a header wind speed below the one before it (text: "12 puis 8")
    AngleOutOfRange,  // a wind angle outside -PolarTable::kMaxAngle..kMaxAngle (line, text)
};

// The outcome of a polar load: loaded, or why not, with what the refusal names (the table in force
// unchanged). The user's message is composed by the application.
struct PolarLoadResult {
    PolarRefusal refusal = PolarRefusal::None;
    std::string file;       // the file of a LoadFromFile ("" for a text or lines given directly)
    std::size_t count = 0;  // the angle lines or wind speeds found (the row and column refusals)
    std::size_t line = 0;   // SpeedOutOfRange: the line of the field in the file, 1 being the header
    std::string text;       // SpeedOutOfRange, AngleOutOfRange: the field as written, at most
                            // nav::kNumberTextLength bytes of whole characters; WindOutOfRange,
                            // WindDecreasing: the wind speeds concerned
    bool ok() const noexcept { return refusal == PolarRefusal::None; }
};

// A boat speed (knots) and whether the wind angle lay above the last angle row of the table, in
// which case the speed is that of the last row.
struct BoatSpeedResult {
    float speed = 0;
    bool angleAboveTable = false;
};

// Splits a file's text into its lines: on LF, a CR ending a line removed. The LF that ends the
// last line does not open a further line: "A\nB\n" has 2 lines, "A\nB\n\n" has 3, "" has none.
std::vector<std::string> SplitPolarLines(std::string_view text);

// The current polar. Wind speeds in knots, angles in degrees off the bow, boat speeds in knots.
// A default-constructed table holds nothing (WindCount and RowCount 0) and answers speed 0.
class PolarTable {
public:
    static constexpr int kMaxWindColumns = 41;
    static constexpr int kMaxAngleRows = 51;
    static constexpr int kMinWindColumns = 2;
    static constexpr int kMinAngleRows = 2;
    // A larger file is no polar (the largest table, 51 rows of 41 columns, takes about 20 KB): it is
    // refused.
    static constexpr std::size_t kMaxFileBytes = 1024 * 1024;
    // Boat speeds of a polar lie within 0..kMaxBoatSpeed knots, bounds included.
    static constexpr Real kMaxBoatSpeed = 100;
    // The header's wind speeds lie within 0..kMaxWindSpeed knots (the program's widest wind) and
    // never decrease; the wind angles within -kMaxAngle..kMaxAngle degrees. Bounds included.
    static constexpr Real kMaxWindSpeed = 200;
    static constexpr Real kMaxAngle = 360;

    // Reads the file (nav::ReadRegularFile: a FIFO or device never blocks) and loads its text
    // (LoadFromText). A missing or unreadable file, a file that is not a regular file, a link to
    // nothing or a file over kMaxFileBytes is refused; a refusal names the file.
    PolarLoadResult LoadFromFile(const std::filesystem::path& path);
    // Loads the lines of `text` (SplitPolarLines). The lines are counted first: a text of more
    // lines than the table can hold is refused without being split.
    PolarLoadResult LoadFromText(std::string_view text);
    // Parses the lines (line 1 the header of wind speeds, then one line per wind angle) with
    // DetValEntCol, DetValEntLIG and GetSpeedVal. Refused, leaving the table and its lines as they
    // were: no line at all, more than 51 or fewer than 2 angle lines, more than 41 or fewer than 2
    // wind-speed columns, a header wind speed outside 0..kMaxWindSpeed or below the one before it,
    // a wind angle outside -kMaxAngle..kMaxAngle or a boat speed outside 0..kMaxBoatSpeed (the
    // refusal names the first such field: its line in the file, 1 being the header, and its text;
    // the wind speeds as read). A header field that is
    // exactly 0 takes a column but keeps the wind speed of that column in the table in force (0 in
    // a table never loaded).
    PolarLoadResult LoadFromLines(std::vector<std::string> lines);

    // True once a polar has been loaded (at least 2 columns and 2 rows).
    bool Loaded() const noexcept { return windCount_ >= kMinWindColumns && rowCount_ >= kMinAngleRows; }
    int WindCount() const noexcept { return windCount_; }
    int RowCount() const noexcept { return rowCount_; }
    // The first WindCount wind speeds, knots, in file order.
    std::span<const Real> WindSpeeds() const noexcept {
        return {windSpeeds_.data(), static_cast<std::size_t>(windCount_)};
    }
    // The first RowCount wind angles, degrees, in file order.
    std::span<const Real> Angles() const noexcept { return {angles_.data(), static_cast<std::size_t>(rowCount_)}; }
    // The boat speeds of angle row `row`, one per wind-speed column, knots. Requires
    // 0 <= row < RowCount().
    std::span<const Real> Speeds(int row) const noexcept {
        return {speeds_[static_cast<std::size_t>(row)].data(), static_cast<std::size_t>(windCount_)};
    }
    // The raw lines of the polar in force, as loaded (the polar window shows them).
    const std::vector<std::string>& Lines() const noexcept { return lines_; }

    // Boat speed, knots, for the wind angle Wa (degrees off the bow, 0..180) and the wind speed Ws
    // (knots), scaled by PolarPercent / 100 inside the table:
    // - Ws below the first column: BoatSpeedUnderWmin of the speed at the first column;
    // - Ws above the last column: the last column (no extrapolation);
    // - Wa below the first row: 0 up to a quarter of the first angle, then (Wa / first angle)^2
    //   times the first row's speed, PolarPercent not applied;
    // - Wa above the last row (no bracket found): the last row's speed, angleAboveTable set;
    // - otherwise bilinear between the first brackets [WindSpeeds[i], WindSpeeds[i+1]] and
    //   [Angles[j], Angles[j+1]] holding Ws and Wa; a bracket of zero width (repeated values) gives
    //   its first cell, except at the clamped last column, which gives the last column.
    // Non-finite Wa or Ws, or a table never loaded, give 0. The result is always finite: values
    // beyond the 32-bit range are held at the largest float.
    BoatSpeedResult BoatSpeed(Real Wa, Real Ws, int PolarPercent) const noexcept;

    // Boat speed, knots, for a wind Ws below the first column, from Sref, the speed at the first
    // column: with a = Ws / WindSpeeds[0], (-5a^2 + 15a - 7.25) x Sref / 2.75 when positive, else 0.
    // The factor is 1 at a = 1 and 0 at and below a = 0.6056. Wa takes no part. A first column at
    // 0 kn or less (no lighter wind to scale from) gives 0.
    float BoatSpeedUnderWmin(Real Sref, Real Wa, Real Ws) const noexcept;

private:
    // LoadFromText and LoadFromLines; `file` is the file named in a refusal ("" for none).
    PolarLoadResult LoadText(std::string_view text, std::string_view file);
    PolarLoadResult LoadLines(std::vector<std::string> lines, std::string_view file);
    // Header -> WindSpeeds; returns the number of columns the header names (may exceed the table:
    // only the first kMaxWindColumns are stored, and WindCount is held at that).
    int DetValEntCol(std::string_view header);
    // First field of each data line -> Angles.
    void DetValEntLIG(const std::vector<std::string>& lines);
    // The first wind speed or angle a boat cannot sail with (see LoadFromLines), if any.
    PolarLoadResult AxisRefusal(const std::vector<std::string>& lines, std::string_view file) const;
    // A field of the file: its line (1 for the header) and its text.
    struct SpeedField {
        std::size_t line = 0;
        std::string_view text;
    };
    // The remaining fields of each data line -> Speeds; the first speed outside 0..kMaxBoatSpeed,
    // if any.
    std::optional<SpeedField> GetSpeedVal(const std::vector<std::string>& lines);
    // What BoatSpeed needs at every tick and is fixed by the table: for each axis, whether it is
    // strictly increasing (its brackets are then found by bisection) and, when a 64-bit float
    // holds each of its values, that copy (compared faster); each cell's slope along the wind.
    void PrepareLookups();

    // An axis of the table as BoatSpeed searches it.
    struct Axis {
        const Real* values = nullptr;
        int count = 0;
        bool increasing = false;
        const double* narrow = nullptr;  // the same values in 64 bits, when they fit exactly
    };
    Axis WindAxis() const noexcept;
    Axis AngleAxis() const noexcept;
    // The first k < count - 1 with values[k] <= x <= values[k + 1], or -1.
    static int FirstBracket(const Axis& axis, Real x) noexcept;

    std::array<Real, kMaxWindColumns> windSpeeds_{};
    int windCount_ = 0;
    std::array<Real, kMaxAngleRows> angles_{};
    int rowCount_ = 0;
    std::array<std::array<Real, kMaxWindColumns>, kMaxAngleRows> speeds_{};
    std::vector<std::string> lines_;
    bool windIncreasing_ = false;
    bool anglesIncreasing_ = false;
    bool windFitsNarrow_ = false;
    bool anglesFitNarrow_ = false;
    std::array<double, kMaxWindColumns> windSpeedsNarrow_{};
    std::array<double, kMaxAngleRows> anglesNarrow_{};
    // (speeds_[row][i + 1] - speeds_[row][i]) / (windSpeeds_[i + 1] - windSpeeds_[i]), where the
    // bracket has a width: the same division BoatSpeed would make, made once.
    std::array<std::array<Real, kMaxWindColumns>, kMaxAngleRows> windSlopes_{};
};

}  // namespace corvel::sim
