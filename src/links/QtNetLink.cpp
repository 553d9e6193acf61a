// The network link through Qt Network; see QtNetLink.h.
#include "links/QtNetLink.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QNetworkInterface>
#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <string>
#include <utility>

namespace corvel::links {

namespace {

// The address and port of one end of a connection ("" and 0 when the system cannot tell).
std::pair<std::string, int> EndPoint(int fd, int (*name)(int, sockaddr*, socklen_t*)) {
    sockaddr_storage address{};
    socklen_t size = sizeof address;
    if (name(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) return {};
    const QHostAddress host(reinterpret_cast<const sockaddr*>(&address));
    int port = 0;
    if (address.ss_family == AF_INET) port = ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
    if (address.ss_family == AF_INET6) port = ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port);
    return {host.toString().toStdString(), port};
}

// Whether the connection has ended (reset or closed by the peer) as far as the system knows now.
bool ConnectionEnded(int fd) {
    pollfd p{fd, POLLOUT, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLERR | POLLHUP)) != 0;
}

}  // namespace

// The server: each connection it accepts goes to the link as a bare descriptor.
class QtNetLink::Listener : public QTcpServer {
public:
    explicit Listener(QtNetLink& link) : QTcpServer(&link), link_(link) {}

protected:
    void incomingConnection(qintptr descriptor) override { link_.Accept(descriptor); }

private:
    QtNetLink& link_;
};

// One connection: its descriptor, a notifier for what arrives and one for room to send, and the
// bytes the system has not taken yet. The descriptor is closed by Close or with the object.
class QtNetLink::Client : public QObject {
public:
    Client(int fd, QObject* parent)
        : QObject(parent), fd(fd), readable(fd, QSocketNotifier::Read), writable(fd, QSocketNotifier::Write) {
        writable.setEnabled(false);
    }
    ~Client() override { Close(); }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    void Close() {
        if (fd < 0) return;
        readable.setEnabled(false);  // no notifier may watch a closed descriptor
        writable.setEnabled(false);
        ::close(fd);
        fd = -1;
    }

    int fd;
    QSocketNotifier readable, writable;
    std::string waiting;
};

QtNetLink::QtNetLink(QHostAddress listenAddress, QObject* parent)
    : QObject(parent), listenAddress_(std::move(listenAddress)), server_(new Listener(*this)) {}

QtNetLink::~QtNetLink() {
    // The connections close with this object; none may report to the dialog on the way.
    events_ = nullptr;
    active_ = nullptr;
    for (Client* client : clients_) delete client;
    clients_.clear();
}

bool QtNetLink::StartServer(int port, std::string& error) {
    if (server_->isListening() && server_->serverPort() == port) return true;
    StopServer();
    if (!server_->listen(listenAddress_, static_cast<quint16>(port))) {
        error = server_->errorString().toStdString();
        return false;
    }
    return true;
}

void QtNetLink::StopServer() {
    server_->close();
    while (!clients_.empty()) Drop(clients_.front());
}

bool QtNetLink::ServerListening() const { return server_->isListening(); }

quint16 QtNetLink::ServerPort() const { return server_->serverPort(); }

void QtNetLink::Accept(qintptr descriptor) {
    const int fd = static_cast<int>(descriptor);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);  // one sentence, one segment, at once
    auto* client = new Client(fd, this);
    connect(&client->readable, &QSocketNotifier::activated, this, [this, client] { ReadFrom(client); });
    connect(&client->writable, &QSocketNotifier::activated, this, [this, client] { Flush(client); });
    clients_.push_back(client);
    while (static_cast<int>(clients_.size()) > kMaxClients) Drop(clients_.front());
    active_ = client;
    if (events_) {
        const auto [peerAddress, peerPort] = EndPoint(fd, ::getpeername);
        const auto [localAddress, localPort] = EndPoint(fd, ::getsockname);
        events_->IdTCPServerNMEAConnect({peerAddress, peerPort, localAddress, localPort});
    }
}

// Whatever a client sends is read and thrown away, a chunk at a time. At the end of what it sends
// the link stops reading and asks, with an empty line, whether the client is still there.
void QtNetLink::ReadFrom(Client* client) {
    char chunk[kReadChunkBytes];
    const ssize_t n = ::recv(client->fd, chunk, sizeof chunk, 0);
    if (n > 0 || (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))) return;
    if (n < 0) {
        Drop(client);  // reset
        return;
    }
    client->readable.setEnabled(false);
    if (!client->waiting.empty()) return;  // what waits asks the same question
    client->waiting = "\r\n";
    if (Flush(client) && ConnectionEnded(client->fd)) Drop(client);
}

// Gives the system what waits for the client, as much as it takes now; the rest waits for room.
// False when the connection failed: the client is dropped.
bool QtNetLink::Flush(Client* client) {
    std::string& waiting = client->waiting;
    size_t sent = 0;
    while (sent < waiting.size()) {
        const ssize_t n = ::send(client->fd, waiting.data() + sent, waiting.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += static_cast<size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            break;
        } else {
            Drop(client);  // EPIPE, ECONNRESET...: the client is gone
            return false;
        }
    }
    waiting.erase(0, sent);
    client->writable.setEnabled(!waiting.empty());
    return true;
}

void QtNetLink::Drop(Client* client) {
    const auto it = std::find(clients_.begin(), clients_.end(), client);
    if (it == clients_.end()) return;
    clients_.erase(it);
    if (active_ == client) active_ = nullptr;
    client->Close();
    QObject::disconnect(&client->readable, nullptr, this, nullptr);
    QObject::disconnect(&client->writable, nullptr, this, nullptr);
    client->deleteLater();  // it may be the one whose notifier is calling
}

bool QtNetLink::SendTo(Client* client, std::string_view bytes) {
    if (static_cast<qint64>(client->waiting.size() + bytes.size()) > kMaxQueuedBytes) {
        Drop(client);  // it does not read: it is lost, and what waited for it goes with it
        return false;
    }
    client->waiting.append(bytes);
    if (!Flush(client)) return false;
    // A connection that ended answers the send with a reset (on this machine before it returns).
    if (ConnectionEnded(client->fd)) {
        Drop(client);
        return false;
    }
    return true;
}

QtNetLink::SendResult QtNetLink::SendToClient(std::string_view bytes) {
    if (everyClient_) {
        const std::deque<Client*> clients = clients_;  // a client may be dropped on the way
        for (Client* client : clients) SendTo(client, bytes);
        if (clients_.empty()) return {SendStatus::Lost, {}};
        return {};
    }
    if (!active_ || !SendTo(active_, bytes)) return {SendStatus::Lost, {}};
    return {};
}

void QtNetLink::CloseClient() {
    if (active_) Drop(active_);
}

bool QtNetLink::SendDatagram(std::string_view bytes, const std::string& address, int port, std::string& error) {
    if (!udp_) udp_ = new QUdpSocket(this);
    const QHostAddress to(QString::fromStdString(address));
    if (to.isNull()) {
        error = "adresse invalide";
        return false;
    }
    if (udp_->writeDatagram(bytes.data(), static_cast<qint64>(bytes.size()), to, static_cast<quint16>(port)) !=
        static_cast<qint64>(bytes.size())) {
        error = udp_->errorString().toStdString();
        return false;
    }
    return true;
}

std::vector<std::string> QtNetLink::LocalAddresses() const {
    std::vector<std::string> found, loopback;
    for (const QNetworkInterface& i : QNetworkInterface::allInterfaces()) {
        const auto flags = i.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::IsRunning)) continue;
        std::vector<std::string>& list = flags.testFlag(QNetworkInterface::IsLoopBack) ? loopback : found;
        for (const QNetworkAddressEntry& entry : i.addressEntries()) {
            const QHostAddress a = entry.ip();
            if (a.protocol() != QAbstractSocket::IPv4Protocol) continue;
            std::string text = a.toString().toStdString();
            if (std::find(found.begin(), found.end(), text) == found.end() &&
                std::find(loopback.begin(), loopback.end(), text) == loopback.end())
                list.push_back(std::move(text));
        }
    }
    found.insert(found.end(), loopback.begin(), loopback.end());
    return found;
}

qint64 QtNetLink::QueuedBytes() const { return active_ ? static_cast<qint64>(active_->waiting.size()) : 0; }

qint64 QtNetLink::MostQueuedBytes() const {
    size_t most = 0;
    for (const Client* client : clients_) most = std::max(most, client->waiting.size());
    return static_cast<qint64>(most);
}

}  // namespace corvel::links
