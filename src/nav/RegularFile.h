// Reading a small file whole, safely: the one reader of every file the program loads (settings and
// configuration files, polars, the documents-folder list). Only a regular file is read, and never
// more than the caller's limit: a FIFO, a device (/dev/zero) or a folder is refused without
// waiting, and a file larger than the limit (or one that grows while it is read, or whose size
// lies) is refused after at most limit + 1 bytes. Symbolic links are followed. A file read piece by
// piece (a recorded voyage) is opened here too, under the same rule.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>

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

// A file descriptor, closed with the object (-1: none).
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor();
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    int get() const { return fd_; }

private:
    int fd_ = -1;
};

struct OpenResult {
    ReadStatus status = ReadStatus::Missing;
    FileDescriptor file;    // with Ok: the open file, for reading
    std::int64_t size = 0;  // with Ok: its size as the system states it
    int error = 0;          // as in ReadResult
};

// Opens `path` for reading as ReadRegularFile does, for a caller that reads it piece by piece (a
// file too large to hold whole): Ok with the open file only when it is a regular file. TooLarge is
// never returned.
OpenResult OpenRegularFile(const std::filesystem::path& path);

// Opens `path` without blocking (O_NONBLOCK: a FIFO without writer does not hold the call), checks
// the open file itself (no race with a file swapped after a check by name), then reads it. The
// text's buffer never holds more than maxBytes + 1 bytes.
ReadResult ReadRegularFile(const std::filesystem::path& path, std::size_t maxBytes);

}  // namespace corvel::nav
