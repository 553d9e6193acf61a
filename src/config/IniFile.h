// The initialisation files of the program (the settings file and the configuration files):
// "[section]" headers and "key=value" lines, sections and keys matched without regard to letter
// case, values as text. A file is read only when it is a regular text file of at most
// kMaxFileBytes (Load says why another is not: a binary one, holding a NUL byte, is refused).
// Writing updates the file in place: the lines it does not write (other keys, other sections,
// comments, blank lines) keep their text and order, and a key missing from its section is added
// after the section's last line. Saving is atomic.
//
// Memory: the text once, plus 12 bytes for each header and key line (a line of at least 2 bytes):
// at most about 7 times the file's size whatever it holds, about 4 times for a file of "[a]" or
// "k=1" lines, the text alone for blank lines and comments.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/AtomicWrite.h"
#include "nav/Conversions.h"
#include "nav/RegularFile.h"

namespace corvel::config {

struct IniLoadResult;

class IniFile {
public:
    // A larger file is no initialisation file (a real one holds a few kilobytes): it is refused.
    static constexpr std::size_t kMaxFileBytes = 1024 * 1024;

    IniFile() = default;

    // The text of a file: lines end with LF, CR LF or CR; a UTF-8 byte-order mark is skipped (and
    // kept on saving); text that is not valid UTF-8 is read as Latin-1. Text holding a NUL byte is
    // binary and reads as empty.
    static IniFile FromText(std::string_view text);
    // The file at `path`, read with nav::ReadRegularFile (never blocks, never reads more than
    // kMaxFileBytes + 1 bytes); a file holding a NUL byte is binary and refused. See IniLoadResult.
    static IniLoadResult Load(const std::filesystem::path& path);

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
    // A header line (section kHeader) or a key line (section: the offset of its section's header)
    // of text_, with the hash of its folded name. index_ is sorted by section, hash and offset, so
    // the first line of a name is the first of its run.
    struct Entry {
        std::uint32_t section;
        std::uint32_t hash;
        std::uint32_t offset;  // where the line starts in text_
    };
    static constexpr std::uint32_t kHeader = 0xFFFFFFFF;
    struct EntryOrder;  // by section, hash, offset

    // The line starting at `offset`, without its "\n".
    std::string_view LineAt(std::size_t offset) const;
    // The offset of the first header (section kHeader) or first key of the section at `section`
    // named `name`, letter case ignored.
    std::optional<std::uint32_t> Find(std::uint32_t section, std::string_view name) const;
    void AddToIndex(std::uint32_t section, std::string_view name, std::size_t offset);
    // Moves every line starting at or after `from` by `delta` bytes.
    void ShiftFrom(std::size_t from, std::ptrdiff_t delta);
    // Inserts `line` and its "\n" at `offset`.
    void InsertLine(std::size_t offset, std::string_view line);

    std::string text_;  // the lines, each ended by "\n" (the file's line ends are written back on saving)
    std::vector<Entry> index_;
    std::string eol_ = "\n";
    bool bom_ = false;
};

// The outcome of IniFile::Load.
struct IniLoadResult {
    IniFile file;                                  // what was read; empty unless status is Ok
    nav::ReadStatus status = nav::ReadStatus::Ok;  // Ok, or why nothing was read
    int error = 0;                                 // with Unreadable: the system's errno (0 when binary)
    bool binary = false;                           // with Unreadable: read, but it holds a NUL byte
    // The file is there but was not read whole (not a regular file, over kMaxFileBytes, unreadable,
    // binary): what it holds is unknown, so it must be neither taken as empty nor saved over. A
    // missing file is not refused: it reads as empty (every key takes its default) and a save
    // creates it.
    bool Refused() const { return status != nav::ReadStatus::Ok && status != nav::ReadStatus::Missing; }
};

// Letter case folded for the matching of section and key names (ASCII letters).
std::string FoldCase(std::string_view text);

}  // namespace corvel::config
