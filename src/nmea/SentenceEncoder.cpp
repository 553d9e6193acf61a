// The NMEA 0183 sentence encoder core; see SentenceEncoder.h.
#include "nmea/SentenceEncoder.h"

#include <array>
#include <cmath>

#include "nav/SpherePositions.h"
#include "nav/Utf8Text.h"

namespace corvel::nmea {

using nav::Real;

namespace {

// "000102...FF": the two hexadecimal digits of every byte value, so a checksum is a view of two
// characters of this table.
constexpr std::array<char, 512> MakeHexPairs() {
    constexpr std::string_view digits = "0123456789ABCDEF";
    std::array<char, 512> table{};
    for (std::size_t i = 0; i < 256; ++i) {
        table[2 * i] = digits[i >> 4];
        table[2 * i + 1] = digits[i & 15];
    }
    return table;
}
constexpr std::array<char, 512> kHexPairs = MakeHexPairs();

void AppendTwoDigits(std::string& out, long long value) {
    value = (value % 100 + 100) % 100;
    out += static_cast<char>('0' + value / 10);
    out += static_cast<char>('0' + value % 10);
}

// |packed| (DD.MMmm) as degrees and minutes with five decimals of minutes, at least
// `degreeDigits` digits of degrees. Minutes rounded up to 60 carry into the degrees.
std::string DegreesMinutesText(Real packed, std::size_t degreeDigits) {
    const Real magnitude = std::fabs(packed);
    std::string text = nav::FormatFixed(magnitude * 100, 10, 5);
    std::size_t point = text.find('.');
    if (point >= 2 && text.compare(point - 2, 2, "60") == 0) {
        text = nav::FormatFixed((nav::Int(magnitude) + 1) * 100, 10, 5);
        point = text.find('.');
    }
    if (point < degreeDigits + 2) text.insert(0, degreeDigits + 2 - point, '0');
    return text;
}

// The characters NMEA 0183 reserves for the frame of a sentence.
constexpr std::string_view kReserved = "$*,!\\^~";

char SafeAscii(unsigned char c) {
    if (c < 0x20 || c == 0x7F || kReserved.find(static_cast<char>(c)) != std::string_view::npos) return '_';
    return static_cast<char>(c);
}

}  // namespace

std::string_view NmeaChecksum(std::string_view body) noexcept {
    std::size_t begin = body.find('$');
    begin = begin == std::string_view::npos ? 0 : begin + 1;
    std::size_t end = body.find('*', begin);
    if (end == std::string_view::npos) end = body.size();
    unsigned sum = 0;
    for (std::size_t i = begin; i < end; ++i) sum ^= static_cast<unsigned char>(body[i]);
    return {kHexPairs.data() + 2 * sum, 2};
}

std::string FinishSentence(std::string_view body) {
    std::string sentence;
    sentence.reserve(body.size() + 3);
    sentence = body;
    AppendChecksum(sentence);
    return sentence;
}

void AppendChecksum(std::string& body) {
    if (body.empty() || body.back() != '*') body += '*';
    const std::string_view sum = NmeaChecksum(body);
    body += sum;
}

// The fields return one named string from every path: it is built in the caller's place, not moved.
std::string NumberField(Real x, int precision, int digits) {
    std::string text = std::isfinite(x) ? nav::FormatFixed(x, precision, digits) : std::string();
    if (text.find('E') != std::string::npos) text.clear();  // more integer digits than the precision
    return text;
}

std::string GeneralField(Real x) {
    if (!std::isfinite(x)) return {};
    std::string text = nav::FormatGeneral(x);
    if (text.find('E') == std::string::npos) return text;
    return std::fabs(x) < 1 ? "0" : std::string();  // below 1e-5, or more than 15 integer digits
}

std::string DirectionField(Real degrees, int precision, int digits) {
    std::string text;
    if (!std::isfinite(degrees)) return text;
    Real d = std::fmod(degrees, 360.0L);
    if (d < 0) d += 360;
    if (d >= 360) d = 0;  // a tiny negative value plus 360
    text = NumberField(d, precision, digits);
    if (d >= 359 && text == nav::FormatFixed(360, precision, digits)) text = NumberField(0, precision, digits);
    return text;
}

CoordinateField FormatLatitude(Real degrees) {
    if (!std::isfinite(degrees) || std::fabs(degrees) > 90) return {};
    const Real packed = nav::DegreesToDM(degrees);
    return {DegreesMinutesText(packed, 2), packed > 0 ? "N" : "S"};
}

CoordinateField FormatLongitude(Real degrees) {
    if (!std::isfinite(degrees)) return {};
    if (degrees < -180 || degrees > 360) {
        degrees = std::fmod(degrees, 360.0L);
        if (degrees < 0) degrees += 360;
    }
    const Real packed = nav::DegreesToDM(nav::Fold180(degrees));
    return {DegreesMinutesText(packed, 3), packed < 0 ? "W" : "E"};
}

std::string UtcTimeField(const LocalDateTime& local, Real utcOffsetHours) {
    if (!std::isfinite(utcOffsetHours)) return {};
    // Whole milliseconds, so that an exact half second is exactly a half and goes to the even
    // second, as Round does.
    constexpr long long kDayMs = 86'400'000;
    const long long offsetMs = std::llround(std::fmod(utcOffsetHours, 24.0L) * 3'600'000.0L);
    long long ms = ((local.hour * 60LL + local.minute) * 60 + local.second) * 1000 + local.millisecond + offsetMs;
    ms = (ms % kDayMs + kDayMs) % kDayMs;
    long long seconds = ms / 1000;
    const long long rest = ms % 1000;
    if (rest > 500 || (rest == 500 && seconds % 2 == 1)) ++seconds;
    seconds %= 86'400;  // 24 h read 00
    std::string field;
    field.reserve(9);
    AppendTwoDigits(field, seconds / 3600);
    AppendTwoDigits(field, seconds / 60 % 60);
    AppendTwoDigits(field, seconds % 60);
    field += ".00";
    return field;
}

std::string DateField(const LocalDateTime& local) {
    std::string field;
    field.reserve(6);
    AppendTwoDigits(field, local.day);
    AppendTwoDigits(field, local.month);
    AppendTwoDigits(field, local.year);
    return field;
}

std::string SentenceSafeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += SafeAscii(c);
            ++i;
            continue;
        }
        // Latin-1 letters and signs as their byte; U+0080..U+009F are controls; anything else,
        // and a byte that is not valid UTF-8, is "?".
        const nav::Utf8Char ch = nav::DecodeUtf8(text, i);
        out += ch.length > 0 && ch.code >= 0xA0 && ch.code <= 0xFF ? static_cast<char>(ch.code) : '?';
        i += ch.length == 0 ? 1 : ch.length;
    }
    return out;
}

}  // namespace corvel::nmea
