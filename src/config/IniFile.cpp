// Initialisation files; see IniFile.h.
#include "config/IniFile.h"

#include <algorithm>
#include <charconv>

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

char FoldChar(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// FNV-1a of the folded name.
std::uint32_t NameHash(std::string_view name) {
    std::uint32_t h = 2166136261u;
    for (char c : name) {
        h ^= static_cast<unsigned char>(FoldChar(c));
        h *= 16777619u;
    }
    return h;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldChar(a[i]) != FoldChar(b[i])) return false;
    }
    return true;
}

// Every line end (LF, CR LF, CR) made a single LF, in place, and a LF after the last line.
void NormaliseLineEnds(std::string& text) {
    std::size_t out = 0;
    for (std::size_t in = 0; in < text.size(); ++in) {
        char c = text[in];
        if (c == '\r') {
            c = '\n';
            if (in + 1 < text.size() && text[in + 1] == '\n') ++in;
        }
        text[out++] = c;
    }
    text.resize(out);
    if (!text.empty() && text.back() != '\n') text += '\n';
}

}  // namespace

std::string FoldCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = FoldChar(c);
    return out;
}

struct IniFile::EntryOrder {
    bool operator()(const Entry& a, const Entry& b) const {
        if (a.section != b.section) return a.section < b.section;
        if (a.hash != b.hash) return a.hash < b.hash;
        return a.offset < b.offset;
    }
};

IniFile IniFile::FromText(std::string_view text) {
    IniFile file;
    if (text.find('\0') != std::string_view::npos) return file;
    if (text.substr(0, kBom.size()) == kBom) {
        file.bom_ = true;
        text.remove_prefix(kBom.size());
    }
    const std::size_t firstBreak = text.find_first_of("\r\n");
    if (firstBreak != std::string_view::npos && text[firstBreak] == '\r' && firstBreak + 1 < text.size() &&
        text[firstBreak + 1] == '\n') {
        file.eol_ = "\r\n";
    }
    if (nav::IsValidUtf8(text)) {
        file.text_.reserve(text.size() + 1);
        file.text_.assign(text);
    } else {
        file.text_ = nav::Latin1ToUtf8(text);
    }
    NormaliseLineEnds(file.text_);

    // The index holds exactly the header lines and the key lines under a header (keys before any
    // header belong to no section and are never read): counted first, so that it takes no more
    // room than they need.
    const auto forEachIndexed = [&file](auto&& add) {
        std::optional<std::uint32_t> section;
        for (std::size_t at = 0; at < file.text_.size();) {
            const std::string_view line = file.LineAt(at);
            if (const auto name = HeaderName(line)) {
                section = static_cast<std::uint32_t>(at);
                add(kHeader, *name, at);
            } else if (const auto key = KeyOf(line); key && section) {
                add(*section, *key, at);
            }
            at += line.size() + 1;
        }
    };
    std::size_t count = 0;
    forEachIndexed([&count](std::uint32_t, std::string_view, std::size_t) { ++count; });
    file.index_.reserve(count);
    forEachIndexed([&file](std::uint32_t section, std::string_view name, std::size_t offset) {
        file.index_.push_back({section, NameHash(name), static_cast<std::uint32_t>(offset)});
    });
    std::sort(file.index_.begin(), file.index_.end(), EntryOrder());
    return file;
}

IniLoadResult IniFile::Load(const fs::path& path) {
    const nav::ReadResult read = nav::ReadRegularFile(path, kMaxFileBytes);
    if (read.status != nav::ReadStatus::Ok) return {IniFile(), read.status, read.error, false};
    // Taken as empty, a binary file would give every key its default, and the next save would
    // replace it.
    if (read.text.find('\0') != std::string::npos) return {IniFile(), nav::ReadStatus::Unreadable, 0, true};
    return {FromText(read.text), nav::ReadStatus::Ok, 0, false};
}

std::string_view IniFile::LineAt(std::size_t offset) const {
    const std::string_view rest = std::string_view(text_).substr(offset);
    return rest.substr(0, rest.find('\n'));
}

std::optional<std::uint32_t> IniFile::Find(std::uint32_t section, std::string_view name) const {
    const std::uint32_t hash = NameHash(name);
    auto it = std::lower_bound(index_.begin(), index_.end(), Entry{section, hash, 0}, EntryOrder());
    // Names of one hash, in the order of the file: the first that is the name asked for.
    for (; it != index_.end() && it->section == section && it->hash == hash; ++it) {
        const std::string_view line = LineAt(it->offset);
        const auto found = section == kHeader ? HeaderName(line) : KeyOf(line);
        if (found && SameName(*found, name)) return it->offset;
    }
    return std::nullopt;
}

void IniFile::AddToIndex(std::uint32_t section, std::string_view name, std::size_t offset) {
    const Entry entry{section, NameHash(name), static_cast<std::uint32_t>(offset)};
    index_.insert(std::upper_bound(index_.begin(), index_.end(), entry, EntryOrder()), entry);
}

void IniFile::ShiftFrom(std::size_t from, std::ptrdiff_t delta) {
    // Positions keep their order, so the index stays sorted.
    const auto move = [from, delta](std::uint32_t& position) {
        if (position >= from) position = static_cast<std::uint32_t>(static_cast<std::ptrdiff_t>(position) + delta);
    };
    for (Entry& e : index_) {
        move(e.offset);
        if (e.section != kHeader) move(e.section);
    }
}

void IniFile::InsertLine(std::size_t offset, std::string_view line) {
    text_.insert(offset, line);
    text_.insert(offset + line.size(), 1, '\n');
}

std::optional<std::string> IniFile::Value(std::string_view section, std::string_view key) const {
    const auto header = Find(kHeader, section);
    if (!header) return std::nullopt;
    const auto line = Find(*header, key);
    if (!line) return std::nullopt;
    return ValueOf(LineAt(*line));
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
    std::optional<std::uint32_t> header = Find(kHeader, section);
    if (!header) {
        const std::size_t offset = text_.size();
        const std::string line = "[" + std::string(section) + "]";
        InsertLine(offset, line);
        AddToIndex(kHeader, HeaderName(line).value_or(""), offset);
        header = static_cast<std::uint32_t>(offset);
    }
    const std::string line = KeyLine(key, value);
    if (const auto existing = Find(*header, key)) {
        const std::size_t oldSize = LineAt(*existing).size();
        text_.replace(*existing, oldSize, line);
        ShiftFrom(*existing + 1, static_cast<std::ptrdiff_t>(line.size()) - static_cast<std::ptrdiff_t>(oldSize));
        return;
    }
    // After the section's last line that is not blank, so that blank lines keep separating the
    // sections; the header itself counts as a line that is not blank.
    std::size_t at = *header + LineAt(*header).size() + 1;
    for (std::size_t next = at; next < text_.size();) {
        const std::string_view l = LineAt(next);
        if (HeaderName(l)) break;
        next += l.size() + 1;
        if (!Trim(l).empty()) at = next;
    }
    ShiftFrom(at, static_cast<std::ptrdiff_t>(line.size() + 1));
    InsertLine(at, line);
    if (const auto name = KeyOf(line)) AddToIndex(*header, *name, at);
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
    if (eol_ == "\n") return out + text_;
    out.reserve(out.size() + text_.size() * eol_.size());
    for (char c : text_) {
        if (c == '\n') {
            out += eol_;
        } else {
            out += c;
        }
    }
    return out;
}

FileWriteResult IniFile::Save(const fs::path& path) const { return WriteFileAtomically(path, Text()); }

FileWriteResult IniFile::Save(const fs::path& path, const ChunkWriter& writer) const {
    return WriteFileAtomically(path, Text(), writer);
}

}  // namespace corvel::config
