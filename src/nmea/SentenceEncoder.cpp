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

// The nearest ASCII of the characters of Latin-1 from U+00A0 (no-break space) to U+00FF: the
// letter without its accent, a ligature as two letters, a sign as its usual ASCII writing.
constexpr std::array<std::string_view, 96> kLatin1Ascii = {
    " ", "!",  "c", "L", "?", "Y", "|",  "S", "\"", "(c)", "a", "\"", "-",   "-",   "(R)", "-",   // U+00A0
    "o", "+-", "2", "3", "'", "u", "P",  ".", "_",  "1",   "o", "\"", "1/4", "1/2", "3/4", "?",   // U+00B0
    "A", "A",  "A", "A", "A", "A", "AE", "C", "E",  "E",   "E", "E",  "I",   "I",   "I",   "I",   // U+00C0
    "D", "N",  "O", "O", "O", "O", "O",  "x", "O",  "U",   "U", "U",  "U",   "Y",   "Th",  "ss",  // U+00D0
    "a", "a",  "a", "a", "a", "a", "ae", "c", "e",  "e",   "e", "e",  "i",   "i",   "i",   "i",   // U+00E0
    "d", "n",  "o", "o", "o", "o", "o",  "/", "o",  "u",   "u", "u",  "u",   "y",   "th",  "y",   // U+00F0
};

// The nearest ASCII of a few letters and signs beyond Latin-1 that French and other Western
// languages type.
struct AsciiOf {
    char32_t code;
    std::string_view ascii;
};
constexpr std::array<AsciiOf, 13> kBeyondLatin1Ascii = {{
    {U'\u0152', "OE"},
    {U'\u0153', "oe"},
    {U'\u0160', "S"},
    {U'\u0161', "s"},
    {U'\u0178', "Y"},
    {U'\u017D', "Z"},
    {U'\u017E', "z"},
    {U'\u2013', "-"},
    {U'\u2014', "-"},
    {U'\u2018', "'"},
    {U'\u2019', "'"},
    {U'\u201C', "\""},
    {U'\u201D', "\""},
}};

// The nearest ASCII of a character outside ASCII; "?" when it has none.
std::string_view NearestAscii(char32_t code) {
    if (code >= 0xA0 && code <= 0xFF) return kLatin1Ascii[code - 0xA0];
    for (const AsciiOf& a : kBeyondLatin1Ascii) {
        if (a.code == code) return a.ascii;
    }
    return "?";
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

bool PositionWritable(Real latitude, Real longitude) {
    return !FormatLatitude(latitude).value.empty() && !FormatLongitude(longitude).value.empty();
}

std::optional<LocalDateTime> UtcInstant(const LocalDateTime& local, Real utcOffsetHours) {
    if (!std::isfinite(utcOffsetHours) || std::fabs(utcOffsetHours) > 24) return std::nullopt;
    // Whole milliseconds, so that an exact half second is exactly a half and goes to the even
    // second, as Round does.
    const LocalDateTime utc = nav::AddMilliseconds(local, std::llround(utcOffsetHours * 3'600'000.0L));
    const int rest = utc.millisecond;
    const bool up = rest > 500 || (rest == 500 && utc.second % 2 == 1);
    return nav::AddMilliseconds(utc, up ? 1000 - rest : -rest);
}

std::string UtcTimeField(const LocalDateTime& utc) {
    std::string field;
    field.reserve(9);
    AppendTwoDigits(field, utc.hour);
    AppendTwoDigits(field, utc.minute);
    AppendTwoDigits(field, utc.second);
    field += ".00";
    return field;
}

std::string DateField(const LocalDateTime& utc) {
    std::string field;
    field.reserve(6);
    AppendTwoDigits(field, utc.day);
    AppendTwoDigits(field, utc.month);
    AppendTwoDigits(field, utc.year);
    return field;
}

std::string DurationField(Real hours) {
    constexpr long long kLimit = 3'600'000'000LL;  // a million hours, in seconds
    if (!std::isfinite(hours) || hours < 0 || hours * 3600 >= kLimit) return {};
    const long long seconds = std::llround(hours * 3600);
    if (seconds >= kLimit) return {};
    std::string field = std::to_string(seconds / 3600);
    if (field.size() < 2) field.insert(0, 1, '0');
    AppendTwoDigits(field, seconds / 60 % 60);
    AppendTwoDigits(field, seconds % 60);
    field += ".00";
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
        // The nearest ASCII of a character; a byte that is not valid UTF-8 is "?".
        const nav::Utf8Char ch = nav::DecodeUtf8(text, i);
        for (const char a : ch.length > 0 ? NearestAscii(ch.code) : std::string_view("?")) {
            out += SafeAscii(static_cast<unsigned char>(a));
        }
        i += ch.length == 0 ? 1 : ch.length;
    }
    return out;
}

}  // namespace corvel::nmea
