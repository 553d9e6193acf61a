// What the user is told of a save: its failure with the system's reason in French, or, when the
// file is in place but its folder did not reach the disk, a notice naming the file.
#include <gtest/gtest.h>

#include <cerrno>

#include "app/program/Dialogs.h"
#include "config/AtomicWrite.h"
#include "support/FakeDialogs.h"

using namespace corvel;

namespace {

TEST(ReportSave, SaysWhatWentWrongAndNothingWhenAllWentWell) {
    const std::filesystem::path path = "/home/marin/CorvelNMEA.ini";
    const std::string failure = "Impossible d'écrire /home/marin/CorvelNMEA.ini : ";
    config::FileWriteResult saved, failed, notRegular, notFlushed;
    failed.ok = false;
    failed.error = ENOSPC;
    notRegular.ok = false;
    notRegular.notRegularFile = true;
    notFlushed.folderNotFlushed = EIO;
    const struct {
        const char* name;
        const config::FileWriteResult& result;
        std::vector<std::string> messages;
    } cases[] = {
        {"saved", saved, {}},
        {"failed", failed, {failure + "plus de place sur le disque"}},
        {"not a regular file", notRegular, {failure + "pas un fichier ordinaire"}},
        {"folder not flushed",
         notFlushed,
         {"Le fichier /home/marin/CorvelNMEA.ini est enregistré, mais son dossier n'a pas pu être écrit sur le "
          "disque (erreur d'entrée-sortie) : après une coupure de courant, la version précédente pourrait "
          "réapparaître."}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::FakeDialogs dialogs;
        app::ReportSave(dialogs, c.result, path, failure);
        EXPECT_EQ(dialogs.messages, c.messages);
    }
}

}  // namespace
