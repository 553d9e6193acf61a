// The modal exchanges with the user; see Dialogs.h.
#include "app/Dialogs.h"

#include "config/AtomicWrite.h"

namespace corvel::app {

void ReportSave(Dialogs& dialogs, const config::FileWriteResult& result, const std::filesystem::path& path,
                const std::string& failure) {
    if (!result.ok) {
        dialogs.ShowMessage(failure + result.error);
    } else if (!result.folderNotFlushed.empty()) {
        dialogs.ShowMessage("Le fichier " + path.string() + " est enregistré, mais son dossier n'a pas pu être écrit " +
                            "sur le disque (" + result.folderNotFlushed +
                            ") : après une coupure de courant, la version précédente pourrait réapparaître.");
    }
}

}  // namespace corvel::app
