// The system's reasons in French: the text shown for an errno value (a file not found, a full
// disk, a refused permission ...), wherever the program shows why the system refused something,
// in the window and on a headless run's standard error.
#pragma once

#include <string>

namespace corvel::app {

// The French text of the errno value `error` (ENOENT: « fichier ou dossier introuvable »); an
// error the table does not hold gives the system's own text (strerror), 0 « erreur inconnue ».
std::string SystemReason(int error);

}  // namespace corvel::app
