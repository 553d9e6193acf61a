// The main window's links and recording: the serial port list, rate list and reset, the WiFi
// switch and button, and the saving of the two sentence logs.
#include <charconv>

#include "app/windows/MainWindowModel.h"
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

void TFCorvel::SerialFailed() {
    SwActivNMEA_com.isChecked = false;
    CBCom.itemIndex = -1;  // choosing the port again opens it again
    SwActivNMEA_comEnable();
}

void TFCorvel::CBComSelect() {
    const int index = CBCom.itemIndex;
    if (index < 0 || index >= static_cast<int>(kComNames.size())) return;
    const std::string rateText = CBbauds.text();
    int rate = 4800;  // no rate chosen: the NMEA 0183 rate
    if (!rateText.empty()) std::from_chars(rateText.data(), rateText.data() + rateText.size(), rate);
    if (Out.OpenSerial(kComNames[static_cast<size_t>(index)], rate)) {
        EdMouch.text = "COM VALIDE";
    } else {
        dialogs_.ShowMessage(kComUnavailable);
    }
    SwActivNMEA_comEnable();
}

void TFCorvel::SwActivNMEA_comEnable() {
    SwActivNMEA_com.enabled = Out.SerialOpen() && CBbauds.itemIndex >= 0 && CBCom.itemIndex >= 0;
}

void TFCorvel::RAZComClick() {
    Out.CloseSerial();
    MemoNMEA.Clear();
    SwActivNMEA_com.isChecked = false;
    CBCom.itemIndex = -1;
    CBbauds.enabled = true;
    SwActivNMEA_comEnable();
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
