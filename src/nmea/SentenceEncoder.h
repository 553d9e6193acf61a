// The NMEA 0183 sentence encoder core: the frame and checksum of a sentence, the field formats
// (numbers, directions, latitude, longitude), the run fields prepared once per group run (UTC time
// and local date), and the conversion of free text (a waypoint name) into sentence bytes that
// cannot break the frame. Pure functions; no locale is consulted and nothing non-finite is ever
// written: a NaN or infinite value gives an empty field.
#pragma once

#include <string>
#include <string_view>

#include "nav/Conversions.h"

namespace corvel::nmea {

// The longest body a sentence may have: the characters from "$" to the one before "*".
inline constexpr std::size_t kMaxBodyLength = 80;

// A local calendar date and time of day, as the application's clock reads it.
struct LocalDateTime {
    int year = 2000;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;   // 0..23
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// Exclusive-or of the low 8 bits of the characters strictly between the first "$" and the first
// "*" after it (from the start when there is no "$", to the end when there is no "*"), as two
// upper-case hexadecimal digits, high nibble first ("0C", never "C"). The view refers to static
// storage.
std::string_view NmeaChecksum(std::string_view body) noexcept;

// The complete sentence: `body` (from "$", ending in "*"; a "*" is appended when missing) followed
// by its checksum. No line end is added.
std::string FinishSentence(std::string_view body);
// The same, in place: `body` becomes the complete sentence.
void AppendChecksum(std::string& body);

// No field is ever written in exponent notation: a value whose text would need it gives an empty
// field, as a non-finite one does.

// FormatFixed(x, precision, digits) of nav; an empty field when x is not finite or its integer part
// has more digits than `precision` (12345 with precision 4).
std::string NumberField(nav::Real x, int precision, int digits);

// FormatGeneral(x) of nav; an empty field when x is not finite or has more than 15 integer digits,
// and "0" when |x| < 1e-5 (which FormatGeneral writes "1E-6").
std::string GeneralField(nav::Real x);

// A direction in degrees brought into 0 <= d < 360 (any multiple of 360 removed) and written as
// NumberField(d, precision, digits). A value that rounds up to 360 at that many decimals is
// written as 0 (359.996 -> "0.00"), so a direction never reads 360. Non-finite, or more integer
// digits than `precision`: empty.
std::string DirectionField(nav::Real degrees, int precision = 5, int digits = 2);

// A latitude or longitude field and its hemisphere letter.
struct CoordinateField {
    std::string value;            // "ddmm.mmmmm" or "dddmm.mmmmm"; empty when unknown
    std::string_view hemisphere;  // "N"/"S" or "E"/"W"; empty when unknown
};

// Latitude, decimal degrees north positive, as ddmm.mmmmm: the minutes rounded to five decimals
// (a rounding that reaches 60 minutes carries into the degrees). "N" when the value is above 0,
// "S" otherwise (the equator reads "S"). Non-finite or beyond +-90: both fields empty.
CoordinateField FormatLatitude(nav::Real degrees);

// Longitude, decimal degrees east positive, in 0..360 or -180..180 form (any finite value is
// accepted: it is first brought into -180 < x <= 180, so 359.5 reads 00030.00000,W), as
// dddmm.mmmmm with the same rounding as the latitude. "W" below 0, "E" otherwise (0 reads "E").
// Non-finite: both fields empty.
CoordinateField FormatLongitude(nav::Real degrees);

// The UTC time of day hhmmss.00: local time + utcOffsetHours (hours added to the local time to
// obtain UTC), brought into one day, the seconds rounded with their milliseconds (an exact half
// to the even second) and carried into the minutes and hours, 24 h reading 00. 09:59:59.6 with
// offset 0 gives "100000.00"; 00:30 with -2 gives "223000.00". A non-finite offset gives "".
std::string UtcTimeField(const LocalDateTime& local, nav::Real utcOffsetHours);

// The local date (not shifted by the UTC offset) as ddmmyy: 9 December 2026 gives "091226".
std::string DateField(const LocalDateTime& local);

// Free text (UTF-8, as typed) as sentence bytes, one byte per character, that cannot break the
// frame of a sentence:
// - printable ASCII is kept, except the characters NMEA 0183 reserves for the frame
//   ("$", "*", ",", "!", "\", "^", "~"), which become "_", as do the control characters
//   (below 32, and 127);
// - a character of Latin-1 (U+00A0..U+00FF: accented letters) becomes its Latin-1 byte;
// - any other character, and every byte that is not part of valid UTF-8, becomes "?".
std::string SentenceSafeText(std::string_view text);

}  // namespace corvel::nmea
