// The outcome of a write to a link, and the network's sockets (the serial ports are UARTManag).
// The Qt implementations live in links/; tests use doubles.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace corvel::app {

// The outcome of handing bytes to a link.
struct WriteResult {
    enum class Status { Complete, Incomplete, Failed };
    Status status = Status::Complete;
    std::string error;  // with Failed: the message reported to the user
};

// A TCP connection as the server sees it.
struct TcpPeer {
    std::string peerAddress;
    int peerPort = 0;
    std::string localAddress;
    int localPort = 0;
};

// What the sockets report to the transmission, which passes it on to the network dialog.
class NetLinkEvents {
public:
    virtual ~NetLinkEvents() = default;
    // A client connected; it is now the one that receives the sentences.
    virtual void IdTCPServerNMEAConnect(const TcpPeer& peer) = 0;
    // The client that received the sentences is gone: a send found it closed, failed or dropped
    // (the transmission says so; the sockets do not).
    virtual void ClientLost() {}
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

}  // namespace corvel::app
