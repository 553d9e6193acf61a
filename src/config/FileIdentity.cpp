// Whether two names lead to one file; see FileIdentity.h.
#include "config/FileIdentity.h"

#include <sys/stat.h>

namespace corvel::config {

namespace {

std::string KeyOf(const struct stat& st) {
    if (S_ISCHR(st.st_mode)) return {};
    return "inode " + std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
}

}  // namespace

std::string FileKey(const std::filesystem::path& name) {
    if (struct stat st{}; ::stat(name.c_str(), &st) == 0) return KeyOf(st);
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path path = fs::absolute(name, ec);
    for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(path, ec)); ++hops) {
        const fs::path target = fs::read_symlink(path, ec);
        if (ec) break;
        path = path.parent_path() / target;  // an absolute target replaces the whole path
    }
    const fs::path canonical = fs::weakly_canonical(path, ec);
    return "path " + (ec ? path.lexically_normal() : canonical).string();
}

std::string OpenFileKey(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 ? KeyOf(st) : std::string();
}

std::optional<std::pair<std::size_t, std::size_t>> FirstSameFile(const std::vector<std::string>& keys) {
    for (std::size_t i = 0; i < keys.size(); ++i) {
        for (std::size_t j = i + 1; j < keys.size(); ++j) {
            if (!keys[i].empty() && keys[i] == keys[j]) return std::pair{i, j};
        }
    }
    return std::nullopt;
}

}  // namespace corvel::config
