// The French messages about a settings or configuration file that is there but was not read (not
// a regular file, over the size limit, unreadable): shown instead of loading it, or of saving
// over it, since what it holds is unknown.
#pragma once

#include <filesystem>
#include <string>

#include "config/IniFile.h"

namespace corvel::app {

// Why the file was not read: "plus de 1 Mo", "pas un fichier ordinaire", "illisible : <the
// system's reason>"; "" for a file read or missing.
std::string RefusalReason(const config::IniLoadResult& load);

// « Fichier de configuration refusé : /chemin/x.ini (plus de 1 Mo) »; "" for a file read or missing.
std::string RefusalMessage(const std::filesystem::path& path, const config::IniLoadResult& load);

// Why nothing is saved over such a file: "le fichier existant ne peut pas être lu (plus de 1 Mo)".
std::string ExistingFileRefused(const config::IniLoadResult& load);

}  // namespace corvel::app
