// A recorded voyage played again: the lines of the program's time-stamped log
// ("NMEA183:yyyy-mm-ddZhh:nn:ss.zzz:" before each sentence) or of a plain NMEA file, each read as a
// sentence to send and, for a stamped line, its instant. No clock and no Qt: the headless run
// decides when each sentence goes.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace corvel::app {

// Where each line of a time-stamped log begins: "NMEA183:", the date, "Z", the time, ":".
inline constexpr std::string_view kStampStart = "NMEA183:";
inline constexpr std::size_t kStampLength = 32;

// A sentence as a receiver frames it: "$" or "!", then printable ASCII (0x20 to 0x7E) without a
// second "$", "!" or "*", then "*" and two hexadecimal digits. Neither the length nor the checksum's
// value is checked: a recorded feed is played as it was recorded, faults included.
bool FramedSentence(std::string_view line);

struct ReplayLine {
    std::string_view sentence;
    // Milliseconds of the stamp since 0001-01-01 (stamped lines only).
    std::optional<std::int64_t> stampMillis;
};

// One line of a file, without its LF (a CR before it is removed here): a stamped log line gives its
// sentence (without the mark of an injected fault) and its instant, a plain line its sentence;
// nothing for a line that is no framed sentence (or a stamped line whose stamp is no instant).
std::optional<ReplayLine> ReadReplayLine(std::string_view line);

}  // namespace corvel::app
