// A folder of its own for one test, below the system's temporary folder, removed with everything
// in it when the test ends. Tests put their home, settings and polar folders there, never in the
// real user's home.
#pragma once

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

namespace corvel::test {

class TempFolder {
public:
    TempFolder() {
        std::random_device device;
        for (int attempt = 0;; ++attempt) {
            path_ = std::filesystem::temp_directory_path() / ("corvel-test-" + std::to_string(device()));
            if (std::filesystem::create_directory(path_) || attempt > 100) break;
        }
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& p) const { return path_ / p; }

private:
    std::filesystem::path path_;
};

// Writes `bytes` to `path`, creating its folders.
inline void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A named pipe at `path`, creating its folders; nobody writes to it.
inline void MakeFifo(const std::filesystem::path& path) {
    std::filesystem::create_directories(path.parent_path());
    if (::mkfifo(path.c_str(), 0600) != 0) {
        throw std::filesystem::filesystem_error("mkfifo", path, std::error_code(errno, std::generic_category()));
    }
}

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace corvel::test
