// The small-file reader; see RegularFile.h.
#include "nav/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace corvel::nav {

namespace {

ReadResult Failure(ReadStatus status, int error = 0) { return {status, {}, error}; }

// `text` (its first `used` bytes kept) in a buffer of exactly `size` bytes: the string's own growth
// would double its capacity, past the reader's limit.
void Regrow(std::string& text, std::size_t used, std::size_t size) {
    std::string grown;
    grown.reserve(size);
    grown.assign(text, 0, used);
    grown.resize(size);
    text.swap(grown);
}

}  // namespace

FileDescriptor::~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

OpenResult OpenRegularFile(const std::filesystem::path& path) {
    // O_NOCTTY: a terminal named by mistake does not become the process's controlling terminal.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0) {
        const int error = errno;
        return {error == ENOENT || error == ENOTDIR ? ReadStatus::Missing : ReadStatus::Unreadable, {}, 0, error};
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) return {ReadStatus::Unreadable, {}, 0, errno};
    if (!S_ISREG(info.st_mode)) return {ReadStatus::NotRegular, {}, 0, 0};
    return {ReadStatus::Ok, std::move(file), info.st_size, 0};
}

ReadResult ReadRegularFile(const std::filesystem::path& path, std::size_t maxBytes) {
    const OpenResult opened = OpenRegularFile(path);
    if (opened.status != ReadStatus::Ok) return Failure(opened.status, opened.error);
    const FileDescriptor& file = opened.file;
    if (opened.size < 0 || static_cast<std::uintmax_t>(opened.size) > maxBytes) return Failure(ReadStatus::TooLarge);

    // One byte more than the limit can tell a file that grew (or whose size is wrong, as in
    // /proc) from one that fits. The buffer starts at the stated size and grows, within the limit,
    // only for a file that holds more.
    const std::size_t bound = maxBytes + 1;
    std::string text;
    Regrow(text, 0, std::min(static_cast<std::size_t>(opened.size) + 1, bound));
    std::size_t used = 0;
    for (;;) {
        if (used == text.size()) {
            if (text.size() == bound) return Failure(ReadStatus::TooLarge);
            Regrow(text, used, std::min(std::max<std::size_t>(text.size() * 2, 4096), bound));
        }
        const ssize_t got = ::read(file.get(), text.data() + used, text.size() - used);
        if (got < 0) {
            if (errno == EINTR) continue;
            return Failure(ReadStatus::Unreadable, errno);
        }
        if (got == 0) break;
        used += static_cast<std::size_t>(got);
    }
    text.resize(used);
    return {ReadStatus::Ok, std::move(text), 0};
}

}  // namespace corvel::nav
