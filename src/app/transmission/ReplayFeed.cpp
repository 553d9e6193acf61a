// The lines of a recorded voyage; see ReplayFeed.h.
#include "app/transmission/ReplayFeed.h"

#include <string>
#include <utility>

#include "app/program/Clock.h"
#include "app/program/SimulationTexts.h"

namespace corvel::app {

namespace {

bool Hex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

// "yyyy-mm-ddZhh:nn:ss.zzz" -> milliseconds since 0001-01-01 00:00:00.
std::optional<std::int64_t> StampMillis(std::string_view stamp) {
    if (stamp.size() != 23 || stamp[10] != 'Z' || stamp[19] != '.') return std::nullopt;
    std::string text(stamp.substr(0, 19));
    text[10] = 'T';
    const auto instant = ParseLocalDateTime(text);
    if (!instant) return std::nullopt;
    int millis = 0;
    for (char c : stamp.substr(20)) {
        if (c < '0' || c > '9') return std::nullopt;
        millis = millis * 10 + (c - '0');
    }
    return MillisBetween(LocalDateTime{1, 1, 1, 0, 0, 0, 0}, *instant) + millis;
}

}  // namespace

void WriteStampedLine(std::string& line, const LocalDateTime& now, std::string_view sentence, std::string_view mark) {
    line = kStampStart;
    line += FormatDate(now);
    line += 'Z';
    line += FormatTime(now);
    line += ':';
    line += sentence;
    line += mark;
}

bool FramedSentence(std::string_view line) {
    if (line.size() < 4 || (line[0] != '$' && line[0] != '!')) return false;
    const std::size_t star = line.size() - 3;
    if (line[star] != '*' || !Hex(line[star + 1]) || !Hex(line[star + 2])) return false;
    for (std::size_t i = 1; i < star; ++i) {
        const char c = line[i];
        if (c < 0x20 || c > 0x7E || c == '$' || c == '!' || c == '*') return false;
    }
    return true;
}

std::optional<ReplayLine> ReadReplayLine(std::string_view line) {
    if (line.ends_with('\r')) line.remove_suffix(1);
    ReplayLine r;
    if (line.starts_with(kStampStart)) {
        if (line.size() < kStampLength || line[kStampLength - 1] != ':') return std::nullopt;
        r.stampMillis = StampMillis(line.substr(kStampStart.size(), kStampLength - 1 - kStampStart.size()));
        if (!r.stampMillis) return std::nullopt;
        line.remove_prefix(kStampLength);
        if (const std::size_t mark = line.rfind(kFaultMarkStart); mark != std::string_view::npos) {
            line = line.substr(0, mark);
        }
    }
    if (!FramedSentence(line)) return std::nullopt;
    r.sentence = line;
    return r;
}

FileLines::FileLines(Source source, std::size_t chunk) : source_(std::move(source)), chunk_(chunk) {}

std::optional<FileLines::Line> FileLines::Next() {
    line_.clear();
    bool any = false, tooLong = false;
    for (;;) {
        if (at_ == filled_) {
            filled_ = source_(chunk_.data(), chunk_.size());
            at_ = 0;
            if (filled_ == 0) {
                if (!any) return std::nullopt;
                break;
            }
        }
        const char c = chunk_[at_++];
        if (std::exchange(afterCr_, false) && c == '\n') continue;
        if (c == '\n' || c == '\r') {
            afterCr_ = c == '\r';
            break;
        }
        any = true;
        if (line_.size() < kLongestLine) {
            line_ += c;
        } else {
            tooLong = true;
        }
    }
    if (tooLong) return Line{{}, true};
    return Line{line_, false};
}

}  // namespace corvel::app
