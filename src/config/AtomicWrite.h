// Saving a file so that a failure never destroys the previous one: the new content goes to a
// temporary file in the same folder, which is then renamed over the target. A failed write (disk
// full, no permission, the process killed) leaves the old file whole, byte for byte.
#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace corvel::config {

struct FileWriteResult {
    bool ok = true;
    std::string error;  // the system's message when not ok
};

// Writes one chunk to the open file; returns the number of bytes written (fewer: a failure).
using ChunkWriter = std::function<std::size_t(std::FILE* file, std::string_view chunk)>;

// Writes `content` to `target` atomically. The temporary file is named after the target, starting
// with "." and ending with ".tmp" and a random suffix; it takes the permissions of the file it
// replaces, and is removed when anything fails. A target that is a symbolic link keeps the link:
// the file it points to is replaced. `writer` (tests) replaces the plain fwrite of each chunk.
FileWriteResult WriteFileAtomically(const std::filesystem::path& target, std::string_view content,
                                    const ChunkWriter& writer = {});

}  // namespace corvel::config
