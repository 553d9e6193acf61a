// Injected faults: which sentence of a feed is spoiled and how, decided by a small generator of
// our own from a seed, so that the same seed over the same sentences gives the same bytes on every
// machine and library version. At most one fault hits a sentence: one draw per sentence picks it
// with the probabilities of the list (drop, garbage, truncate, checksum, duplicate, in that order
// of the cumulative table), further draws shape the damage. No clock, no Qt: the caller hands the
// sentences in order and the simulated instant for the no-fix window.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvel::nmea {

enum class FaultKind : std::uint8_t { None, Drop, Garbage, Truncate, Checksum, Duplicate };
inline constexpr std::size_t kFaultKindCount = 6;  // None included

// The names of the list (--faults), by kind.
struct FaultName {
    FaultKind kind;
    std::string_view name;
};
inline constexpr std::array<FaultName, 5> kFaultNames = {{
    {FaultKind::Drop, "drop"},
    {FaultKind::Garbage, "garbage"},
    {FaultKind::Truncate, "truncate"},
    {FaultKind::Checksum, "checksum"},
    {FaultKind::Duplicate, "duplicate"},
}};

// Simulated milliseconds, from the start of the run.
struct NoFixWindow {
    std::int64_t startMillis = 0;
    std::int64_t durationMillis = 0;
    bool Covers(std::int64_t millis) const { return millis >= startMillis && millis - startMillis < durationMillis; }
};

struct FaultSettings {
    std::array<double, kFaultKindCount> probability{};  // by FaultKind; None's is unused
    std::uint64_t seed = 1;
    std::optional<NoFixWindow> noFix;
    double Probability(FaultKind kind) const { return probability[static_cast<std::size_t>(kind)]; }
};

// What is wrong with a list, for the caller's message; `item` names the bad item.
enum class FaultListError : std::uint8_t {
    None,
    Empty,             // an empty list or an empty item
    UnknownKind,       // not one of the kinds, nofix or seed
    NoValue,           // no "=" or nothing after it
    Repeated,          // a kind given twice
    BadProbability,    // not a number from 0 to 1
    BadWindow,         // nofix not START:DURATION in seconds, each 0 to the largest duration
    BadSeed,           // seed not a whole number 0 to 2^64-1
    ProbabilitiesOver  // the probabilities add up to more than 1 (item: the whole list)
};

struct FaultListParse {
    FaultSettings settings;
    FaultListError error = FaultListError::None;
    std::string item;
};

// "kind=value,kind=value": checksum, drop, truncate, duplicate, garbage take a probability per
// sentence (0 to 1, "." decimals), nofix START:DURATION in simulated seconds (each 0 to
// `maxSeconds`), seed a whole number.
FaultListParse ParseFaultList(std::string_view list, double maxSeconds);

// The line or lines that go out in place of one sentence.
struct FaultedSentence {
    FaultKind kind = FaultKind::None;
    int count = 1;                          // 0 (dropped), 1, or 2 (duplicated)
    std::array<std::string_view, 2> lines;  // valid until the next Apply
};

class FaultInjector {
public:
    explicit FaultInjector(const FaultSettings& settings);

    // The fault of the next sentence, drawn in turn, and the lines to send. A wrong checksum keeps
    // the frame ("*" and two upper-case hexadecimal digits, never the right ones); a truncated
    // sentence keeps at least its first byte and loses at least its last one; garbage is 1 to 80
    // bytes of any value but CR and LF.
    const FaultedSentence& Apply(std::string_view sentence);

    // The position receiver has no fix at this simulated instant.
    bool NoFixAt(std::int64_t millis) const { return settings_.noFix && settings_.noFix->Covers(millis); }

    const FaultSettings& Settings() const { return settings_; }

private:
    std::uint64_t Next();                  // splitmix64
    std::uint64_t Below(std::uint64_t n);  // 0 to n - 1

    FaultSettings settings_;
    std::array<double, kFaultKindCount> upTo_{};  // cumulative probability of each kind in draw order
    std::uint64_t state_;
    std::string damaged_;
    FaultedSentence out_;
};

}  // namespace corvel::nmea
