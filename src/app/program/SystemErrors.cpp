// The system's reasons in French; see SystemErrors.h.
#include "app/program/SystemErrors.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <utility>

namespace corvel::app {

namespace {

// The errors a user meets when the program opens, reads or writes a file, a device or a port.
constexpr std::array<std::pair<int, std::string_view>, 27> kReasons{{
    {ENOENT, "fichier ou dossier introuvable"},
    {EACCES, "permission refusée"},
    {EPERM, "opération non permise"},
    {ENOSPC, "plus de place sur le disque"},
    {EDQUOT, "quota de disque dépassé"},
    {EROFS, "système de fichiers en lecture seule"},
    {EISDIR, "c'est un dossier"},
    {ENOTDIR, "un élément du chemin n'est pas un dossier"},
    {EEXIST, "le fichier existe déjà"},
    {EFBIG, "fichier trop volumineux"},
    {EBUSY, "périphérique ou ressource occupé"},
    {ENXIO, "périphérique ou adresse introuvable"},
    {ENODEV, "aucun périphérique de ce type"},
    {EIO, "erreur d'entrée-sortie"},
    {EMFILE, "trop de fichiers ouverts par le programme"},
    {ENFILE, "trop de fichiers ouverts sur le système"},
    {ENAMETOOLONG, "nom de fichier trop long"},
    {ELOOP, "trop de liens symboliques"},
    {ENOTEMPTY, "le dossier n'est pas vide"},
    {EXDEV, "lien entre deux systèmes de fichiers impossible"},
    {EPIPE, "plus personne ne lit la sortie (tube fermé)"},
    {EAGAIN, "ressource temporairement indisponible"},
    {EINVAL, "argument invalide"},
    {ENOMEM, "mémoire insuffisante"},
    {ETXTBSY, "fichier occupé"},
    {ECONNREFUSED, "connexion refusée"},
    {EADDRINUSE, "adresse déjà utilisée"},
}};

}  // namespace

std::string SystemReason(int error) {
    if (error == 0) return "erreur inconnue";
    for (const auto& [number, text] : kReasons) {
        if (number == error) return std::string(text);
    }
    return std::strerror(error);
}

}  // namespace corvel::app
