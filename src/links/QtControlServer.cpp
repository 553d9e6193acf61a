// The control port; see QtControlServer.h.
#include "links/QtControlServer.h"

#include <QTcpSocket>
#include <utility>

#include "app/ControlCommands.h"

namespace corvel::links {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

void WriteLine(QTcpSocket& socket, const std::string& line) {
    socket.write(line.data(), static_cast<qint64>(line.size()));
    socket.write(kLineEnd.data(), static_cast<qint64>(kLineEnd.size()));
    socket.flush();  // what the system takes now; the rest when it has room
}

}  // namespace

// One client: the part of a line received so far, or that the line is being skipped as too long.
class QtControlServer::Connection : public QObject {
public:
    Connection(QTcpSocket* socket, QtControlServer& server) : QObject(&server), socket_(socket), server_(server) {
        socket_->setParent(this);
        socket_->setReadBufferSize(kReadBufferBytes);
        connect(socket_, &QTcpSocket::readyRead, this, [this] { Serve(); });
        connect(socket_, &QTcpSocket::bytesWritten, this, [this] { Serve(); });
        connect(socket_, &QTcpSocket::disconnected, this, [this] { Leave(); });
        line_.reserve(app::kMaxControlLineBytes + 2);
    }

    // Answers the whole lines that arrived, as long as the client reads its answers.
    void Serve() {
        char chunk[512];
        while (!left_ && socket_->bytesToWrite() < kMaxPendingAnswerBytes) {
            const qint64 n = socket_->read(chunk, sizeof chunk);
            if (n <= 0) return;
            for (qint64 i = 0; i < n; ++i) Take(chunk[i]);
        }
    }

    void Leave() {
        if (left_) return;
        left_ = true;
        --server_.clients_;
        deleteLater();
    }

private:
    void Take(char c) {
        if (c == '\n') {
            WriteLine(*socket_, skipping_ ? app::LineTooLongAnswer() : server_.answer_(line_));
            line_.clear();
            skipping_ = false;
            return;
        }
        if (skipping_) return;
        line_ += c;
        // The longest line and a CR before its LF.
        if (line_.size() > app::kMaxControlLineBytes + 1) {
            skipping_ = true;
            line_.clear();
        }
    }

    QTcpSocket* socket_;  // child of this object
    QtControlServer& server_;
    std::string line_;
    bool skipping_ = false;
    bool left_ = false;
};

QtControlServer::QtControlServer(QHostAddress listenAddress, Answer answer, QObject* parent)
    : QObject(parent), listenAddress_(std::move(listenAddress)), answer_(std::move(answer)), server_(this) {
    connect(&server_, &QTcpServer::newConnection, this, [this] { Accept(); });
}

// The connections are children: they close with this object, their signals disconnected first.
QtControlServer::~QtControlServer() { server_.close(); }

bool QtControlServer::Listen(int port, std::string& error) {
    if (!server_.listen(listenAddress_, static_cast<quint16>(port))) {
        error = server_.errorString().toStdString();
        return false;
    }
    return true;
}

void QtControlServer::Accept() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        if (clients_ >= kMaxClients) {
            // Told why, then closed once the line has gone.
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            WriteLine(*socket, "ERR trop de clients (" + std::to_string(kMaxClients) + " au plus)");
            socket->disconnectFromHost();
            continue;
        }
        ++clients_;
        auto* connection = new Connection(socket, *this);
        connection->Serve();  // what came with the connection
    }
}

}  // namespace corvel::links
