// Qt's own texts in French: the file choosers' labels and buttons and their overwrite question,
// once the program has loaded Qt's translations, and the notice naming the file when they cannot
// be found.
#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTranslator>

#include "support/GuiApplication.h"
#include "support/TempFolder.h"
#include "ui/QtDialogs.h"

using namespace corvel;

namespace {

struct ChooserTexts {
    QString lookIn, cancel;
};

ChooserTexts SaveChooserTexts() {
    QFileDialog dialog(nullptr, QStringLiteral("Enregistrer"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    const auto* lookIn = dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"));
    const auto* buttons = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    if (!lookIn || !buttons) return {};
    return {lookIn->text(), buttons->button(QDialogButtonBox::Cancel)->text().remove(QLatin1Char('&'))};
}

QString OverwriteQuestion() {
    return QCoreApplication::translate("QFileDialog", "%1 already exists.\nDo you want to replace it?")
        .arg(QStringLiteral("trace.txt"));
}

// Removes the translators the program installed, so that the other tests of this executable see
// Qt's texts as they were.
void RemoveTranslators() { qDeleteAll(QCoreApplication::instance()->findChildren<QTranslator*>()); }

TEST(QtFrench, TheFileChoosersSpeakFrenchOnceQtsTranslationsAreLoaded) {
    test::GuiApplication();
    const test::TempFolder empty;
    const QString nowhere = QString::fromStdString(empty.path().string());
    EXPECT_EQ(ui::InstallQtFrenchTranslations(nowhere),
              "Traductions françaises de Qt introuvables : " + (empty.path() / "qtbase_fr.qm").string() +
                  " ; les boîtes de choix de fichiers resteront en anglais (paquet qt6-translations-l10n).");
    EXPECT_EQ(SaveChooserTexts().cancel, QStringLiteral("Cancel"));

    ASSERT_EQ(ui::InstallQtFrenchTranslations(), "");
    const ChooserTexts french = SaveChooserTexts();
    EXPECT_EQ(french.cancel, QStringLiteral("Annuler"));
    EXPECT_NE(french.lookIn, QStringLiteral("Look in:"));
    EXPECT_FALSE(french.lookIn.isEmpty());
    EXPECT_EQ(OverwriteQuestion(), QStringLiteral("Le fichier trace.txt existe déjà\nVoulez-vous l'écraser ?"));
    RemoveTranslators();
}

}  // namespace
