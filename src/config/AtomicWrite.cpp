// Atomic file saving; see AtomicWrite.h.
#include "config/AtomicWrite.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <random>
#include <system_error>

namespace corvel::config {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kChunkBytes = 64 * 1024;

FileWriteResult Failure(int error) {
    FileWriteResult result;
    result.ok = false;
    result.error = error != 0 ? error : EIO;
    return result;
}

std::string RandomSuffix() {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::random_device device;
    std::mt19937 generator(device());
    std::uniform_int_distribution<int> digit(0, 15);
    std::string suffix(8, '0');
    for (char& c : suffix) c = kDigits[digit(generator)];
    return suffix;
}

// The file that the save must replace: the target itself, or the file its symbolic link names.
fs::path ResolveTarget(const fs::path& target) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(target, ec))) return target;
    const fs::path resolved = fs::weakly_canonical(target, ec);
    return ec ? target : resolved;
}

// Flushes `descriptor` to the disk through `flush` or ::fsync; 0, or the system's error.
int FlushToDisk(int descriptor, const DiskFlush& flush) {
    errno = 0;
    if ((flush ? flush(descriptor) : ::fsync(descriptor)) == 0) return 0;
    return errno != 0 ? errno : EIO;
}

// Flushes the folder's entries (the rename) to the disk; 0, or the system's error. A file system
// that cannot flush a folder (EINVAL) has nothing more to do.
int FlushFolder(const fs::path& folder, const DiskFlush& flush) {
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return errno != 0 ? errno : EIO;
    const int error = FlushToDisk(descriptor, flush);
    ::close(descriptor);
    return error == EINVAL ? 0 : error;
}

}  // namespace

FileWriteResult WriteFileAtomically(const fs::path& requested, std::string_view content, const ChunkWriter& writer,
                                    const DiskFlush& flush) {
    const fs::path target = ResolveTarget(requested);
    // Only a regular file is ever replaced: renaming over a device, a FIFO or a folder (a link to
    // /dev/zero named as the settings file) would destroy what is there, for root the device itself.
    std::error_code existing;
    if (const fs::file_status st = fs::status(target, existing); fs::exists(st) && !fs::is_regular_file(st)) {
        FileWriteResult refused;
        refused.ok = false;
        refused.notRegularFile = true;
        return refused;
    }
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const std::string base = "." + target.filename().string() + ".tmp";

    // A fresh temporary file, never one that exists ("x": exclusive creation).
    fs::path temporary;
    std::FILE* file = nullptr;
    int openError = 0;
    for (int attempt = 0; attempt < 16 && !file; ++attempt) {
        temporary = folder / (base + RandomSuffix());
        errno = 0;
        file = std::fopen(temporary.c_str(), "wbx");
        openError = errno;
        if (!file && openError != EEXIST) break;
    }
    if (!file) return Failure(openError);

    auto fail = [&](int error) {
        if (file) std::fclose(file);
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return Failure(error);
    };

    for (std::size_t done = 0; done < content.size();) {
        const std::string_view chunk = content.substr(done, std::min(kChunkBytes, content.size() - done));
        errno = 0;
        const std::size_t written = writer ? writer(file, chunk) : std::fwrite(chunk.data(), 1, chunk.size(), file);
        if (written != chunk.size()) return fail(errno != 0 ? errno : EIO);
        done += written;
    }
    errno = 0;
    if (std::fflush(file) != 0 || std::ferror(file)) return fail(errno != 0 ? errno : EIO);

    // The replacement keeps the permissions of the file it replaces.
    std::error_code ec;
    const fs::file_status old = fs::status(target, ec);
    if (!ec && fs::is_regular_file(old)) fs::permissions(temporary, old.permissions(), ec);

    // On the disk before it takes the target's name: a power cut must not leave an empty file.
    if (const int error = FlushToDisk(::fileno(file), flush); error != 0) return fail(error);
    errno = 0;
    const int closed = std::fclose(file);
    file = nullptr;
    if (closed != 0) return fail(errno != 0 ? errno : EIO);

    fs::rename(temporary, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return Failure(ec.value());
    }
    FileWriteResult saved;
    if (const int error = FlushFolder(folder, flush); error != 0) saved.folderNotFlushed = error;
    return saved;
}

}  // namespace corvel::config
