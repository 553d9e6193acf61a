// The network link through Qt Network; see QtNetLink.h.
#include "links/QtNetLink.h"

#include <algorithm>

namespace corvel::links {

QtNetLink::QtNetLink(QHostAddress listenAddress, QObject* parent)
    : QObject(parent), listenAddress_(std::move(listenAddress)) {
    connect(&server_, &QTcpServer::newConnection, this, &QtNetLink::Accept);
}

QtNetLink::~QtNetLink() {
    // The sockets go with this object; none may report to the dialog on the way.
    events_ = nullptr;
    for (QTcpSocket* socket : clients_) socket->disconnect(this);
}

bool QtNetLink::StartServer(int port, std::string& error) {
    if (server_.isListening() && server_.serverPort() == port) return true;
    StopServer();
    if (!server_.listen(listenAddress_, static_cast<quint16>(port))) {
        error = server_.errorString().toStdString();
        return false;
    }
    return true;
}

void QtNetLink::StopServer() {
    server_.close();
    while (!clients_.empty()) Drop(clients_.front());
}

void QtNetLink::Accept() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        socket->setParent(this);
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);  // one sentence, one segment, at once
        socket->setReadBufferSize(kReadChunkBytes);
        // Whatever a client sends is read and thrown away, a chunk at a time.
        connect(socket, &QTcpSocket::readyRead, this, [socket] { socket->skip(socket->bytesAvailable()); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { Forget(socket); });
        clients_.push_back(socket);
        while (static_cast<int>(clients_.size()) > kMaxClients) Drop(clients_.front());
        active_ = socket;
        if (events_) {
            events_->IdTCPServerNMEAConnect({socket->peerAddress().toString().toStdString(), socket->peerPort(),
                                             socket->localAddress().toString().toStdString(), socket->localPort()});
        }
    }
}

// The socket is closed: it leaves the list and is deleted once its signal has returned.
void QtNetLink::Forget(QTcpSocket* socket) {
    const auto it = std::find(clients_.begin(), clients_.end(), socket);
    if (it == clients_.end()) return;
    clients_.erase(it);
    if (active_ == socket) active_ = nullptr;
    socket->disconnect(this);
    socket->deleteLater();
}

void QtNetLink::Drop(QTcpSocket* socket) {
    Forget(socket);
    socket->abort();
}

QtNetLink::SendResult QtNetLink::SendToClient(std::string_view bytes) {
    QTcpSocket* socket = active_;
    if (!socket || socket->state() != QAbstractSocket::ConnectedState) {
        if (socket) Drop(socket);
        return {SendStatus::Lost, {}};
    }
    if (socket->bytesToWrite() + static_cast<qint64>(bytes.size()) > kMaxQueuedBytes) {
        Drop(socket);  // it does not read: it is lost, and what waited for it goes with it
        return {SendStatus::Lost, {}};
    }
    if (socket->write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
        const QAbstractSocket::SocketError e = socket->error();
        if (e == QAbstractSocket::RemoteHostClosedError || e == QAbstractSocket::NetworkError ||
            socket->state() != QAbstractSocket::ConnectedState) {
            Drop(socket);
            return {SendStatus::Lost, {}};
        }
        return {SendStatus::Error, socket->errorString().toStdString()};
    }
    socket->flush();  // to the system now, not at the next turn of the event loop
    if (!active_ || socket->state() != QAbstractSocket::ConnectedState) {
        if (active_) Drop(socket);
        return {SendStatus::Lost, {}};
    }
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

qint64 QtNetLink::QueuedBytes() const { return active_ ? active_->bytesToWrite() : 0; }

qint64 QtNetLink::BufferedInput() const {
    qint64 total = 0;
    for (const QTcpSocket* socket : clients_) total += socket->bytesAvailable();
    return total;
}

}  // namespace corvel::links
