// The NMEA 0183 sentence encoder core: the frame and checksum of a sentence, the field formats
// (numbers, directions, latitude, longitude, durations), the run fields prepared once per group run
// (UTC time and the UTC date that goes with it), and the conversion of free text (a waypoint name) into sentence bytes
// that cannot break the frame. Pure functions; no locale is consulted and nothing non-finite is ever written: a NaN or
// infinite value gives an empty field.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "nav/CalendarTime.h"
#include "nav/Conversions.h"

namespace corvel::nmea {

// The longest body a sentence may have: the characters from "$" to the one before "*", so that
// the whole line, "*", checksum and CR LF included, holds within NMEA 0183's 82 characters.
inline constexpr std::size_t kMaxBodyLength = 77;

using nav::LocalDateTime;

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

// Whether a position (decimal degrees) can be written: FormatLatitude and FormatLongitude both
// give a value (finite, the latitude within +-90; the pole is a position).
bool PositionWritable(nav::Real latitude, nav::Real longitude);

// The UTC instant of a local one: local + utcOffsetHours (hours added to the local time to obtain
// UTC), the seconds rounded with their milliseconds (an exact half to the even second) and carried
// into the minutes, hours and the date, milliseconds 0. The date is the one that goes with the UTC
// time: 00:30 on 2 June with -2 is 22:30 on 1 June. Nothing when the offset is not finite or lies
// beyond a day (no zone is more than 14 h from UTC).
std::optional<LocalDateTime> UtcInstant(const LocalDateTime& local, nav::Real utcOffsetHours);

// The time of day hhmmss.00 of an instant: 09:59:59 gives "095959.00".
std::string UtcTimeField(const LocalDateTime& utc);

// The date ddmmyy of an instant: 9 December 2026 gives "091226".
std::string DateField(const LocalDateTime& utc);

// A duration as hhmmss.00, the hours on two digits or as many as they need ("1234500.00" for
// 123 h 45 min), the seconds rounded. Nothing when the duration is negative, not finite, or a
// million hours or more.
std::string DurationField(nav::Real hours);

// Free text (UTF-8, as typed) as sentence bytes, ASCII only, that cannot break the frame of a
// sentence:
// - printable ASCII is kept, except the characters NMEA 0183 reserves for the frame
//   ("$", "*", ",", "!", "\", "^", "~"), which become "_", as do the control characters
//   (below 32, and 127);
// - a letter or sign of Latin-1, and a few beyond it (oe, S and Z with caron, typographic quotes
//   and dashes), becomes its nearest ASCII: "é" -> "e", "Æ" -> "AE", "ß" -> "ss", "«" -> '"';
// - any other character, and every byte that is not part of valid UTF-8, becomes "?".
std::string SentenceSafeText(std::string_view text);

}  // namespace corvel::nmea
