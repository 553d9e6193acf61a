// Initialisation files; see IniFile.h.
#include "config/IniFile.h"

#include <cerrno>
#include <charconv>
#include <fstream>
#include <system_error>

#include "nav/Utf8Text.h"
#include "nav/ValidFloat.h"

namespace corvel::config {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view s) {
    const std::size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const std::size_t last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

// The name of a section header line ("[name]", blanks allowed), or nothing.
std::optional<std::string_view> HeaderName(std::string_view line) {
    const std::string_view t = Trim(line);
    if (t.empty() || t.front() != '[') return std::nullopt;
    const std::size_t close = t.find(']');
    return Trim(t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
}

// The key of a key line, or nothing (comments, blank lines, lines without "=", an empty key).
std::optional<std::string_view> KeyOf(std::string_view line) {
    const std::string_view t = Trim(line);
    if (t.empty() || t.front() == ';') return std::nullopt;
    const std::size_t eq = t.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    const std::string_view key = Trim(t.substr(0, eq));
    if (key.empty()) return std::nullopt;
    return key;
}

std::string ValueOf(std::string_view line) {
    std::string_view v = Trim(line.substr(line.find('=') + 1));
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        v = v.substr(1, v.size() - 2);
    }
    return std::string(v);
}

std::string KeyLine(std::string_view key, std::string_view value) {
    std::string line(key);
    line += '=';
    for (char c : value) line += (c == '\r' || c == '\n' || c == '\0') ? ' ' : c;
    return line;
}

}  // namespace

std::string FoldCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

IniFile IniFile::FromText(std::string_view text) {
    IniFile file;
    file.sections_.push_back({});  // the lines before the first header
    if (text.find('\0') != std::string_view::npos) return file;
    if (text.substr(0, kBom.size()) == kBom) {
        file.bom_ = true;
        text.remove_prefix(kBom.size());
    }
    std::string converted;
    if (!nav::IsValidUtf8(text)) {
        converted = nav::Latin1ToUtf8(text);
        text = converted;
    }
    const std::size_t firstBreak = text.find_first_of("\r\n");
    if (firstBreak != std::string_view::npos && text[firstBreak] == '\r' && firstBreak + 1 < text.size() &&
        text[firstBreak + 1] == '\n') {
        file.eol_ = "\r\n";
    }
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            file.AddLine(std::string(text.substr(start)));
            break;
        }
        file.AddLine(std::string(text.substr(start, end - start)));
        start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
    return file;
}

IniFile IniFile::Load(const fs::path& path) {
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(path, ec);
    if (ec || !fs::is_regular_file(path, ec) || size > kMaxFileBytes) return FromText({});
    std::ifstream in(path, std::ios::binary);
    if (!in) return FromText({});
    std::string text(static_cast<std::size_t>(size), '\0');
    in.read(text.data(), static_cast<std::streamsize>(size));
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (in.bad()) return FromText({});
    return FromText(text);
}

void IniFile::AddLine(std::string line) {
    if (const auto name = HeaderName(line)) {
        Section section;
        section.name = std::string(*name);
        section.lines.push_back(std::move(line));
        sectionIndex_.emplace(FoldCase(section.name), sections_.size());  // the first one wins
        sections_.push_back(std::move(section));
        return;
    }
    Section& section = sections_.back();
    if (const auto key = KeyOf(line); key && !section.lines.empty()) {
        // Keys before any header belong to no section and are never read.
        section.keys.emplace(FoldCase(*key), section.lines.size());
    }
    section.lines.push_back(std::move(line));
}

const IniFile::Section* IniFile::FindSection(std::string_view name) const {
    const auto it = sectionIndex_.find(FoldCase(name));
    return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

IniFile::Section* IniFile::FindSection(std::string_view name) {
    const auto it = sectionIndex_.find(FoldCase(name));
    return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

std::optional<std::string> IniFile::Value(std::string_view section, std::string_view key) const {
    const Section* s = FindSection(section);
    if (!s) return std::nullopt;
    const auto it = s->keys.find(FoldCase(key));
    if (it == s->keys.end()) return std::nullopt;
    return ValueOf(s->lines[it->second]);
}

std::string IniFile::ReadString(std::string_view section, std::string_view key, std::string_view fallback) const {
    auto v = Value(section, key);
    return v ? std::move(*v) : std::string(fallback);
}

nav::Real IniFile::ReadFloat(std::string_view section, std::string_view key, nav::Real fallback) const {
    const auto v = Value(section, key);
    if (!v || v->empty()) return fallback;
    return nav::ValidFloat(*v);
}

std::optional<long> IniFile::IntegerValue(std::string_view section, std::string_view key) const {
    const auto v = Value(section, key);
    if (!v) return std::nullopt;
    std::string_view t = *v;
    if (!t.empty() && t.front() == '+') t.remove_prefix(1);
    std::int32_t n = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), n);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size()) return std::nullopt;
    return n;
}

long IniFile::ReadInteger(std::string_view section, std::string_view key, long fallback) const {
    return IntegerValue(section, key).value_or(fallback);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    Section* s = FindSection(section);
    if (!s) {
        sectionIndex_.emplace(FoldCase(section), sections_.size());
        Section added;
        added.name = std::string(section);
        added.lines.push_back("[" + std::string(section) + "]");
        sections_.push_back(std::move(added));
        s = &sections_.back();
    }
    std::string line = KeyLine(key, value);
    const std::string folded = FoldCase(key);
    if (const auto it = s->keys.find(folded); it != s->keys.end()) {
        s->lines[it->second] = std::move(line);
        return;
    }
    // After the last line that is not blank, so that blank lines keep separating the sections.
    std::size_t at = s->lines.size();
    while (at > 1 && Trim(s->lines[at - 1]).empty()) --at;
    for (auto& entry : s->keys) {
        if (entry.second >= at) ++entry.second;
    }
    s->lines.insert(s->lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
    s->keys.emplace(folded, at);
}

void IniFile::WriteFloat(std::string_view section, std::string_view key, nav::Real value) {
    WriteString(section, key, nav::FormatGeneral(value));
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, long value) {
    WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

std::string IniFile::Text() const {
    std::string out;
    if (bom_) out += kBom;
    for (const Section& s : sections_) {
        for (const std::string& line : s.lines) {
            out += line;
            out += eol_;
        }
    }
    return out;
}

FileWriteResult IniFile::Save(const fs::path& path) const { return WriteFileAtomically(path, Text()); }

FileWriteResult IniFile::Save(const fs::path& path, const ChunkWriter& writer) const {
    return WriteFileAtomically(path, Text(), writer);
}

}  // namespace corvel::config
