// Reading a small file whole, safely: the one reader of every file the program loads (settings and
// configuration files, polars, the documents-folder list). Only a regular file is read, and never
// more than the caller's limit: a FIFO, a device (/dev/zero) or a folder is refused without
// waiting, and a file larger than the limit (or one that grows while it is read, or whose size
// lies) is refused after at most limit + 1 bytes. Symbolic links are followed.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace corvel::nav {

enum class ReadStatus {
    Ok,          // the whole file is in `text`
    Missing,     // no such file (or a component of its folder is missing)
    NotRegular,  // a folder, FIFO, device or socket
    TooLarge,    // more than the limit
    Unreadable,  // refused by the system (permissions, I/O error ...)
};

struct ReadResult {
    ReadStatus status = ReadStatus::Missing;
    std::string text;  // with Ok: the file's bytes; empty otherwise
    int error = 0;     // the errno of a failed open, stat or read (Missing, Unreadable); 0 otherwise
};

// Opens `path` without blocking (O_NONBLOCK: a FIFO without writer does not hold the call), checks
// the open file itself (no race with a file swapped after a check by name), then reads it. The
// text's buffer never holds more than maxBytes + 1 bytes.
ReadResult ReadRegularFile(const std::filesystem::path& path, std::size_t maxBytes);

}  // namespace corvel::nav
