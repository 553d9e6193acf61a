// A multi-line text that only grows at its end (the sentence logs): appending is amortised O(1)
// and never copies what is already there. It can also hand each new line to a stream (a file
// written as the log grows) and, for long headless runs, keep nothing in memory.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>

namespace corvel::app {

class TextLog {
public:
    using Stream = std::function<void(std::string_view line)>;

    void Append(std::string_view line);
    // A line for the reader of the window (a transmission error): kept, never streamed, so that a
    // file written as the log grows holds only what was sent.
    void AppendNote(std::string_view line);
    // "RAZ": empties the text (not the streams already written).
    void Clear();

    const std::deque<std::string>& Lines() const { return lines_; }
    // Lines appended since the log was created, kept or not: a view compares it with what it shows.
    std::uint64_t Appended() const { return appended_; }
    std::uint64_t Cleared() const { return cleared_; }
    // All lines joined with `eol` after each one.
    std::string Text(std::string_view eol = "\r\n") const;

    void SetStream(Stream stream) { stream_ = std::move(stream); }
    // false: lines go to the stream only.
    void SetKeepLines(bool keep) { keep_ = keep; }
    // Whether an appended line goes anywhere: a caller may skip building it otherwise.
    bool Wanted() const { return keep_ || static_cast<bool>(stream_); }

private:
    std::deque<std::string> lines_;
    Stream stream_;
    bool keep_ = true;
    std::uint64_t appended_ = 0;
    std::uint64_t cleared_ = 0;
};

}  // namespace corvel::app
