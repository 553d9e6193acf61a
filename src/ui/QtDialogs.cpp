// The Qt dialogs; see QtDialogs.h.
#include "ui/QtDialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTranslator>

#include "nav/Conversions.h"

namespace corvel::ui {

namespace {

QString Folder(const std::filesystem::path& folder) { return QString::fromStdString(folder.string()); }

// What a file chooser gave: nothing when cancelled. A native chooser may have set the locale from
// the environment; the numbers go back to the C format ("." as separator) after every one.
std::optional<std::filesystem::path> Chosen(const QString& path) {
    nav::ForceDotSeparator();
    if (path.isEmpty()) return std::nullopt;
    return std::filesystem::path(path.toStdString());
}

}  // namespace

std::string InstallQtFrenchTranslations(const QString& folder) {
    auto* translator = new QTranslator(QCoreApplication::instance());
    const QString name = QStringLiteral("qtbase_fr");
    if (!translator->load(name, folder) || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return "Traductions françaises de Qt introuvables : " + S(QDir(folder).filePath(name + QStringLiteral(".qm"))) +
               " ; les boîtes de choix de fichiers resteront en anglais (paquet qt6-translations-l10n).";
    }
    return {};
}

QString QtFilter(const std::string& filter) {
    const QStringList parts = Q(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        filters << parts[i] + QStringLiteral(" (") + QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')) +
                       QLatin1Char(')');
    }
    if (parts.size() % 2 == 1 && !parts.back().isEmpty()) filters << parts.back();
    return filters.join(QStringLiteral(";;"));
}

void QtDialogs::ShowMessage(const std::string& text) {
    QMessageBox box(QMessageBox::Information, QStringLiteral("CorvelNMEA"), Q(text), QMessageBox::Ok, parent_);
    box.exec();
}

std::string QtDialogs::GetConfirmation(const std::string& question) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("CorvelNMEA"), Q(question),
                    QMessageBox::Yes | QMessageBox::No, parent_);
    box.setDefaultButton(QMessageBox::Yes);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Oui"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Non"));
    // Escape and the close box press a hidden third button: the answer is then neither.
    QAbstractButton* closed = box.addButton(QMessageBox::Cancel);
    closed->hide();
    box.setEscapeButton(closed);
    box.exec();
    const QAbstractButton* clicked = box.clickedButton();
    if (clicked == box.button(QMessageBox::Yes)) return "O";
    if (clicked == box.button(QMessageBox::No)) return "N";
    return "";
}

std::optional<std::filesystem::path> QtDialogs::OpenFile(const std::string& title, const std::string& filter,
                                                         const std::filesystem::path& folder) {
    return Chosen(QFileDialog::getOpenFileName(parent_, Q(title), Folder(folder), QtFilter(filter)));
}

std::optional<std::filesystem::path> QtDialogs::SaveFile(const std::string& title, const std::string& filter,
                                                         const std::string& defaultExtension,
                                                         const std::filesystem::path& folder) {
    QFileDialog dialog(parent_, Q(title), Folder(folder), QtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(Q(defaultExtension));
    const bool accepted = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    return Chosen(accepted ? dialog.selectedFiles().front() : QString());
}

std::optional<std::filesystem::path> QtDialogs::ChooseFolder(const std::string& title,
                                                             const std::filesystem::path& folder) {
    return Chosen(QFileDialog::getExistingDirectory(parent_, Q(title), Folder(folder)));
}

}  // namespace corvel::ui
