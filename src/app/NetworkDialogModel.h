// The network dialog "PARAMETRES WIFI  pour TRANSMISSION NMEA" as a model: TCP server or UDP
// broadcast, its address and port fields, its check boxes, its status texts and those of the main
// window, and the sending of each sentence. The sockets go through NetLink, which links/ implements
// with Qt (all on the user-interface thread) and tests with doubles or loopback sockets.
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

#include "app/Controls.h"
#include "app/Dialogs.h"
#include "app/Links.h"
#include "app/WindowInterfaces.h"

namespace corvel::app {

// "a.b.c.d", four decimal numbers 0..255 of one to three digits; blanks around the whole are
// ignored. Nothing for anything else ("192.168.1", "1.2.3.256", "host.local", "").
std::optional<std::array<int, 4>> ParseIPv4(std::string_view text);
// The address with its last number replaced by 255 ("192.168.137.1" -> "192.168.137.255");
// nothing when the text is not a dotted IPv4 address.
std::optional<std::string> BroadcastAddress(std::string_view text);
// A port number 1..65535 written as a decimal integer (blanks around ignored); nothing otherwise.
std::optional<int> ParsePort(std::string_view text);

// A TCP connection as the server sees it.
struct TcpPeer {
    std::string peerAddress;
    int peerPort = 0;
    std::string localAddress;
    int localPort = 0;
};

// What the sockets report to the dialog.
class NetLinkEvents {
public:
    virtual ~NetLinkEvents() = default;
    // A client connected; it is now the one that receives the sentences.
    virtual void IdTCPServerNMEAConnect(const TcpPeer& peer) = 0;
};

// The sockets: a TCP server whose last connected client (or every client) receives the
// sentences, and datagrams.
class NetLink {
public:
    enum class SendStatus { Sent, Lost, Error };
    struct SendResult {
        SendStatus status = SendStatus::Sent;
        std::string error;  // with Error: the system's reason
    };

    virtual ~NetLink() = default;
    virtual void SetEvents(NetLinkEvents* events) = 0;
    // Listens on `port` of every local IPv4 address (already listening there: nothing changes);
    // false with the system's reason.
    virtual bool StartServer(int port, std::string& error) = 0;
    // Stops listening and closes every connection.
    virtual void StopServer() = 0;
    virtual bool ServerListening() const = 0;
    // Sends to the last connected client, or to every connected client once SetEveryClient(true).
    // Lost when it is gone (every client is: none is left): it closed, failed, or was dropped
    // because it does not read what it is sent.
    virtual SendResult SendToClient(std::string_view bytes) = 0;
    // Whether SendToClient sends to every connected client (each with its own bounded queue)
    // instead of the last connected one only; false at first.
    virtual void SetEveryClient(bool every) = 0;
    // Closes the connection of the last connected client, if there is one.
    virtual void CloseClient() = 0;
    // One datagram to `address` ("a.b.c.d"); false with the system's reason.
    virtual bool SendDatagram(std::string_view bytes, const std::string& address, int port, std::string& error) = 0;
    // The machine's own IPv4 addresses ("a.b.c.d") on the interfaces that are up, the loopback's
    // last; none when the link cannot tell.
    virtual std::vector<std::string> LocalAddresses() const { return {}; }
};

enum class TWifiProtocol { TCP, UDP };

class TFParamWIFI : public NetOutput, public NetworkSettings, public NetLinkEvents {
public:
    // The hidden list of connections keeps this many lines, the newest.
    static constexpr size_t kMemo1Lines = 100;

    // The dialog takes the address and port fields' first texts as they are here; a settings
    // loader that sets EdAdIP and EdPort afterwards calls FormCreate again. `window` shows the
    // connection's state and learns when the network is launched.
    TFParamWIFI(MainWindowLabels& window, Dialogs& dialogs);
    TFParamWIFI(const TFParamWIFI&) = delete;
    TFParamWIFI& operator=(const TFParamWIFI&) = delete;
    ~TFParamWIFI() override;

    // The sockets, given once by whoever assembles the program (the window's view or the headless
    // runner) before the first launch; without a link a launch says « pas de réseau » and no
    // sentence is sent. The link must outlive the dialog (or be unset first). The dialog receives
    // its connection events.
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
    void ChkCRLFClick() { SaveDataWifi(); }
    void SaveDataWifi();
    void Show() override;
    // What a configuration saves: the unit's address, the port and whether datagrams end in CR LF.
    std::string Address() const override { return UnitAddress; }
    std::string Port() const override { return EdPort.text; }
    bool DatagramLineEnds() const override { return ChkCRLF.checked; }

    // One sentence: a datagram without line end (with CR LF once "CR LF en fin de trame" is
    // ticked), or a line ending in CR LF to the TCP client.
    // Errors of the TCP path stay here; a failing datagram send is Failed the first time (the
    // emitter reports it and ends the group), then dropped quietly until a send succeeds again.
    WriteResult TransmitSentence(std::string_view sentence) override;

    // --- connection events
    void IdTCPServerNMEAConnect(const TcpPeer& peer) override;
    void IdTCPServerNMEADisConnect();  // drops the active client

    // --- state
    TWifiProtocol WifiProtocol = TWifiProtocol::TCP;
    std::string UnitAddress;
    bool TcpClientConnected = false;
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
    void ClientLost();
    void StopDatagrams();
    void AddMemo1(std::string line);

    MainWindowLabels& window_;
    Dialogs& dialogs_;
    NetLink* net_ = nullptr;
    struct Destination {
        std::string address;
        int port = 0;
    };
    std::optional<Destination> datagramDestination_;  // set by a UDP launch: broadcasting allowed
    std::string datagram_;                            // a sentence and its CR LF, sent as one datagram
    bool sendFailing_ = false;                        // the last send failed: the next failures stay quiet
};

}  // namespace corvel::app
