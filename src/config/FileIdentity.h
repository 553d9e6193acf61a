// Whether two names lead to one file: the headless run refuses two outputs that would write into
// one file (the two logs, a log and the file standard output goes to) and a log that is the
// replayed file (it would be emptied before being read).
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace corvel::config {

// A key for the file a name leads to, equal for two names of one file: its device and inode when
// it exists, else the path it would be created at (links followed, a link to a file not yet there
// too, "." and ".." resolved); empty for a character device (a terminal, /dev/null), which keeps
// nothing and may be shared.
std::string FileKey(const std::filesystem::path& name);

// The same key for an open file (standard output); empty for a character device, or when the
// descriptor cannot be asked.
std::string OpenFileKey(int fd);

// The first two keys that name one file (equal and not empty), as their indexes in `keys`, the
// earlier one first; nothing when every file is a file of its own.
std::optional<std::pair<std::size_t, std::size_t>> FirstSameFile(const std::vector<std::string>& keys);

}  // namespace corvel::config
