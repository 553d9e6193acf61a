// Atomic file saving; see AtomicWrite.h.
#include "config/AtomicWrite.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <random>
#include <system_error>

namespace corvel::config {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kChunkBytes = 64 * 1024;

std::string SystemMessage(int error) {
    return error != 0 ? std::string(std::strerror(error)) : std::string("erreur d'écriture");
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

}  // namespace

FileWriteResult WriteFileAtomically(const fs::path& requested, std::string_view content, const ChunkWriter& writer) {
    const fs::path target = ResolveTarget(requested);
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
    if (!file) return {false, SystemMessage(openError)};

    auto fail = [&](int error) {
        if (file) std::fclose(file);
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return FileWriteResult{false, SystemMessage(error)};
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
    errno = 0;
    const int closed = std::fclose(file);
    file = nullptr;
    if (closed != 0) return fail(errno != 0 ? errno : EIO);

    // The replacement keeps the permissions of the file it replaces.
    std::error_code ec;
    const fs::file_status old = fs::status(target, ec);
    if (!ec && fs::is_regular_file(old)) fs::permissions(temporary, old.permissions(), ec);

    fs::rename(temporary, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return {false, ec.message()};
    }
    return {};
}

}  // namespace corvel::config
