// The main window's links and recording: the serial port list, rate list and reset, the WiFi
// switch and button, and the saving of the two sentence logs.
#include <charconv>

#include "app/MainWindowModel.h"
#include "config/AtomicWrite.h"

namespace corvel::app {

namespace {

constexpr const char* kComUnavailable =
    " Ce Com n'est pas disponible sur la machine : choisir un com disponible dans le gestionnaire de périphériques";

}  // namespace

// ---------------------------------------------------------------- serial link

void TFCorvel::RefreshComList() {
    const int index = CBCom.itemIndex;
    CBCom.items.assign(kComNames.begin(), kComNames.end());
    const auto paths = ComPorts.DevicePaths();
    for (size_t i = 0; i < paths.size(); ++i) {
        if (!paths[i].empty()) CBCom.items[i] += "  (" + paths[i] + ")";
    }
    CBCom.itemIndex = index;
}

bool TFCorvel::OpenComPort(std::string_view name, int baudRate) {
    return ComPorts.OpenComPort(name, baudRate, Parity::None, 8, StopBits::One);
}

WriteResult TFCorvel::WriteComText(std::string_view text) {
    WriteResult r = ComPorts.WriteComText(text);
    if (r.status == WriteResult::Status::Failed) {
        // The device is gone: the link closes once, the simulation goes on.
        ComLinkOpen = false;
        ComLinkValid = false;
        SwActivNMEA_com.isChecked = false;
        CBCom.itemIndex = -1;  // choosing the port again opens it again
        SwActivNMEA_comEnable();
        EndSerialStall();
    }
    return r;
}

void TFCorvel::EndSerialStall() {
    if (!serialStalled_) return;
    serialStalled_ = false;
    ShowLinkStatus();
}

void TFCorvel::CloseComPort(std::string_view name) { ComPorts.CloseComPort(name); }

void TFCorvel::CBComSelect() {
    const int index = CBCom.itemIndex;
    if (index < 0 || index >= static_cast<int>(kComNames.size())) return;
    // The port open until now is closed first: it is never written to again, and the same port
    // chosen again (another rate) can then be opened.
    if (ComLinkOpen) CloseComPort(kComNames[static_cast<size_t>(LastComIndex)]);
    EndSerialStall();
    serialLost_ = 0;
    const std::string rateText = CBbauds.text();
    int rate = 4800;  // no rate chosen: the NMEA 0183 rate
    if (!rateText.empty()) std::from_chars(rateText.data(), rateText.data() + rateText.size(), rate);
    ComLinkOpen = OpenComPort(kComNames[static_cast<size_t>(index)], rate);
    ComLinkValid = ComLinkOpen;
    if (ComLinkOpen) {
        EdMouch.text = "COM VALIDE";
        LastComIndex = index;
    } else {
        dialogs_.ShowMessage(kComUnavailable);
    }
    SwActivNMEA_comEnable();
}

void TFCorvel::SwActivNMEA_comEnable() {
    SwActivNMEA_com.enabled = ComLinkOpen && CBbauds.itemIndex >= 0 && CBCom.itemIndex >= 0;
}

void TFCorvel::SwActivNMEA_comSwitch() {
    // The switch only shows the user's choice: sending depends on the open port alone.
}

void TFCorvel::RAZComClick() {
    CloseComPort(kComNames[static_cast<size_t>(LastComIndex)]);
    ComLinkOpen = false;
    ComLinkValid = false;
    MemoNMEA.Clear();
    SwActivNMEA_com.isChecked = false;
    CBCom.itemIndex = -1;
    CBbauds.enabled = true;
    SwActivNMEA_comEnable();
    EndSerialStall();
}

// ---------------------------------------------------------------- network link

void TFCorvel::SpBtZoomNMEAClick() {
    NmeaListZoomed = !NmeaListZoomed;
    SpBtZoomNMEA.caption = NmeaListZoomed ? "-" : "+";
    EdCAP.visible = SBtVire.visible = SBtEmp.visible = !NmeaListZoomed;
    Changes.Bump(ControlGroup::Transmission);
    Changes.Bump(ControlGroup::Compass);
    Changes.Bump(ControlGroup::Pilot);
}

void TFCorvel::SwWIFISwitch() { BtParamWIFI.enabled = SwWIFI.isChecked; }

void TFCorvel::BtParamWIFIClick() {
    if (S.Paused) FParamWIFI.Show();
}

// ---------------------------------------------------------------- recording

void TFCorvel::SaveNmeaLog(const TextLog& log) {
    std::optional<std::filesystem::path> path =
        dialogs_.SaveFile("Sauvegarde NMEA", "Fichier texte NMEA|*.txt", "txt", SettingsFolder());
    if (!path) return;
    if (!path->has_extension()) path->replace_extension(".txt");
    const config::FileWriteResult written = config::WriteFileAtomically(*path, log.Text("\r\n"));
    ReportSave(dialogs_, written, *path, "Impossible d'enregistrer " + path->string() + " : ");
}

void TFCorvel::MenuSvrawClick() { SaveNmeaLog(MemoNMEA); }

void TFCorvel::MenuSvTimstClick() { SaveNmeaLog(MemoNMEAHMS); }

}  // namespace corvel::app
