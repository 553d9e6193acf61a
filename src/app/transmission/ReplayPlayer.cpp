// A recorded voyage played again; see ReplayPlayer.h.
#include "app/transmission/ReplayPlayer.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "app/program/SimulationTexts.h"

namespace corvel::app {

FileLines::Source FileSource(std::shared_ptr<const nav::FileDescriptor> file, StopAsked stop) {
    return [file = std::move(file), stop = std::move(stop)](char* buffer, std::size_t size) -> std::size_t {
        for (;;) {
            if (stop()) return 0;
            const ssize_t got = ::read(file->get(), buffer, size);
            if (got >= 0) return static_cast<std::size_t>(got);
            if (errno != EINTR) return 0;
        }
    };
}

ReplayPlayer::ReplayPlayer(FileLines::Source source, Timing timing, StopAsked stop)
    : lines_(std::move(source)), fast_(timing.fast), rate_(timing.rate), stop_(std::move(stop)) {
    ReadNext();
}

void ReplayPlayer::SendDue(const std::function<void(std::string_view sentence)>& send, double elapsedMillis,
                           int limit) {
    for (int n = 0; n < limit && pending_ && !stop_() && (fast_ || dueMillis_ <= elapsedMillis); ++n) {
        send(pending_->sentence);
        ++sent_;
        ReadNext();
    }
}

std::string ReplayPlayer::Summary() const {
    return "rejeu terminé : " + CountText(sent_, " phrase envoyée", " phrases envoyées") + ", " +
           CountText(skipped_, " ligne ignorée", " lignes ignorées");
}

void ReplayPlayer::ReadNext() {
    pending_.reset();
    while (!pending_) {
        const auto line = lines_.Next();
        if (!line) return;
        if (!line->tooLong) pending_ = ReadReplayLine(line->text);
        if (!pending_) ++skipped_;
    }
    if (!firstStamp_ && !rate_) {
        // The first sentence chooses the timing: its stamp, or a plain file's one a second.
        if (pending_->stampMillis) {
            firstStamp_ = *pending_->stampMillis;
        } else {
            rate_ = 1;
        }
    }
    if (rate_) {
        dueMillis_ = static_cast<double>(sent_) * 1000 / *rate_;
    } else if (pending_->stampMillis) {
        dueMillis_ = std::max(dueMillis_, static_cast<double>(*pending_->stampMillis - *firstStamp_));
    }
}

}  // namespace corvel::app
