// The French messages about a settings or configuration file: one that is there but was not read
// (not a regular file, over the size limit, unreadable, binary), shown instead of loading it or saving over
// it since what it holds is unknown; the numbers of a load refused for their range, and a window's
// field refused for the same range.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/program/Dialogs.h"
#include "config/Configuration.h"
#include "config/IniFile.h"
#include "nav/Conversions.h"

namespace corvel::app {

// Why the file was not read: "plus de 1 Mo", "pas un fichier ordinaire", "illisible : <the
// system's reason>", "fichier binaire : il contient un octet nul"; "" for a file read or missing.
std::string RefusalReason(const config::IniLoadResult& load);

// « Fichier de configuration refusé : /chemin/x.ini (plus de 1 Mo) »; "" for a file read or missing.
std::string RefusalMessage(const std::filesystem::path& path, const config::IniLoadResult& load);

// Why nothing is saved over such a file: "le fichier existant ne peut pas être lu (plus de 1 Mo)".
std::string ExistingFileRefused(const config::IniLoadResult& load);

// Before a save into `path`, whose load is `load`: true when the save may go on. A file read or
// missing may be written. A file that is there but was not read is replaced only when the user
// says so: a regular file (too large, unreadable, binary) after the question « Le fichier <path> ne
// peut pas être lu (<reason>). Le remplacer ? Ce qu'il contient sera perdu. », answered "O", and
// `load.file` is then empty; any other answer, and a file that is no regular file, show `failure`
// followed by ExistingFileRefused, and the file stays as it is.
bool MaySaveOver(Dialogs& dialogs, const std::filesystem::path& path, config::IniLoadResult& load,
                 const std::string& failure);

// Writes a few keys into the settings file at `path` (`write` sets them), keeping its other lines:
// the file read again, MaySaveOver, saved atomically and the outcome told (ReportSave), with the
// failure « Impossible d'écrire PATH : ». Nothing without a path.
void UpdateSettings(Dialogs& dialogs, const std::filesystem::path& path,
                    const std::function<void(config::IniFile&)>& write);

// A range in words: "latitude de -89 à 89 degrés".
std::string RangeText(const config::KeyRange& range);

// « Valeur hors limites ignorée dans FILE : iPOSLat=9000 (latitude de -89 à 89 degrés) », every
// refused number of a load named with its range.
std::string RefusedValuesMessage(const std::filesystem::path& file, const std::vector<config::RefusedValue>& refused);

// A number typed in a window's field, checked against the loader's range for `key` (RangeOfKey):
// "" within it; outside, « Valeur hors limites refusée pour « Cap vrai » : 99999999 (cap de -360 à
// 720 degrés) », the field named by `field` and the value by `text` (cut as a loaded value is).
std::string FieldRefusal(std::string_view field, std::string_view text, nav::Real value, std::string_view key);

}  // namespace corvel::app
