// The program's time-stamped log ("NMEA183:yyyy-mm-ddZhh:nn:ss.zzz:" before each sentence): its
// lines written, and a recorded voyage played again: the lines of such a log or of a plain NMEA
// file, each read as a sentence to send and, for a stamped line, its instant. No clock and no Qt:
// the headless run decides when each sentence goes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/program/Clock.h"

namespace corvel::app {

// Where each line of a time-stamped log begins: "NMEA183:", the date, "Z", the time, ":".
inline constexpr std::string_view kStampStart = "NMEA183:";
inline constexpr std::size_t kStampLength = 32;

// The time-stamped log's line of `sentence` sent at `now`, written into `line` (a buffer reused
// line after line): kStampStart, the date, "Z", the time, ":", the sentence, then `mark` (an injected
// fault's, which ReadReplayLine leaves out).
void WriteStampedLine(std::string& line, const LocalDateTime& now, std::string_view sentence,
                      std::string_view mark = {});

// A sentence as a receiver frames it: "$" or "!", then printable ASCII (0x20 to 0x7E) without a
// second "$", "!" or "*", then "*" and two hexadecimal digits. Neither the length nor the checksum's
// value is checked: a recorded feed is played as it was recorded, faults included.
bool FramedSentence(std::string_view line);

struct ReplayLine {
    std::string_view sentence;
    // Milliseconds of the stamp since 0001-01-01 (stamped lines only).
    std::optional<std::int64_t> stampMillis;
};

// One line of a file, without its line end (a CR left at its end is removed here): a stamped log
// line gives its sentence (without the mark of an injected fault) and its instant, a plain line its
// sentence; nothing for a line that is no framed sentence (or a stamped line whose stamp is no
// instant).
std::optional<ReplayLine> ReadReplayLine(std::string_view line);

// The lines of a file read piece by piece, so that memory does not grow with the file: a line ends
// at LF, CR or CR LF (one end, not an empty line between). A line longer than kLongestLine is
// counted as a line but never kept whole.
class FileLines {
public:
    static constexpr std::size_t kLongestLine = 4096;

    // Fills the buffer with the next bytes of the file: how many, 0 at its end (or to stop there).
    using Source = std::function<std::size_t(char* buffer, std::size_t size)>;
    explicit FileLines(Source source, std::size_t chunk = 64 * 1024);

    struct Line {
        std::string_view text;  // valid until the next call; empty for a line too long
        bool tooLong = false;
    };
    // The next line without its end; nothing once the source is exhausted.
    std::optional<Line> Next();

private:
    Source source_;
    std::vector<char> chunk_;
    std::size_t at_ = 0, filled_ = 0;
    bool afterCr_ = false;  // an LF next ends no line: it completes a CR LF
    std::string line_;
};

}  // namespace corvel::app
