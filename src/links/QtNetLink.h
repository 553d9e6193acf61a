// The network link through Qt Network, on the user-interface thread: a TCP server whose last
// connected client (or, once asked, every connected client) receives the sentences, and a datagram
// socket for the UDP broadcasts. Bounded under load and bad peers: at most kMaxClients connections
// are kept (a new one closes the oldest), a client that does not read has at most kMaxQueuedBytes
// waiting for it before it is dropped as a lost client (the others go on, never waiting for it),
// and what clients send is read in chunks of kReadChunkBytes and thrown away.
//
// Each accepted connection is driven on its own descriptor (non-blocking sends, socket notifiers)
// rather than by a QTcpSocket: Qt takes the end of what the peer sends for the end of the
// connection, and a reader whose input ended (it shut down its sending side) must go on receiving.
// After the peer's end of sending the link stops reading from it and answers with an empty line
// (CR LF): a peer that closed the whole connection answers that with a reset and is forgotten (on
// this machine at once, across a network at the send after), one that still reads keeps the
// sentences coming.
#pragma once

#include <QHostAddress>
#include <QObject>
#include <QTcpServer>
#include <QUdpSocket>
#include <deque>

#include "app/transmission/Links.h"

namespace corvel::links {

class QtNetLink : public QObject, public app::NetLink {
public:
    static constexpr int kMaxClients = 8;
    static constexpr qint64 kMaxQueuedBytes = 64 * 1024;
    static constexpr qint64 kReadChunkBytes = 4096;

    // `listenAddress`: where the server listens, every local IPv4 address unless told otherwise
    // (127.0.0.1 keeps it on this machine).
    explicit QtNetLink(QHostAddress listenAddress = QHostAddress::AnyIPv4, QObject* parent = nullptr);
    ~QtNetLink() override;

    void SetEvents(app::NetLinkEvents* events) override { events_ = events; }
    bool StartServer(int port, std::string& error) override;
    void StopServer() override;
    bool ServerListening() const override;
    SendResult SendToClient(std::string_view bytes) override;
    void SetEveryClient(bool every) override { everyClient_ = every; }
    void CloseClient() override;
    bool SendDatagram(std::string_view bytes, const std::string& address, int port, std::string& error) override;
    // From the network interfaces that are up and running, each address once.
    std::vector<std::string> LocalAddresses() const override;

    // For tests and diagnostics.
    quint16 ServerPort() const;
    int ClientCount() const { return static_cast<int>(clients_.size()); }
    qint64 QueuedBytes() const;      // waiting for the active client
    qint64 MostQueuedBytes() const;  // waiting for the client with the most waiting

private:
    class Listener;
    class Client;

    void Accept(qintptr descriptor);
    void ReadFrom(Client* client);
    bool Flush(Client* client);
    // Queues `bytes` for the client and sends what the system takes now; false when the client was
    // dropped (it does not read, or the connection ended).
    bool SendTo(Client* client, std::string_view bytes);
    void Drop(Client* client);

    app::NetLinkEvents* events_ = nullptr;
    QHostAddress listenAddress_;
    Listener* server_;             // child of this object
    std::deque<Client*> clients_;  // oldest first; children of this object
    Client* active_ = nullptr;     // one of clients_, or none
    bool everyClient_ = false;     // send to every client, not only the active one
    QUdpSocket* udp_ = nullptr;    // made at the first datagram
};

}  // namespace corvel::links
