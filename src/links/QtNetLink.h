// The network link through Qt Network, on the user-interface thread: a TCP server whose last
// connected client receives the sentences, and a datagram socket for the UDP broadcasts. Bounded
// under load and bad peers: at most kMaxClients connections are kept (a new one closes the oldest),
// a client that does not read has at most kMaxQueuedBytes waiting for it before it is dropped as
// a lost client, and what clients send is read in chunks of kReadChunkBytes and thrown away.
#pragma once

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>
#include <deque>

#include "app/Un_Wifi.h"

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
    bool ServerListening() const override { return server_.isListening(); }
    SendResult SendToClient(std::string_view bytes) override;
    void CloseClient() override;
    bool SendDatagram(std::string_view bytes, const std::string& address, int port, std::string& error) override;

    // For tests and diagnostics.
    quint16 ServerPort() const { return server_.serverPort(); }
    int ClientCount() const { return static_cast<int>(clients_.size()); }
    qint64 QueuedBytes() const;    // waiting for the active client
    qint64 BufferedInput() const;  // read from clients and not yet thrown away

private:
    void Accept();
    void Forget(QTcpSocket* socket);
    void Drop(QTcpSocket* socket);

    app::NetLinkEvents* events_ = nullptr;
    QHostAddress listenAddress_;
    QTcpServer server_;
    std::deque<QTcpSocket*> clients_;  // oldest first; children of this object
    QPointer<QTcpSocket> active_;
    QUdpSocket* udp_ = nullptr;  // made at the first datagram
};

}  // namespace corvel::links
