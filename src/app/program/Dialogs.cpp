// The modal exchanges with the user; see Dialogs.h.
#include "app/program/Dialogs.h"

#include "app/program/SystemErrors.h"
#include "config/AtomicWrite.h"

namespace corvel::app {

void ReportSave(Dialogs& dialogs, const config::FileWriteResult& result, const std::filesystem::path& path,
                const std::string& failure) {
    if (!result.ok) {
        dialogs.ShowMessage(
            failure + (result.notRegularFile ? std::string(config::kNotRegularFile) : SystemReason(result.error)));
    } else if (result.folderNotFlushed != 0) {
        dialogs.ShowMessage("Le fichier " + path.string() + " est enregistré, mais son dossier n'a pas pu être écrit " +
                            "sur le disque (" + SystemReason(result.folderNotFlushed) +
                            ") : après une coupure de courant, la version précédente pourrait réapparaître.");
    }
}

}  // namespace corvel::app
