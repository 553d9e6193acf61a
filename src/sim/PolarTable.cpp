// The polar table: file loading, the three parsing steps and the boat speed; see PolarTable.h.
#include "sim/PolarTable.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <optional>
#include <system_error>

#include "nav/RegularFile.h"
#include "nav/Utf8Text.h"
#include "nav/ValidFloat.h"

namespace corvel::sim {

namespace {

// A refusal of `file` for `why`, naming `count`.
PolarLoadResult Refusal(PolarRefusal why, std::string_view file, std::size_t count = 0) {
    return {why, std::string(file), count, 0, {}};
}

// The refusal of a polar of `lines` lines (the header included) by its number of lines; none when
// that number is fine.
PolarLoadResult LineCountRefusal(std::size_t lines, std::string_view file) {
    if (lines == 0) return Refusal(PolarRefusal::Empty, file);
    const std::size_t rows = lines - 1;
    if (rows > static_cast<std::size_t>(PolarTable::kMaxAngleRows)) {
        return Refusal(PolarRefusal::TooManyRows, file, rows);
    }
    if (rows < static_cast<std::size_t>(PolarTable::kMinAngleRows)) {
        return Refusal(PolarRefusal::TooFewRows, file, rows);
    }
    return {};
}

// The number of lines SplitPolarLines would make of `text`, without making them.
size_t PolarLineCount(std::string_view text) {
    const auto breaks = static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
    return breaks + (!text.empty() && text.back() != '\n' ? 1 : 0);
}

// The field before the next tab of `rest` (all of it when there is none); `tabFound` says whether
// a tab ended it.
std::string_view NextField(std::string_view rest, bool& tabFound) {
    const size_t tab = rest.find('\t');
    tabFound = tab != std::string_view::npos;
    return rest.substr(0, tab);
}

// A header field is a wind speed when it reads as a number with "." as the separator, without the
// separator swap of ValidFloat: "4,5" is a label there.
std::optional<Real> HeaderNumber(std::string_view field) { return nav::ParseDotNumber(field); }

// A speed as the 32-bit result: never infinite.
float ToSpeed(Real v) {
    if (v > FLT_MAX) return FLT_MAX;
    if (v < -FLT_MAX) return -FLT_MAX;
    return static_cast<float>(v);  // the returned boat speed is a 32-bit float
}

}  // namespace

std::vector<std::string> SplitPolarLines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const size_t lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.emplace_back(line);
        text = lf == std::string_view::npos ? std::string_view{} : text.substr(lf + 1);
    }
    return lines;
}

PolarLoadResult PolarTable::LoadFromFile(const std::filesystem::path& path) {
    const nav::ReadResult read = nav::ReadRegularFile(path, kMaxFileBytes);
    switch (read.status) {
        case nav::ReadStatus::Ok: return LoadText(read.text, path.string());
        case nav::ReadStatus::TooLarge: return Refusal(PolarRefusal::TooLarge, path.string());
        case nav::ReadStatus::NotRegular: return Refusal(PolarRefusal::NotRegular, path.string());
        case nav::ReadStatus::Missing:
            if (std::error_code ec; std::filesystem::is_symlink(path, ec)) {
                return Refusal(PolarRefusal::DanglingLink, path.string());
            }
            break;
        case nav::ReadStatus::Unreadable: break;
    }
    return Refusal(PolarRefusal::Unreadable, path.string());
}

PolarLoadResult PolarTable::LoadFromText(std::string_view text) { return LoadText(text, {}); }

PolarLoadResult PolarTable::LoadText(std::string_view text, std::string_view file) {
    // Counted before the lines are made: a file of a million line feeds makes no million strings.
    if (PolarLoadResult refused = LineCountRefusal(PolarLineCount(text), file); !refused.ok()) return refused;
    return LoadLines(SplitPolarLines(text), file);
}

PolarLoadResult PolarTable::LoadFromLines(std::vector<std::string> lines) { return LoadLines(std::move(lines), {}); }

PolarLoadResult PolarTable::LoadLines(std::vector<std::string> lines, std::string_view file) {
    if (PolarLoadResult refused = LineCountRefusal(lines.size(), file); !refused.ok()) return refused;
    const size_t rows = lines.size() - 1;

    // Parsed into a copy, so that a header 0 keeps the column's value in force and a refusal
    // leaves the table untouched.
    PolarTable candidate(*this);
    const int columns = candidate.DetValEntCol(lines.front());
    const auto found = static_cast<std::size_t>(columns);
    if (columns > kMaxWindColumns) return Refusal(PolarRefusal::TooManyColumns, file, found);
    if (columns < kMinWindColumns) return Refusal(PolarRefusal::TooFewColumns, file, found);
    candidate.rowCount_ = static_cast<int>(rows);
    candidate.DetValEntLIG(lines);
    if (PolarLoadResult refused = candidate.AxisRefusal(lines, file); !refused.ok()) return refused;
    if (const auto bad = candidate.GetSpeedVal(lines)) {
        return {PolarRefusal::SpeedOutOfRange, std::string(file), 0, bad->line,
                std::string(nav::FirstBytes(bad->text, nav::kNumberTextLength))};
    }
    candidate.PrepareLookups();
    candidate.lines_ = std::move(lines);
    *this = std::move(candidate);
    return {};
}

int PolarTable::DetValEntCol(std::string_view header) {
    int counter = 0;
    while (!header.empty()) {
        bool tabFound = false;
        const std::string_view field = NextField(header, tabFound);
        if (const auto value = HeaderNumber(field)) {
            if (*value != 0 && counter < kMaxWindColumns) windSpeeds_[static_cast<size_t>(counter)] = *value;
            ++counter;
        }
        header.remove_prefix(field.size() + (tabFound ? 1 : 0));
    }
    windCount_ = std::min(counter, kMaxWindColumns);
    return counter;
}

void PolarTable::DetValEntLIG(const std::vector<std::string>& lines) {
    for (int k = 1; k <= rowCount_; ++k) {
        const std::string_view line = lines[static_cast<size_t>(k)];
        const size_t tab = line.find('\t');
        // No tab: no text before it, so the angle is 0.
        angles_[static_cast<size_t>(k - 1)] = tab == std::string_view::npos ? 0 : nav::ValidFloat(line.substr(0, tab));
    }
}

PolarLoadResult PolarTable::AxisRefusal(const std::vector<std::string>& lines, std::string_view file) const {
    for (std::size_t i = 0; i < static_cast<std::size_t>(windCount_); ++i) {
        const Real wind = windSpeeds_[i];
        if (!(0 <= wind && wind <= kMaxWindSpeed)) {
            return {PolarRefusal::WindOutOfRange, std::string(file), 0, 1, nav::FormatGeneral(wind)};
        }
        if (i > 0 && wind < windSpeeds_[i - 1]) {
            return {PolarRefusal::WindDecreasing, std::string(file), 0, 1,
                    nav::FormatGeneral(windSpeeds_[i - 1]) + " puis " + nav::FormatGeneral(wind)};
        }
    }
    for (std::size_t k = 0; k < static_cast<std::size_t>(rowCount_); ++k) {
        if (const Real angle = angles_[k]; !(-kMaxAngle <= angle && angle <= kMaxAngle)) {
            const std::string_view line = lines[k + 1];
            return {PolarRefusal::AngleOutOfRange, std::string(file), 0, k + 2,  // line 1 is the header
                    std::string(nav::FirstBytes(line.substr(0, line.find('\t')), nav::kNumberTextLength))};
        }
    }
    return {};
}

std::optional<PolarTable::SpeedField> PolarTable::GetSpeedVal(const std::vector<std::string>& lines) {
    std::optional<SpeedField> outside;
    for (int row = 0; row < rowCount_; ++row) {
        std::string_view rest = lines[static_cast<size_t>(row) + 1];
        if (const size_t tab = rest.find('\t'); tab != std::string_view::npos) rest.remove_prefix(tab + 1);
        auto& speeds = speeds_[static_cast<size_t>(row)];
        for (int j = 0; j < windCount_; ++j) {
            bool tabFound = false;
            const std::string_view field = NextField(rest, tabFound);
            const Real speed = nav::ValidFloat(field);
            speeds[static_cast<size_t>(j)] = speed;
            if (!outside && !(0 <= speed && speed <= kMaxBoatSpeed)) {
                outside = SpeedField{static_cast<size_t>(row) + 2, field};  // line 1 is the header
            }
            // Without a tab the rest stays, and is read again for the next column.
            if (tabFound) rest.remove_prefix(field.size() + 1);
        }
    }
    return outside;
}

void PolarTable::PrepareLookups() {
    const auto increasing = [](const auto& axis, int count) {
        for (size_t k = 0; k + 1 < static_cast<size_t>(count); ++k) {
            if (!(axis[k] < axis[k + 1])) return false;
        }
        return true;
    };
    const auto narrow = [](const auto& axis, int count, auto& copy) {
        for (size_t k = 0; k < static_cast<size_t>(count); ++k) {
            copy[k] = static_cast<double>(axis[k]);
            if (static_cast<Real>(copy[k]) != axis[k]) return false;
        }
        return true;
    };
    windIncreasing_ = increasing(windSpeeds_, windCount_);
    anglesIncreasing_ = increasing(angles_, rowCount_);
    windFitsNarrow_ = narrow(windSpeeds_, windCount_, windSpeedsNarrow_);
    anglesFitNarrow_ = narrow(angles_, rowCount_, anglesNarrow_);
    for (size_t row = 0; row < static_cast<size_t>(rowCount_); ++row) {
        for (size_t i = 0; i + 1 < static_cast<size_t>(windCount_); ++i) {
            const Real width = windSpeeds_[i + 1] - windSpeeds_[i];
            windSlopes_[row][i] = width == 0 ? 0 : (speeds_[row][i + 1] - speeds_[row][i]) / width;
        }
    }
}

PolarTable::Axis PolarTable::WindAxis() const noexcept {
    return {windSpeeds_.data(), windCount_, windIncreasing_, windFitsNarrow_ ? windSpeedsNarrow_.data() : nullptr};
}

PolarTable::Axis PolarTable::AngleAxis() const noexcept {
    return {angles_.data(), rowCount_, anglesIncreasing_, anglesFitNarrow_ ? anglesNarrow_.data() : nullptr};
}

int PolarTable::FirstBracket(const Axis& axis, Real x) noexcept {
    const int count = axis.count;
    if (count < 2) return -1;
    if (!axis.increasing) {
        for (int k = 0; k + 1 < count; ++k) {
            if (axis.values[k] <= x && x <= axis.values[k + 1]) return k;
        }
        return -1;
    }
    // The brackets do not overlap but at their ends, where the first one is wanted: the first
    // value at or above x closes it.
    if (!(axis.values[0] <= x && x <= axis.values[count - 1])) return -1;
    const double narrowX = static_cast<double>(x);
    if (axis.narrow && static_cast<Real>(narrowX) == x) {
        // Both sides exact in 64 bits, so the comparisons are the extended ones. Branch-free
        // bisection for the first value at or above x among values[1..count-1]: the window
        // [first, first + n) always holds it (x is at most the last value).
        const double* first = axis.narrow + 1;
        int n = count - 1;
        while (n > 1) {
            const int half = n / 2;
            first = first[half - 1] < narrowX ? first + half : first;
            n -= half;
        }
        return static_cast<int>(first - axis.narrow) - 1;
    }
    return static_cast<int>(std::lower_bound(axis.values + 1, axis.values + count, x) - axis.values) - 1;
}

BoatSpeedResult PolarTable::BoatSpeed(Real Wa, Real Ws, int PolarPercent) const noexcept {
    if (!Loaded() || !std::isfinite(Wa) || !std::isfinite(Ws)) return {};
    const auto W = [this](int i) { return windSpeeds_[static_cast<size_t>(i)]; };
    const auto A = [this](int j) { return angles_[static_cast<size_t>(j)]; };
    const auto S = [this](int j, int i) { return speeds_[static_cast<size_t>(j)][static_cast<size_t>(i)]; };

    // 1. Lighter wind than the first column.
    if (Ws < W(0)) {
        const BoatSpeedResult ref = BoatSpeed(Wa, W(0), PolarPercent);
        return {BoatSpeedUnderWmin(ref.speed, Wa, Ws), ref.angleAboveTable};
    }

    // 2. Wind bracket (i, i + 1). Here W(0) <= Ws, so unless Ws is above the last column some
    // bracket holds it, whatever the order of the columns.
    const int lastColumn = windCount_ - 1;
    int i = lastColumn - 1;
    const bool clamped = Ws > W(lastColumn);
    if (clamped) {
        Ws = W(lastColumn);
    } else if (const int k = FirstBracket(WindAxis(), Ws); k >= 0) {
        i = k;
    }
    const bool zeroWidthWind = W(i + 1) == W(i);
    const auto zeroWidthCell = [&](int row) { return clamped ? S(row, i + 1) : S(row, i); };

    // 3. Closer to the wind than the first row.
    if (Wa < A(0)) {
        if (Wa <= A(0) / 4) return {};
        const Real s =
            zeroWidthWind ? zeroWidthCell(0) : nav::LinearInterpolate(Ws, W(i), S(0, i), W(i + 1), S(0, i + 1));
        const Real ratio = Wa / A(0);
        return {ToSpeed(ratio * ratio * s), false};
    }

    const auto inWind = [&](int row) -> Real {
        if (zeroWidthWind) return zeroWidthCell(row);
        return S(row, i) + windSlopes_[static_cast<size_t>(row)][static_cast<size_t>(i)] * (Ws - W(i));
    };

    // 4. Angle bracket (j, j + 1).
    const int j = FirstBracket(AngleAxis(), Wa);
    if (j < 0) return {ToSpeed(inWind(rowCount_ - 1) * PolarPercent / 100), true};

    // 5. Inside the table: the speeds of rows j and j + 1 at this wind, then linear in the angle
    // between them, times the percentage.
    const Real t = inWind(j);
    const Real u = inWind(j + 1);
    const Real v = A(j + 1) == A(j) ? t : t + (u - t) / (A(j + 1) - A(j)) * (Wa - A(j));
    return {ToSpeed(v * PolarPercent / 100), false};
}

float PolarTable::BoatSpeedUnderWmin(Real Sref, Real /*Wa*/, Real Ws) const noexcept {
    if (windCount_ < 1 || !(windSpeeds_[0] > 0)) return 0;
    const Real a = Ws / windSpeeds_[0];
    const Real v = (-5 * a * a + 15 * a - 7.25L) * Sref / 2.75L;
    return v > 0 ? ToSpeed(v) : 0;
}

}  // namespace corvel::sim
