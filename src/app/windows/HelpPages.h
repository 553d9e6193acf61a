// The help pages shipped with the program and the help view laid over the main window: which page
// it opens, and whether the network dialog was hidden to show that dialog's page. One help view at
// a time: every open is refused while one is shown, and only "Fermer l'aide" closes it. Going back
// and forward in the pages read is the view's own history.
#pragma once

#include <filesystem>
#include <string_view>

#include "app/windows/Controls.h"

namespace corvel::app {

enum class HelpPage {
    NetworkLink,    // menu "WiFi"
    NetworkDialog,  // "AIDE" of the network dialog
    Topics,         // "Aide" > "Aide par rubrique"
    General,        // "Aide" > "Généralités"
};

// The page's file, below the program's data folder.
std::filesystem::path HelpFile(HelpPage page);

class HelpViewer {
public:
    // `programFolder`: where Help/ is. `networkDialogVisible`: the network dialog model's own flag,
    // which its help page clears and "Fermer l'aide" sets again.
    HelpViewer(std::filesystem::path programFolder, bool& networkDialogVisible);

    void AideWifiClick() { Open(HelpPage::NetworkLink); }
    void parRubriqueClick() { Open(HelpPage::Topics); }
    void GENERALITESClick() { Open(HelpPage::General); }
    void UtilWifiHELP() { Open(HelpPage::NetworkDialog); }
    void BtCloseHelpClick();

    bool Open() const { return BtCloseHelp.visible; }
    // The page the view shows while help is open (a missing file too: the view says so).
    std::filesystem::path Page;
    bool HelpHidWifiDialog = false;
    // "Fermer l'aide", "RETOUR", "AVANCE": shown only while help is open.
    Button BtCloseHelp{
        .caption = "Fermer l'aide", .enabled = true, .visible = false, .fill = colours::Default, .hint = {}};
    Button BtGoBackHELP{.caption = "RETOUR", .enabled = true, .visible = false, .fill = colours::Default, .hint = {}};
    Button BtAvanceHelp{.caption = "AVANCE", .enabled = true, .visible = false, .fill = colours::Default, .hint = {}};
    std::uint64_t Revision = 0;  // moves at every open and close

private:
    void Open(HelpPage page);

    std::filesystem::path programFolder_;
    bool& networkDialogVisible_;
};

}  // namespace corvel::app
