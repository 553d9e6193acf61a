// The initialisation files of the program (the settings file and the configuration files):
// "[section]" headers and "key=value" lines, sections and keys matched without regard to letter
// case, values as text. Reading never fails: an unreadable, binary or oversized file reads as
// empty, so every key takes its default. Writing updates the file in place: the lines it does not
// write (other keys, other sections, comments, blank lines) keep their text and order, and a key
// missing from its section is added after the section's last line. Saving is atomic.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "config/AtomicWrite.h"
#include "nav/EXT_CONVERS.h"

namespace corvel::config {

class IniFile {
public:
    // A larger file is no initialisation file: it reads as empty.
    static constexpr std::uintmax_t kMaxFileBytes = 32u * 1024 * 1024;

    IniFile() = default;

    // The text of a file: lines end with LF, CR LF or CR; a UTF-8 byte-order mark is skipped (and
    // kept on saving); text that is not valid UTF-8 is read as Latin-1. Text holding a NUL byte is
    // binary and reads as empty.
    static IniFile FromText(std::string_view text);
    // The file at `path`; missing, unreadable, not a regular file, binary or larger than
    // kMaxFileBytes: empty.
    static IniFile Load(const std::filesystem::path& path);

    // The value of `key` in `section` (first occurrence of each, letter case ignored), blanks
    // around it removed and one pair of surrounding quotes ("..." or '...') taken off; nothing when
    // the key is absent.
    std::optional<std::string> Value(std::string_view section, std::string_view key) const;
    bool HasKey(std::string_view section, std::string_view key) const { return Value(section, key).has_value(); }

    // The value, or `fallback` when the key is absent.
    std::string ReadString(std::string_view section, std::string_view key, std::string_view fallback) const;
    // The value read with ValidFloat ("." or ","; text that is no number reads 0), or `fallback`
    // when the key is absent or its value empty.
    nav::Real ReadFloat(std::string_view section, std::string_view key, nav::Real fallback) const;
    // A decimal integer within 32 bits (optional sign, blanks around); nothing when the key is
    // absent or its value is not such an integer.
    std::optional<long> IntegerValue(std::string_view section, std::string_view key) const;
    // IntegerValue, or `fallback`.
    long ReadInteger(std::string_view section, std::string_view key, long fallback) const;
    // An integer: non-zero is true; `fallback` when absent or not an integer.
    bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;

    // Sets the value of `key` in `section`, adding the section (at the end) or the key (after the
    // section's last line) when missing. Line breaks in the value become spaces: a value cannot
    // add lines to the file.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    // The number in the shortest general form, up to 15 significant digits, "." as separator.
    void WriteFloat(std::string_view section, std::string_view key, nav::Real value);
    void WriteInteger(std::string_view section, std::string_view key, long value);
    // "1" or "0".
    void WriteBool(std::string_view section, std::string_view key, bool value);

    // The file's text as Save writes it: the lines joined with the line end of the file read (LF for
    // a new file), a line end after the last line.
    std::string Text() const;
    // Writes Text() to `path` atomically: on failure the file there is left as it was.
    FileWriteResult Save(const std::filesystem::path& path) const;
    // As Save, with the chunk writer of WriteFileAtomically (tests make it fail).
    FileWriteResult Save(const std::filesystem::path& path, const ChunkWriter& writer) const;

private:
    struct Section {
        std::string name;                // as written, blanks trimmed ("" for the lines before any header)
        std::vector<std::string> lines;  // the header line first (none for the preamble), then the body
        std::unordered_map<std::string, std::size_t> keys;  // folded key -> line of its first occurrence
    };
    void AddLine(std::string line);
    Section* FindSection(std::string_view name);
    const Section* FindSection(std::string_view name) const;

    std::vector<Section> sections_;
    std::unordered_map<std::string, std::size_t> sectionIndex_;  // folded name -> first section
    std::string eol_ = "\n";
    bool bom_ = false;
};

// Letter case folded for the matching of section and key names (ASCII letters).
std::string FoldCase(std::string_view text);

}  // namespace corvel::config
