// The way out of a sentence: the emitter, the injected faults and the outputs, in one ordered
// list: the sentence log the window shows, the network, the serial port, standard output and the
// time-stamped log. Each output is told the sentence's kind along with its text (none for injected
// garbage); the first output that fails ends the group. No window: the window models show its
// state (TransmissionEvents) and call it (open and close the serial port, the network, the logs);
// the headless run opens its links through it directly.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>

#include "app/program/Clock.h"
#include "app/program/Dialogs.h"
#include "app/transmission/Links.h"
#include "app/transmission/SerialPorts.h"
#include "app/transmission/TextLog.h"
#include "nmea/FaultInjector.h"
#include "nmea/NmeaBuilders.h"
#include "nmea/SentenceEmitter.h"
#include "sim/SimulationState.h"
#include "sim/TimerSet.h"

namespace corvel::app {

// A sentence's kind; none for a line that is no sentence of the catalogue (injected garbage).
using SentenceKindOrNone = std::optional<nmea::SentenceKind>;

// What the transmission tells the window that shows it.
class TransmissionEvents {
public:
    virtual ~TransmissionEvents() = default;
    // A line went into the sentence log.
    virtual void SentenceLogged() = 0;
    // The serial port lost a sentence whole; `stallBegins`: the one before went out.
    virtual void SerialSentenceLost(bool stallBegins) = 0;
    // The serial port takes sentences again, was closed or chosen again: the stall is over.
    virtual void SerialStallEnded() = 0;
    // The serial device failed: the port is closed.
    virtual void SerialFailed() = 0;
};

class Transmission {
public:
    // `ports`: the serial ports the serial output writes to; `dialogs`: where a failed link is said.
    Transmission(nmea::NmeaContext& nmea, Dialogs& dialogs, UARTManag& ports);
    Transmission(const Transmission&) = delete;
    Transmission& operator=(const Transmission&) = delete;

    // The window that shows the transmission (none: nothing is shown).
    void Listen(TransmissionEvents* events) { events_ = events; }
    // The wall clock of the sentences and the time stamps (the system's unless set).
    void SetClock(const Clock& clock) { clock_ = &clock; }

    // --- sentences
    // One second: the emitter's next group, with the no-fix window of the injected faults read at
    // `simulatedMillis`.
    void EmitGroup(const sim::SimulationState& state, sim::Millis simulatedMillis);
    // One sentence through the faults and the outputs, as the emitter hands them on; a replayed
    // line goes with no kind. False when an output failed.
    bool Send(SentenceKindOrNone kind, std::string_view sentence);
    // Injected faults: each sentence passes the injector on its way to the outputs; none unless set.
    void SetFaults(const nmea::FaultSettings& settings) { faults_.emplace(settings); }

    nmea::SentenceEmitter Emitter;

    // --- the outputs, in their order
    // The sentence log the window shows, with the transmission error lines.
    TextLog& Log() { return std::get<LogOutput>(outputs_).log; }
    // The network, once opened (a launch of the network dialog, or the headless run's links): a TCP
    // server whose last connected client (or every client) receives each sentence followed by CR
    // LF, and datagrams, one per sentence, to an address and port, the sentence alone or followed
    // by CR LF. Both may run at once, each on its link (the dialog's one link serves both).
    void OpenNetwork() { std::get<NetworkOutput>(outputs_).open = true; }
    bool NetworkOpen() const { return std::get<NetworkOutput>(outputs_).open; }
    // Where the connections are shown (the network dialog); none: nowhere.
    void ShowNetwork(NetLinkEvents* shown) { std::get<NetworkOutput>(outputs_).shown = shown; }
    // The TCP server's sockets (none: no server), whose connection events the transmission receives
    // until another link (or none) is set: whoever gives a link unsets it before the link goes.
    void SetTcpLink(NetLink* link);
    // Listens on `port` of every local IPv4 address; false once the user was told why (« Le serveur
    // TCP ne peut pas écouter sur le port 10110 : ... », the system's reason or « pas de réseau »).
    bool StartTcpServer(int port);
    bool TcpServerListening() const {
        const NetLink* link = std::get<NetworkOutput>(outputs_).tcpLink;
        return link != nullptr && link->ServerListening();
    }
    // Stops listening and closes every connection.
    void StopTcpServer();
    // Closes the connection of the last connected client.
    void CloseTcpClient();
    // Each sentence to every connected client, or to the last connected one only (at first).
    void SetEveryClient(bool every);
    bool TcpClientConnected() const { return std::get<NetworkOutput>(outputs_).clientConnected; }
    // The datagrams' sockets (none: no datagram is sent).
    void SetDatagramLink(NetLink* link) { std::get<NetworkOutput>(outputs_).datagramLink = link; }
    // Datagrams to `address` ("a.b.c.d") and `port` from now on; a failing send is said once, then
    // dropped quietly until a send succeeds again.
    void StartDatagrams(std::string address, int port);
    void StopDatagrams();
    bool SendingDatagrams() const { return std::get<NetworkOutput>(outputs_).destination.has_value(); }
    // Each datagram ends in CR LF (gpsd reads only whole lines), or is the sentence alone (at first).
    void SetDatagramLineEnds(bool lineEnds) { std::get<NetworkOutput>(outputs_).datagramLineEnds = lineEnds; }
    // The serial port: 8 data bits, no parity, one stop bit. Opening closes the port open before
    // (never written to again), ends a stall and counts the lost sentences from zero.
    bool OpenSerial(std::string_view port, int baudRate);
    // Closes the port of the last successful open ("COM1" before any).
    void CloseSerial();
    bool SerialOpen() const { return std::get<SerialOutput>(outputs_).open; }
    const std::string& SerialPort() const { return std::get<SerialOutput>(outputs_).port; }
    // Writes to the open port; a device that failed closes the link (Failed, with its message).
    WriteResult WriteSerial(std::string_view text);
    // The sentences the serial port lost (none of their bytes went out) since it was opened, and
    // whether the last one was lost.
    long long SerialLost() const { return std::get<SerialOutput>(outputs_).lost; }
    bool SerialStalled() const { return std::get<SerialOutput>(outputs_).stalled; }
    // The first sentence the open serial port lost, with the notice that says so (a headless run's
    // standard error).
    std::function<void(const std::string& notice)> OnSerialStall;
    // Every sentence with its kind, after the links (a headless run's standard output).
    std::function<void(SentenceKindOrNone kind, std::string_view sentence)> OnSentence;
    // The time-stamped log: each line as WriteStampedLine writes it.
    TextLog& StampedLog() { return std::get<StampedLogOutput>(outputs_).log; }

private:
    // The emitter's one output: each sentence through the faults and the outputs in one call.
    // What the emitter's output and every output of the list hold: the transmission they belong to.
    struct Output : nmea::SentenceOutput {
        explicit Output(Transmission& t) : transmission(t) {}
        Transmission& transmission;
    };
    struct Fanout final : Output {
        using Output::Output;
        bool Send(SentenceKindOrNone kind, std::string_view sentence) override {
            return transmission.Send(kind, sentence);
        }
    };
    struct LogOutput final : Output {
        using Output::Output;
        bool Send(SentenceKindOrNone kind, std::string_view sentence) override;
        TextLog log;
    };
    // The TCP client's line, then the datagram; the TCP path's errors stay here, a failing datagram
    // ends the group the first time.
    struct NetworkOutput final : Output, NetLinkEvents {
        using Output::Output;
        bool Send(SentenceKindOrNone kind, std::string_view sentence) override;
        void SendToClient(std::string_view sentence);
        bool SendDatagram(std::string_view sentence);
        void IdTCPServerNMEAConnect(const TcpPeer& peer) override;
        bool open = false;
        NetLinkEvents* shown = nullptr;
        NetLink* tcpLink = nullptr;
        bool everyClient = false;
        bool clientConnected = false;
        bool clientFailing = false;  // the last send to the client failed: the next failures stay quiet
        NetLink* datagramLink = nullptr;
        struct Destination {
            std::string address;
            int port = 0;
        };
        std::optional<Destination> destination;
        bool datagramLineEnds = false;
        bool datagramFailing = false;  // the last datagram failed: the next failures stay quiet
        std::string bytes;             // a sentence and its CR LF, sent in one piece
    };
    // The sentence and its CR LF in one write: the last sentence of a group ends its line at once.
    struct SerialOutput final : Output {
        using Output::Output;
        bool Send(SentenceKindOrNone kind, std::string_view sentence) override;
        void EndStall();
        bool open = false;
        std::string port = std::string(kComNames[0]);  // the port of the last successful open
        bool stalled = false;                          // the last sentence was lost
        long long lost = 0;
        std::string line;  // the sentence and its CR LF
    };
    struct StandardOutput final : Output {
        using Output::Output;
        bool Send(SentenceKindOrNone kind, std::string_view sentence) override;
    };
    struct StampedLogOutput final : Output {
        using Output::Output;
        bool Send(SentenceKindOrNone kind, std::string_view sentence) override;
        TextLog log;
        std::string_view mark;  // what ends the next line (an injected fault's mark)
        std::string line;       // built in the same buffer each time
    };

    // One line through every output in their order; `mark` ends its time-stamped copy.
    bool SendToOutputs(SentenceKindOrNone kind, std::string_view line, std::string_view mark = {});
    // The lines the injector gives for one sentence; the time-stamped log marks the fault.
    bool SendWithFaults(SentenceKindOrNone kind, std::string_view sentence);

    Dialogs& dialogs_;
    UARTManag& ports_;
    TransmissionEvents* events_ = nullptr;
    SystemClock systemClock_;
    const Clock* clock_ = &systemClock_;
    std::optional<nmea::FaultInjector> faults_;
    Fanout fanout_{*this};
    // The ordered list of the outputs: the calls are direct, a sentence reaches all of them in one
    // call of the emitter.
    std::tuple<LogOutput, NetworkOutput, SerialOutput, StandardOutput, StampedLogOutput> outputs_{*this, *this, *this,
                                                                                                  *this, *this};
};

}  // namespace corvel::app
