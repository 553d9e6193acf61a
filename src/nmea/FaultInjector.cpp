// The injected faults; see FaultInjector.h.
#include "nmea/FaultInjector.h"

#include <charconv>
#include <cmath>

#include "nav/ValidFloat.h"
#include "nmea/SentenceEncoder.h"

namespace corvel::nmea {

namespace {

constexpr std::string_view kNoFix = "nofix";
constexpr std::string_view kSeed = "seed";
constexpr std::size_t kLongestGarbage = 80;

std::optional<double> Seconds(std::string_view text, double maxSeconds) {
    const auto value = nav::ParseDotNumber(text);
    if (!value || !std::isfinite(static_cast<double>(*value)) || *value < 0 || *value > maxSeconds) return std::nullopt;
    return static_cast<double>(*value);
}

std::int64_t ToMillis(double seconds) { return static_cast<std::int64_t>(std::llround(seconds * 1000)); }

// One "name=value" item into `settings`; the error, or None.
FaultListError ParseItem(std::string_view item, double maxSeconds, FaultSettings& settings, unsigned& seen) {
    if (item.empty()) return FaultListError::Empty;
    const std::size_t equals = item.find('=');
    const std::string_view name = item.substr(0, equals);
    const std::string_view value = equals == std::string_view::npos ? std::string_view() : item.substr(equals + 1);
    // Bits of `seen`: one per kind (by FaultKind), then nofix and seed.
    unsigned bit = 0;
    const FaultName* fault = nullptr;
    for (const FaultName& f : kFaultNames) {
        if (f.name == name) fault = &f;
    }
    if (fault != nullptr) {
        bit = 1u << static_cast<unsigned>(fault->kind);
    } else if (name == kNoFix) {
        bit = 1u << kFaultKindCount;
    } else if (name == kSeed) {
        bit = 1u << (kFaultKindCount + 1);
    } else {
        return FaultListError::UnknownKind;
    }
    if (value.empty()) return FaultListError::NoValue;
    if ((seen & bit) != 0) return FaultListError::Repeated;
    seen |= bit;
    if (fault != nullptr) {
        const auto p = nav::ParseDotNumber(value);
        if (!p || !(*p >= 0 && *p <= 1)) return FaultListError::BadProbability;
        settings.probability[static_cast<std::size_t>(fault->kind)] = static_cast<double>(*p);
    } else if (name == kNoFix) {
        const std::size_t colon = value.find(':');
        if (colon == std::string_view::npos) return FaultListError::BadWindow;
        const auto start = Seconds(value.substr(0, colon), maxSeconds);
        const auto duration = Seconds(value.substr(colon + 1), maxSeconds);
        if (!start || !duration) return FaultListError::BadWindow;
        settings.noFix = NoFixWindow{ToMillis(*start), ToMillis(*duration)};
    } else {
        std::uint64_t seed = 0;
        if (value.size() > nav::kNumberTextLength) return FaultListError::BadSeed;  // as any number
        const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), seed);
        if (ec != std::errc() || end != value.data() + value.size()) return FaultListError::BadSeed;
        settings.seed = seed;
    }
    return FaultListError::None;
}

}  // namespace

FaultListParse ParseFaultList(std::string_view list, double maxSeconds) {
    FaultListParse r;
    unsigned seen = 0;
    std::size_t from = 0;
    while (true) {
        const std::size_t comma = list.find(',', from);
        const std::string_view item = list.substr(from, comma == std::string_view::npos ? list.npos : comma - from);
        r.error = ParseItem(item, maxSeconds, r.settings, seen);
        if (r.error != FaultListError::None) {
            r.item = item;
            return r;
        }
        if (comma == std::string_view::npos) break;
        from = comma + 1;
    }
    double sum = 0;
    for (double p : r.settings.probability) sum += p;
    if (sum > 1 + 1e-12) {
        r.error = FaultListError::ProbabilitiesOver;
        r.item = list;
    }
    return r;
}

FaultInjector::FaultInjector(const FaultSettings& settings) : settings_(settings), state_(settings.seed) {
    double sum = 0;
    for (const FaultName& f : kFaultNames) {
        const auto k = static_cast<std::size_t>(f.kind);
        sum += settings.probability[k];
        upTo_[k] = sum;
    }
    damaged_.reserve(kLongestGarbage + 8);
}

std::uint64_t FaultInjector::Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// n is at most a sentence's length: the remainder's bias (n / 2^64) is nothing.
std::uint64_t FaultInjector::Below(std::uint64_t n) { return Next() % n; }

const FaultedSentence& FaultInjector::Apply(std::string_view sentence) {
    // 53 random bits: a uniform number in [0, 1) that every machine computes alike.
    const double u = static_cast<double>(Next() >> 11) * 0x1.0p-53;
    out_.kind = FaultKind::None;
    for (const FaultName& f : kFaultNames) {
        if (u < upTo_[static_cast<std::size_t>(f.kind)]) {
            out_.kind = f.kind;
            break;
        }
    }
    out_.count = 1;
    out_.lines = {sentence, sentence};
    switch (out_.kind) {
        case FaultKind::None: break;
        case FaultKind::Drop: out_.count = 0; break;
        case FaultKind::Duplicate: out_.count = 2; break;
        case FaultKind::Garbage: {
            damaged_.clear();
            const std::uint64_t length = 1 + Below(kLongestGarbage);
            while (damaged_.size() < length) {
                const auto byte = static_cast<char>(Below(256));
                if (byte != '\r' && byte != '\n') damaged_ += byte;
            }
            out_.lines[0] = damaged_;
            break;
        }
        case FaultKind::Truncate:
            // Keeps 1 to size - 1 bytes; a sentence of one byte goes out empty.
            out_.lines[0] = sentence.substr(0, sentence.size() < 2 ? 0 : 1 + Below(sentence.size() - 1));
            break;
        case FaultKind::Checksum: {
            const std::size_t star = sentence.rfind('*');
            const std::string_view body = sentence.substr(0, star == std::string_view::npos ? sentence.size() : star);
            const std::string_view right = NmeaChecksum(body);
            unsigned value = 0;
            std::from_chars(right.data(), right.data() + right.size(), value, 16);
            const auto wrong = static_cast<unsigned>((value + 1 + Below(255)) % 256);
            const char* hex = "0123456789ABCDEF";
            damaged_.assign(body);
            damaged_ += '*';
            damaged_ += hex[wrong >> 4];
            damaged_ += hex[wrong & 15];
            out_.lines[0] = damaged_;
            break;
        }
    }
    return out_;
}

}  // namespace corvel::nmea
