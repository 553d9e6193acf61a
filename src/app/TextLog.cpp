// The growing text of the logs; see TextLog.h.
#include "app/TextLog.h"

namespace corvel::app {

void TextLog::Append(std::string line) {
    ++appended_;
    if (stream_) stream_(line);
    if (keep_) lines_.push_back(std::move(line));
}

void TextLog::Clear() {
    lines_.clear();
    ++cleared_;
}

std::string TextLog::Text(std::string_view eol) const {
    size_t size = 0;
    for (const auto& l : lines_) size += l.size() + eol.size();
    std::string text;
    text.reserve(size);
    for (const auto& l : lines_) {
        text += l;
        text += eol;
    }
    return text;
}

}  // namespace corvel::app
