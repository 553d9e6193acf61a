// Where the tests find the program's data files (the default polar ...).
#pragma once

#include <cstdlib>
#include <filesystem>

namespace corvel::test {

inline std::filesystem::path SourceDir() {
    if (const char* dir = std::getenv("CORVEL_SOURCE_DIR")) return dir;
    return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path();
}

inline std::filesystem::path DefaultPolar() { return SourceDir() / "data" / "DefPolars" / "First31_7.pol"; }

// The French help pages and their pictures (images/).
inline std::filesystem::path HelpFolder() { return SourceDir() / "data" / "Help"; }

}  // namespace corvel::test
