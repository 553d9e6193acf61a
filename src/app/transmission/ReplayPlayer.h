// A recorded voyage played again: the sentences of a file (app/transmission/ReplayFeed) handed, one by one, to
// whoever sends them, at their recorded instants (a time-stamped log), at a rate (a plain file, or
// a rate given), or as fast as the outputs take them. The first sentence of the file decides: a
// stamped line, the recorded timing; a plain line, the rate (1 sentence a second unless given). A
// stamp that goes back in time sends its sentence at once; a plain sentence in a stamped file goes
// with the one before. Lines are read as they are needed: memory does not grow with the file. No
// clock and no Qt: the caller says how much time has passed.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/transmission/ReplayFeed.h"
#include "nav/RegularFile.h"

namespace corvel::app {

// True once the run is to end (a stop signal): the reading stops between two reads of the file and
// the sending between two sentences.
using StopAsked = std::function<bool()>;

// The bytes of an open file, piece by piece for FileLines: none once `stop` says so (a file of
// gigabytes without a sentence would otherwise hold the run), or after a read error.
FileLines::Source FileSource(std::shared_ptr<const nav::FileDescriptor> file, StopAsked stop);

class ReplayPlayer {
public:
    struct Timing {
        bool fast = false;           // every sentence as soon as asked, whatever its instant
        std::optional<double> rate;  // sentences a second, in place of the recorded instants
    };

    // Reads the first sentence of `source` at once.
    ReplayPlayer(FileLines::Source source, Timing timing, StopAsked stop);
    ReplayPlayer(const ReplayPlayer&) = delete;
    ReplayPlayer& operator=(const ReplayPlayer&) = delete;

    bool Done() const { return !pending_; }
    long long Sent() const { return sent_; }
    long long Skipped() const { return skipped_; }  // the lines that were no sentence, or too long

    // Hands `send` the sentences due `elapsedMillis` after the first one (every one when fast), at
    // most `limit` of them, none once a stop is asked.
    void SendDue(const std::function<void(std::string_view sentence)>& send, double elapsedMillis, int limit);

    // The end of a replay in French: « rejeu terminé : 12 phrases envoyées, 1 ligne ignorée ».
    std::string Summary() const;

private:
    // The next sentence of the file and its instant, skipping (and counting) the other lines.
    void ReadNext();

    FileLines lines_;
    const bool fast_;
    std::optional<double> rate_;
    StopAsked stop_;
    std::optional<std::int64_t> firstStamp_;
    std::optional<ReplayLine> pending_;  // its view is into lines_' line
    double dueMillis_ = 0;
    long long sent_ = 0, skipped_ = 0;
};

}  // namespace corvel::app
