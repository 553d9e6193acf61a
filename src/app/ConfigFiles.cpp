// Messages about refused configuration files; see ConfigFiles.h.
#include "app/ConfigFiles.h"

#include <cstring>

namespace corvel::app {

std::string RefusalReason(const config::IniLoadResult& load) {
    switch (load.status) {
        case nav::ReadStatus::Ok:
        case nav::ReadStatus::Missing:
            break;
        case nav::ReadStatus::TooLarge:
            return "plus de " + std::to_string(config::IniFile::kMaxFileBytes / (1024 * 1024)) + " Mo";
        case nav::ReadStatus::NotRegular:
            return "pas un fichier ordinaire";
        case nav::ReadStatus::Unreadable:
            return std::string("illisible : ") + std::strerror(load.error);
    }
    return {};
}

std::string RefusalMessage(const std::filesystem::path& path, const config::IniLoadResult& load) {
    if (!load.Refused()) return {};
    return "Fichier de configuration refusé : " + path.string() + " (" + RefusalReason(load) + ")";
}

std::string ExistingFileRefused(const config::IniLoadResult& load) {
    return "le fichier existant ne peut pas être lu (" + RefusalReason(load) + ")";
}

}  // namespace corvel::app
