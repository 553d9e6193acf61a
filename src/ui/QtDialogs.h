// The modal exchanges with the user as Qt dialogs: message boxes, the Yes/No question (Yes is the
// default button), and the file and folder choosers with the filters and start folders the window
// models give.
#pragma once

#include <QLibraryInfo>
#include <QString>
#include <QWidget>

#include "app/program/Dialogs.h"

namespace corvel::ui {

class QtDialogs : public app::Dialogs {
public:
    // `parent`: the window the dialogs are centred on (none until the main window exists).
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    void ShowMessage(const std::string& text) override;
    // "O" for Yes, "N" for No, "" when the box is closed otherwise (Escape, the close box).
    std::string GetConfirmation(const std::string& question) override;
    std::optional<std::filesystem::path> OpenFile(const std::string& title, const std::string& filter,
                                                  const std::filesystem::path& folder) override;
    std::optional<std::filesystem::path> SaveFile(const std::string& title, const std::string& filter,
                                                  const std::string& defaultExtension,
                                                  const std::filesystem::path& folder) override;
    std::optional<std::filesystem::path> ChooseFolder(const std::string& title,
                                                      const std::filesystem::path& folder) override;

private:
    QWidget* parent_;
};

// Gives Qt's own texts in French (the file choosers' "Look in", "Cancel", "... already exists. Do
// you want to replace it?"): loads qtbase_fr.qm from `folder`, Qt's translations by default, for
// the running application. Returns "", or the French notice naming the file that could not be
// loaded (the texts then stay Qt's English ones).
std::string InstallQtFrenchTranslations(const QString& folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath));

// A filter as the models write it, "Description|*.ext" (pairs may follow, "|" between them), in
// Qt's form, "Description (*.ext);;...".
QString QtFilter(const std::string& filter);

// The program's text as Qt's, and back (UTF-8 both ways).
inline QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
inline std::string S(const QString& text) { return text.toStdString(); }

}  // namespace corvel::ui
