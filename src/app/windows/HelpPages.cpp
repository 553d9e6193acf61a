#include "app/windows/HelpPages.h"

#include <array>
#include <utility>

namespace corvel::app {

namespace {

struct PageFile {
    HelpPage page;
    const char* file;
};
constexpr std::array<PageFile, 4> kPages{{
    {HelpPage::NetworkLink, "CVN_ConnexWifi_p1.html"},
    {HelpPage::NetworkDialog, "CVN_ConnexWIFI_p3.html"},
    {HelpPage::Topics, "CVN_Aide par rubrique.html"},
    {HelpPage::General, "CVN_generalites.html"},
}};

}  // namespace

std::filesystem::path HelpFile(HelpPage page) {
    for (const PageFile& p : kPages) {
        if (p.page == page) return std::filesystem::path("Help") / p.file;
    }
    return {};
}

HelpViewer::HelpViewer(std::filesystem::path programFolder, bool& networkDialogVisible)
    : programFolder_(std::move(programFolder)), networkDialogVisible_(networkDialogVisible) {}

void HelpViewer::Open(HelpPage page) {
    if (Open()) return;
    BtCloseHelp.visible = BtGoBackHELP.visible = BtAvanceHelp.visible = true;
    Page = programFolder_ / HelpFile(page);
    if (page == HelpPage::NetworkDialog) {
        HelpHidWifiDialog = true;
        networkDialogVisible_ = false;
    }
    ++Revision;
}

void HelpViewer::BtCloseHelpClick() {
    if (HelpHidWifiDialog) {
        networkDialogVisible_ = true;
        HelpHidWifiDialog = false;
    }
    Page.clear();
    BtCloseHelp.visible = BtGoBackHELP.visible = BtAvanceHelp.visible = false;
    ++Revision;
}

}  // namespace corvel::app
