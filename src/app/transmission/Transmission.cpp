// The way out of a sentence; see Transmission.h.
#include "app/transmission/Transmission.h"

#include "app/program/SimulationTexts.h"
#include "app/transmission/ReplayFeed.h"

namespace corvel::app {

Transmission::Transmission(nmea::NmeaContext& nmea, Dialogs& dialogs, UARTManag& ports)
    : Emitter(nmea, fanout_), dialogs_(dialogs), ports_(ports) {}

// ---------------------------------------------------------------- sentences

void Transmission::EmitGroup(const sim::SimulationState& state, sim::Millis simulatedMillis) {
    if (faults_) Emitter.Nmea.NoFix = faults_->NoFixAt(simulatedMillis);
    Emitter.EmitGroup(state, clock_->Now());
}

bool Transmission::Send(SentenceKindOrNone kind, std::string_view sentence) {
    return faults_ ? SendWithFaults(kind, sentence) : SendToOutputs(kind, sentence);
}

bool Transmission::SendToOutputs(SentenceKindOrNone kind, std::string_view line, std::string_view mark) {
    std::get<StampedLogOutput>(outputs_).mark = mark;
    return std::apply([&](auto&... output) { return (output.Send(kind, line) && ...); }, outputs_);
}

// A dropped sentence leaves only its mark, on a time-stamped line of its own; a duplicated one
// marks its second copy; garbage has no kind.
bool Transmission::SendWithFaults(SentenceKindOrNone kind, std::string_view sentence) {
    const nmea::FaultedSentence& f = faults_->Apply(sentence);
    const std::string_view mark = FaultMark(f.kind);
    if (f.kind == nmea::FaultKind::Garbage) kind.reset();
    if (f.count == 0) {
        StampedLogOutput& stamped = std::get<StampedLogOutput>(outputs_);
        stamped.mark = mark;
        return stamped.Send(kind, {});
    }
    for (int i = 0; i < f.count; ++i) {
        const std::string_view line = f.lines[static_cast<std::size_t>(i)];
        if (!SendToOutputs(kind, line, i == f.count - 1 ? mark : std::string_view())) return false;
    }
    return true;
}

// ---------------------------------------------------------------- the outputs

bool Transmission::LogOutput::Send(SentenceKindOrNone, std::string_view sentence) {
    log.Append(sentence);
    if (transmission.events_) transmission.events_->SentenceLogged();
    return true;
}

bool Transmission::NetworkOutput::Send(SentenceKindOrNone, std::string_view sentence) {
    if (!open) return true;
    SendToClient(sentence);
    return SendDatagram(sentence);
}

void Transmission::NetworkOutput::SendToClient(std::string_view sentence) {
    if (tcpLink == nullptr || !clientConnected) return;
    bytes.assign(sentence).append("\r\n");
    const NetLink::SendResult r = tcpLink->SendToClient(bytes);
    switch (r.status) {
        case NetLink::SendStatus::Sent: clientFailing = false; break;
        case NetLink::SendStatus::Lost:
            clientConnected = false;
            if (shown != nullptr) shown->ClientLost();
            break;
        case NetLink::SendStatus::Error:
            if (!clientFailing) transmission.dialogs_.ShowMessage("Erreur d'envoi TCP : " + r.error);
            clientFailing = true;
            break;
    }
}

bool Transmission::NetworkOutput::SendDatagram(std::string_view sentence) {
    if (datagramLink == nullptr || !destination) return true;  // dropped until datagrams start
    std::string_view datagram = sentence;
    if (datagramLineEnds) {
        bytes.assign(sentence).append("\r\n");
        datagram = bytes;
    }
    std::string error;
    if (datagramLink->SendDatagram(datagram, destination->address, destination->port, error)) {
        datagramFailing = false;
        return true;
    }
    if (datagramFailing) return true;
    datagramFailing = true;
    transmission.dialogs_.ShowMessage("Erreur d'envoi UDP vers " + destination->address + ":" +
                                      std::to_string(destination->port) + " : " + error);
    return false;  // the rest of this group waits for the next run
}

void Transmission::NetworkOutput::IdTCPServerNMEAConnect(const TcpPeer& peer) {
    clientConnected = true;
    clientFailing = false;
    if (shown != nullptr) shown->IdTCPServerNMEAConnect(peer);
}

bool Transmission::SerialOutput::Send(SentenceKindOrNone, std::string_view sentence) {
    if (!open) return true;
    line.assign(sentence);
    line += "\r\n";
    const WriteResult r = transmission.WriteSerial(line);
    if (r.status == WriteResult::Status::Failed) {
        transmission.dialogs_.ShowMessage(r.error);
        return false;
    }
    if (r.status == WriteResult::Status::Complete) {
        EndStall();
        return true;
    }
    // The sentence was lost whole: the window's log says so after it, a file of the log does not.
    std::get<LogOutput>(transmission.outputs_)
        .log.AppendNote(" *** erreur de transmission  sur le COM : écriture incomplète ***");
    if (lost++ == 0 && transmission.OnSerialStall) {
        transmission.OnSerialStall(
            SerialStallMessage(SerialStallText::Notice, transmission.ports_.CurrentPortLabel(), 1));
    }
    const bool begins = !stalled;
    stalled = true;
    if (transmission.events_) transmission.events_->SerialSentenceLost(begins);
    return true;
}

void Transmission::SerialOutput::EndStall() {
    if (!stalled) return;
    stalled = false;
    if (transmission.events_) transmission.events_->SerialStallEnded();
}

bool Transmission::StandardOutput::Send(SentenceKindOrNone kind, std::string_view sentence) {
    if (transmission.OnSentence) transmission.OnSentence(kind, sentence);
    return true;
}

bool Transmission::StampedLogOutput::Send(SentenceKindOrNone, std::string_view sentence) {
    if (!log.Wanted()) return true;  // nothing keeps the time-stamped copy
    WriteStampedLine(line, transmission.clock_->Now(), sentence, mark);
    log.Append(line);
    return true;
}

// ---------------------------------------------------------------- serial port

bool Transmission::OpenSerial(std::string_view port, int baudRate) {
    SerialOutput& serial = std::get<SerialOutput>(outputs_);
    // The port open until now is closed first: it is never written to again, and the same port
    // chosen again (another rate) can then be opened.
    if (serial.open) ports_.CloseComPort(serial.port);
    serial.EndStall();
    serial.lost = 0;
    serial.open = ports_.OpenComPort(port, baudRate, Parity::None, 8, StopBits::One);
    if (serial.open) serial.port = port;
    return serial.open;
}

void Transmission::CloseSerial() {
    SerialOutput& serial = std::get<SerialOutput>(outputs_);
    ports_.CloseComPort(serial.port);
    serial.open = false;
    serial.EndStall();
}

WriteResult Transmission::WriteSerial(std::string_view text) {
    WriteResult r = ports_.WriteComText(text);
    if (r.status == WriteResult::Status::Failed) {
        // The device is gone: the link closes once, the simulation goes on.
        SerialOutput& serial = std::get<SerialOutput>(outputs_);
        serial.open = false;
        if (events_) events_->SerialFailed();
        serial.EndStall();
    }
    return r;
}

// ---------------------------------------------------------------- network

void Transmission::SetTcpLink(NetLink* link) {
    NetworkOutput& network = std::get<NetworkOutput>(outputs_);
    if (network.tcpLink != nullptr) network.tcpLink->SetEvents(nullptr);
    network.tcpLink = link;
    if (link != nullptr) {
        link->SetEvents(&network);
        link->SetEveryClient(network.everyClient);
    }
}

bool Transmission::StartTcpServer(int port) {
    NetLink* link = std::get<NetworkOutput>(outputs_).tcpLink;
    std::string error;
    if (link != nullptr && link->StartServer(port, error)) return true;
    dialogs_.ShowMessage("Le serveur TCP ne peut pas écouter sur le port " + std::to_string(port) + " : " +
                         (link != nullptr ? error : std::string("pas de réseau")));
    return false;
}

void Transmission::StopTcpServer() {
    NetworkOutput& network = std::get<NetworkOutput>(outputs_);
    if (network.tcpLink != nullptr) network.tcpLink->StopServer();
    network.clientConnected = false;
}

void Transmission::CloseTcpClient() {
    NetworkOutput& network = std::get<NetworkOutput>(outputs_);
    if (network.tcpLink != nullptr) network.tcpLink->CloseClient();
    network.clientConnected = false;
}

void Transmission::SetEveryClient(bool every) {
    NetworkOutput& network = std::get<NetworkOutput>(outputs_);
    network.everyClient = every;
    if (network.tcpLink != nullptr) network.tcpLink->SetEveryClient(every);
}

void Transmission::StartDatagrams(std::string address, int port) {
    NetworkOutput& network = std::get<NetworkOutput>(outputs_);
    network.destination = NetworkOutput::Destination{std::move(address), port};
    network.datagramFailing = false;
}

void Transmission::StopDatagrams() {
    NetworkOutput& network = std::get<NetworkOutput>(outputs_);
    network.destination.reset();
    network.datagramFailing = false;
}

}  // namespace corvel::app
