// The growing text of the logs; see TextLog.h.
#include "app/transmission/TextLog.h"

namespace corvel::app {

void TextLog::Append(std::string_view line) {
    if (stream_) stream_(line);
    AppendNote(line);
}

void TextLog::AppendNote(std::string_view line) {
    ++appended_;
    if (keep_) lines_.emplace_back(line);  // the one copy, and only when the line is kept
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
