// The French messages about a settings or configuration file: one that is there but was not read
// (not a regular file, over the size limit, unreadable), shown instead of loading it or saving over
// it since what it holds is unknown; and the numbers of a load refused for their range.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "config/Configuration.h"

#include "config/IniFile.h"

namespace corvel::app {

// Why the file was not read: "plus de 1 Mo", "pas un fichier ordinaire", "illisible : <the
// system's reason>"; "" for a file read or missing.
std::string RefusalReason(const config::IniLoadResult& load);

// « Fichier de configuration refusé : /chemin/x.ini (plus de 1 Mo) »; "" for a file read or missing.
std::string RefusalMessage(const std::filesystem::path& path, const config::IniLoadResult& load);

// Why nothing is saved over such a file: "le fichier existant ne peut pas être lu (plus de 1 Mo)".
std::string ExistingFileRefused(const config::IniLoadResult& load);

// A range in words: "latitude de -89 à 89 degrés".
std::string RangeText(const config::KeyRange& range);

// « Valeur hors limites ignorée dans FILE : iPOSLat=9000 (latitude de -89 à 89 degrés) », every
// refused number of a load named with its range.
std::string RefusedValuesMessage(const std::filesystem::path& file, const std::vector<config::RefusedValue>& refused);

}  // namespace corvel::app
