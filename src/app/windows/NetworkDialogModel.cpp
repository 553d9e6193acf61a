// The network dialog; see NetworkDialogModel.h.
#include "app/windows/NetworkDialogModel.h"

#include <algorithm>
#include <charconv>

#include "app/program/ConfigFiles.h"
#include "config/IniFile.h"

namespace corvel::app {

namespace {

constexpr const char* kNoStatus = "-*-*-*-*-*-";
// Between the two parts of a label: they show on two lines.
constexpr const char* kLabelBreak = "\n";

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// A decimal number of 1..maxDigits digits, nothing else (no sign).
std::optional<int> Decimal(std::string_view text, size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits) return std::nullopt;
    if (!std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) return std::nullopt;
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// The explanation labels, for this system: the machine's hotspot and its address as Linux shows
// them, the address picked from the list of the machine's own addresses beside the field. Two of
// them have two parts, on two lines.
struct Explanation {
    Label TFParamWIFI::*label;
    const char* first;
    const char* second;  // or none
};
const Explanation kExplanations[] = {
    {&TFParamWIFI::Lab2TCP, "Adresse IP de cette unité -", "Interface réseau sans fil (wlan0, wlp...)"},
    {&TFParamWIFI::Lab3TCP,
     "pour mémoire - il faut se connecter manuellement.  Lancer d'abord le point d'accès Wi-Fi de la machine "
     "(Paramètres > Wi-Fi, ou nmcli device wifi hotspot) et récupérer ensuite son adresse dans la liste des "
     "adresses de cette machine (ou par ip -4 addr).  Modifier ci-dessous l'adresse si elle est différente.",
     nullptr},
    {&TFParamWIFI::Lab4TCP, "L'adresse et le port ci-dessous sont à entrer sur le récepteur distant", nullptr},
    {&TFParamWIFI::Lab2UDP, "Adresse IP de BROADCAST adaptée de  -", "Interface réseau sans fil (wlan0, wlp...)"},
};

constexpr const char* kAddressListHint =
    "Adresses IPv4 de cette machine : pendant la modification de l'adresse, choisir celle du point d'accès Wi-Fi";

std::string InvalidAddressMessage(const std::string& text) {
    return "Adresse IP invalide : \"" + text +
           "\". Entrer quatre nombres de 0 à 255 séparés par des points, par exemple 192.168.137.1 ; "
           "aucune diffusion n'est faite.";
}

std::string InvalidPortMessage(const std::string& text) {
    return "Port invalide : \"" + text + "\". Entrer un nombre entier de 1 à 65535 ; le serveur n'est pas lancé.";
}

}  // namespace

std::optional<std::array<int, 4>> ParseIPv4(std::string_view text) {
    text = Trim(text);
    std::array<int, 4> parts{};
    for (size_t i = 0; i < parts.size(); ++i) {
        const size_t dot = i + 1 < parts.size() ? text.find('.') : text.size();
        if (dot == std::string_view::npos) return std::nullopt;
        const auto value = Decimal(text.substr(0, dot), 3);
        if (!value || *value > 255) return std::nullopt;
        parts[i] = *value;
        text.remove_prefix(std::min(dot + 1, text.size()));
    }
    return parts;
}

std::optional<std::string> BroadcastAddress(std::string_view text) {
    const auto a = ParseIPv4(text);
    if (!a) return std::nullopt;
    return std::to_string((*a)[0]) + "." + std::to_string((*a)[1]) + "." + std::to_string((*a)[2]) + ".255";
}

std::optional<int> ParsePort(std::string_view text) {
    const auto port = Decimal(Trim(text), 5);
    if (!port || *port < 1 || *port > 65535) return std::nullopt;
    return port;
}

TFParamWIFI::TFParamWIFI(MainWindowLabels& window, Dialogs& dialogs, Transmission& transmission)
    : window_(window), dialogs_(dialogs), out_(transmission) {
    EdAdIP.text = "192.168.137.1";
    EdAdIP.readOnly = true;
    EdPort.text = "10110";
    EdStatus.text = kNoStatus;
    BtLanceServeur.caption = "LANCER LE SERVEUR";
    BtModAdIP.caption = "Modifier l'adresse IP";
    BtParamWIFIOk.caption = "OK";
    BtUtilWIFI.caption = "AIDE";
    for (const Explanation& e : kExplanations) {
        (this->*e.label).text = e.second ? std::string(e.first) + kLabelBreak + e.second : std::string(e.first);
    }
    CBAdIP.enabled = false;
    CBAdIP.hint = kAddressListHint;
    FormCreate();
}

TFParamWIFI::~TFParamWIFI() {
    if (net_) SetNetLink(nullptr);
    out_.ShowNetwork(nullptr);
}

void TFParamWIFI::SetNetLink(NetLink* link) {
    net_ = link;
    out_.ShowNetwork(this);
    out_.SetEveryClient(ChkTousClients.checked);
    out_.SetTcpLink(link);
    out_.SetDatagramLink(link);
    out_.SetDatagramLineEnds(ChkCRLF.checked);
}

void TFParamWIFI::FormCreate() {
    WifiProtocol = Protocole();
    UnitAddress = EdAdIP.text;
    FormPAint();
}

void TFParamWIFI::FormPAint() {
    const bool tcp = WifiProtocol == TWifiProtocol::TCP;
    Lab2TCP.visible = Lab3TCP.visible = Lab4TCP.visible = tcp;
    Lab2UDP.visible = !tcp;
    ChkTousClients.enabled = tcp;
    ChkCRLF.enabled = !tcp;
    if (!tcp) FormatAdIPUDPBroadcast();
}

TWifiProtocol TFParamWIFI::Protocole() {
    if (RadioButtonUDP.checked && !RadioButtonTCP.checked) {
        FormatAdIPUDPBroadcast();
        return TWifiProtocol::UDP;
    }
    return TWifiProtocol::TCP;
}

bool TFParamWIFI::FormatAdIPUDPBroadcast() {
    const auto broadcast = BroadcastAddress(EdAdIP.text);
    if (!broadcast) return false;
    EdAdIP.text = *broadcast;
    return true;
}

void TFParamWIFI::SetConnex(std::string text) { window_.ShowConnection(std::move(text)); }

void TFParamWIFI::RadioButtonTCPChange() {
    RadioButtonTCP.checked = true;
    RadioButtonUDP.checked = false;
    WifiProtocol = TWifiProtocol::TCP;
    EdAdIP.text = UnitAddress;
    if (out_.SendingDatagrams()) {
        out_.StopDatagrams();
        EdStatus.text = kNoStatus;
        SetConnex("Pas de connexion");
    }
    FormPAint();
}

void TFParamWIFI::RadioButtonUDPChange() {
    RadioButtonUDP.checked = true;
    RadioButtonTCP.checked = false;
    WifiProtocol = TWifiProtocol::UDP;
    if (out_.TcpServerListening()) {
        out_.StopTcpServer();
        EdStatus.text = kNoStatus;
        SetConnex("Pas de diffusion");
    }
    FormPAint();
}

void TFParamWIFI::BtLanceServeurClick() {
    window_.SetNetworkActive();
    WifiProtocol = Protocole();
    if (WifiProtocol == TWifiProtocol::TCP) {
        const auto port = ParsePort(EdPort.text);
        if (!port) {
            dialogs_.ShowMessage(InvalidPortMessage(EdPort.text));
            return;
        }
        if (!out_.StartTcpServer(*port)) return;
        EdStatus.text = "SERVEUR TCP lancé";
        return;
    }
    IdTCPServerNMEADisConnect();
    out_.StopTcpServer();
    const auto port = ParsePort(EdPort.text);
    if (!port) {
        dialogs_.ShowMessage(InvalidPortMessage(EdPort.text));
        return;
    }
    const auto address = BroadcastAddress(EdAdIP.text);
    if (!address) {
        // Nothing is broadcast to an address that is none, nor any longer to the one before.
        out_.StopDatagrams();
        EdStatus.text = kNoStatus;
        SetConnex("Pas de diffusion");
        dialogs_.ShowMessage(InvalidAddressMessage(EdAdIP.text));
        return;
    }
    out_.SetDatagramLineEnds(ChkCRLF.checked);
    out_.StartDatagrams(*address, *port);
    EdStatus.text = "SERVEUR UDP initialisé";
    SetConnex("Diffusion UDP");
}

void TFParamWIFI::BtModAdIPClick() {
    if (BtModAdIP.caption != "Confirmer l'adresse") {
        EdAdIP.readOnly = false;
        CBAdIP.enabled = true;
        BtModAdIP.caption = "Confirmer l'adresse";
        ListLocalAddresses();
        return;
    }
    BtModAdIP.caption = "Modifier l'adresse";
    EdAdIP.readOnly = true;
    CBAdIP.enabled = false;
    if (WifiProtocol == TWifiProtocol::TCP) UnitAddress = EdAdIP.text;
    SaveDataWifi();
}

void TFParamWIFI::CBAdIPSelect() {
    if (EdAdIP.readOnly || CBAdIP.text().empty()) return;
    EdAdIP.text = CBAdIP.text();
}

void TFParamWIFI::ListLocalAddresses() {
    CBAdIP.items = net_ ? net_->LocalAddresses() : std::vector<std::string>{};
    const auto shown = std::find(CBAdIP.items.begin(), CBAdIP.items.end(), Trim(EdAdIP.text));
    CBAdIP.itemIndex = shown == CBAdIP.items.end() ? -1 : static_cast<int>(shown - CBAdIP.items.begin());
}

void TFParamWIFI::Show() {
    Visible = true;
    ListLocalAddresses();
}

void TFParamWIFI::BtUtilWIFIClick() {
    if (OpenHelp) OpenHelp();
}

void TFParamWIFI::ChkTousClientsClick() { out_.SetEveryClient(ChkTousClients.checked); }

void TFParamWIFI::ChkCRLFClick() {
    out_.SetDatagramLineEnds(ChkCRLF.checked);
    SaveDataWifi();
}

void TFParamWIFI::SaveDataWifi() {
    UpdateSettings(dialogs_, SettingsPath, [this](config::IniFile& file) {
        file.WriteString("WIFI", "iAdIP", UnitAddress);
        file.WriteString("WIFI", "iPort", EdPort.text);
        file.WriteBool("WIFI", "iUDPCRLF", ChkCRLF.checked);
    });
}

void TFParamWIFI::AddMemo1(std::string line) {
    Memo1.push_back(std::move(line));
    while (Memo1.size() > kMemo1Lines) Memo1.pop_front();
}

void TFParamWIFI::IdTCPServerNMEAConnect(const TcpPeer& peer) {
    SetConnex("Client connecté : " + peer.peerAddress);
    AddMemo1("Peer=" + peer.peerAddress + ":" + std::to_string(peer.peerPort));
    AddMemo1("Local=" + peer.localAddress + ":" + std::to_string(peer.localPort));
}

void TFParamWIFI::IdTCPServerNMEADisConnect() {
    out_.CloseTcpClient();
    SetConnex("Client déconnecté : ");
}

void TFParamWIFI::ClientLost() { SetConnex("Client déconnecté : "); }

}  // namespace corvel::app
