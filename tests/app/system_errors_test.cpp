// The system's reasons in French: the common errors by their errno value, and the system's own
// text for an error the table does not hold.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "app/program/SystemErrors.h"

using namespace corvel;

namespace {

TEST(SystemReason, TheCommonErrorsAreFrench) {
    const struct {
        int error;
        const char* text;
    } cases[] = {
        {ENOENT, "fichier ou dossier introuvable"},
        {EACCES, "permission refusée"},
        {ENOSPC, "plus de place sur le disque"},
        {EROFS, "système de fichiers en lecture seule"},
        {EISDIR, "c'est un dossier"},
        {ENOTDIR, "un élément du chemin n'est pas un dossier"},
        {EEXIST, "le fichier existe déjà"},
        {EFBIG, "fichier trop volumineux"},
        {EBUSY, "périphérique ou ressource occupé"},
        {ENXIO, "périphérique ou adresse introuvable"},
        {EIO, "erreur d'entrée-sortie"},
        {EMFILE, "trop de fichiers ouverts par le programme"},
        {EPIPE, "plus personne ne lit la sortie (tube fermé)"},
        {0, "erreur inconnue"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(app::SystemReason(c.error), c.text);
    }
}

// An error outside the table keeps the system's text rather than losing the reason.
TEST(SystemReason, OtherErrorsKeepTheSystemsText) { EXPECT_EQ(app::SystemReason(ENOEXEC), std::strerror(ENOEXEC)); }

}  // namespace
