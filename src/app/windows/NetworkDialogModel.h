// The network dialog "PARAMETRES WIFI  pour TRANSMISSION NMEA" as a model: TCP server or UDP
// broadcast, its address and port fields, its check boxes, its status texts and those of the main
// window. It launches and stops the transmission's network and shows its connections; the
// transmission sends the sentences. The sockets go through NetLink, which links/ implements with Qt
// (all on the user-interface thread) and tests with doubles or loopback sockets.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/program/Dialogs.h"
#include "app/transmission/Links.h"
#include "app/transmission/Transmission.h"
#include "app/windows/Controls.h"
#include "app/windows/WindowInterfaces.h"

namespace corvel::app {

// "a.b.c.d", four decimal numbers 0..255 of one to three digits; blanks around the whole are
// ignored. Nothing for anything else ("192.168.1", "1.2.3.256", "host.local", "").
std::optional<std::array<int, 4>> ParseIPv4(std::string_view text);
// The address with its last number replaced by 255 ("192.168.137.1" -> "192.168.137.255");
// nothing when the text is not a dotted IPv4 address.
std::optional<std::string> BroadcastAddress(std::string_view text);
// A port number 1..65535 written as a decimal integer (blanks around ignored); nothing otherwise.
std::optional<int> ParsePort(std::string_view text);

enum class TWifiProtocol { TCP, UDP };

class TFParamWIFI : public NetworkSettings, public NetLinkEvents {
public:
    // The hidden list of connections keeps this many lines, the newest.
    static constexpr size_t kMemo1Lines = 100;

    // The dialog takes the address and port fields' first texts as they are here; a settings
    // loader that sets EdAdIP and EdPort afterwards calls FormCreate again. `window` shows the
    // connection's state and learns when the network is launched; `transmission` sends the sentences
    // and tells the dialog of its connections.
    TFParamWIFI(MainWindowLabels& window, Dialogs& dialogs, Transmission& transmission);
    TFParamWIFI(const TFParamWIFI&) = delete;
    TFParamWIFI& operator=(const TFParamWIFI&) = delete;
    ~TFParamWIFI() override;

    // The sockets, given once by whoever assembles the program (the window's view or the headless
    // runner) before the first launch; without a link a launch says « pas de réseau » and no
    // sentence is sent. The link must outlive the dialog (or be unset first). The transmission
    // serves TCP and datagrams on it and passes its connection events on to the dialog.
    void SetNetLink(NetLink* link);

    // --- handlers
    void FormCreate();
    void FormPAint();
    TWifiProtocol Protocole();
    // The user chose TCP / UDP.
    void RadioButtonTCPChange();
    void RadioButtonUDPChange();
    // Writes the broadcast address of the address field into it; false (field unchanged) when the
    // field is not a dotted IPv4 address.
    bool FormatAdIPUDPBroadcast();
    void BtLanceServeurClick();  // "LANCER LE SERVEUR"
    void BtModAdIPClick();       // "Modifier l'adresse IP" / "Confirmer l'adresse"
    // The user chose one of the machine's addresses in CBAdIP: while the address is being
    // modified it goes into the address field (confirmed as a typed one); otherwise nothing.
    void CBAdIPSelect();
    // CBAdIP lists the machine's addresses as the link finds them now (opening the dialog and
    // starting a modification call it: a hotspot started since then shows).
    void ListLocalAddresses();
    void EdPortExit() { SaveDataWifi(); }
    void ParamWIFIOkClick() { Visible = false; }
    void BtUtilWIFIClick();  // "AIDE"
    // "Tous les clients": the TCP server sends each sentence to every connected client, or to the
    // last connected one only (unticked, at first).
    void ChkTousClientsClick();
    // "CR LF en fin de trame": each UDP datagram is the sentence followed by CR LF (gpsd reads only
    // whole lines), or the sentence alone (unticked, at first); saved with the address and port.
    void ChkCRLFClick();
    void SaveDataWifi();
    void Show() override;
    // What a configuration saves: the unit's address, the port and whether datagrams end in CR LF.
    std::string Address() const override { return UnitAddress; }
    std::string Port() const override { return EdPort.text; }
    bool DatagramLineEnds() const override { return ChkCRLF.checked; }

    // --- connection events, shown
    void IdTCPServerNMEAConnect(const TcpPeer& peer) override;
    void ClientLost() override;
    void IdTCPServerNMEADisConnect();  // drops the active client

    // --- state
    TWifiProtocol WifiProtocol = TWifiProtocol::TCP;
    std::string UnitAddress;
    // The start-up settings file that "iAdIP", "iPort" and "iUDPCRLF" are saved into (section
    // "WIFI"); empty: nothing is saved. A settings file that is refused is not saved over: a message
    // says why.
    std::filesystem::path SettingsPath;
    // Opens the dialog's help page (the help viewer's, set by the window).
    std::function<void()> OpenHelp;

    // --- controls
    std::string Caption = "PARAMETRES WIFI  pour TRANSMISSION NMEA";
    bool Visible = false;
    RadioButton RadioButtonTCP{.checked = true, .enabled = true, .hint = {}}, RadioButtonUDP;
    EditField EdAdIP, EdPort, EdStatus;
    ComboBox CBAdIP;          // the machine's own IPv4 addresses, to pick from beside the typed one
    CheckBox ChkTousClients;  // "Tous les clients": TCP only
    CheckBox ChkCRLF;         // "CR LF en fin de trame": UDP only
    Button BtLanceServeur, BtModAdIP, BtParamWIFIOk, BtUtilWIFI;
    Label Lab2TCP, Lab3TCP, Lab4TCP, Lab2UDP;
    std::deque<std::string> Memo1;  // "Peer=..." and "Local=..." of each connection

private:
    void SetConnex(std::string text);
    void AddMemo1(std::string line);

    MainWindowLabels& window_;
    Dialogs& dialogs_;
    Transmission& out_;
    NetLink* net_ = nullptr;
};

}  // namespace corvel::app
