// The control port; see QtControlServer.h.
#include "links/QtControlServer.h"

#include <QNetworkInterface>
#include <QTcpSocket>
#include <QTimer>
#include <utility>

#include "app/windows/ControlCommands.h"
#include "nav/Conversions.h"

namespace corvel::links {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

void WriteLine(QTcpSocket& socket, const std::string& line) {
    socket.write(line.data(), static_cast<qint64>(line.size()));
    socket.write(kLineEnd.data(), static_cast<qint64>(kLineEnd.size()));
    socket.flush();  // what the system takes now; the rest when it has room
}

}  // namespace

// One client: the part of a line received so far, or that the line is being skipped as too long;
// the time since it last sent a byte.
class QtControlServer::Connection : public QObject {
public:
    Connection(QTcpSocket* socket, QtControlServer& server) : QObject(&server), socket_(socket), server_(server) {
        socket_->setParent(this);
        socket_->setReadBufferSize(kReadBufferBytes);
        connect(socket_, &QTcpSocket::readyRead, this, [this] {
            idle_.start();
            Serve();
        });
        connect(socket_, &QTcpSocket::bytesWritten, this, [this] { Serve(); });
        connect(socket_, &QTcpSocket::disconnected, this, [this] { Leave(); });
        line_.reserve(app::kMaxControlLineBytes + 2);
        idle_.setSingleShot(true);
        idle_.setInterval(server_.idleLimit_);
        connect(&idle_, &QTimer::timeout, this, [this] { CloseIdle(); });
        idle_.start();
    }

    // Answers the whole lines that arrived, as long as the client is there and reads its answers.
    // A connection reset while they are answered ends them: what is left is not even read.
    void Serve() {
        char chunk[512];
        while (Here() && socket_->bytesToWrite() < kMaxPendingAnswerBytes) {
            const qint64 n = socket_->read(chunk, sizeof chunk);
            if (n <= 0) return;
            for (qint64 i = 0; i < n && Here(); ++i) Take(chunk[i]);
        }
    }

    void Leave() {
        if (left_) return;
        left_ = true;
        idle_.stop();
        --server_.clients_;
        deleteLater();
    }

private:
    bool Here() const { return !left_ && socket_->state() == QAbstractSocket::ConnectedState; }

    void CloseIdle() {
        const double seconds = std::chrono::duration<double>(server_.idleLimit_).count();
        WriteLine(*socket_, "ERR aucune commande depuis " + nav::FormatGeneral(seconds) + " s : connexion fermée");
        socket_->disconnectFromHost();  // once the line has gone; then disconnected
    }

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
    QTimer idle_;  // runs while the client is silent
    std::string line_;
    bool skipping_ = false;
    bool left_ = false;
};

QtControlServer::QtControlServer(QHostAddress listenAddress, Answer answer, std::chrono::milliseconds idleLimit,
                                 QObject* parent)
    : QObject(parent),
      listenAddress_(std::move(listenAddress)),
      answer_(std::move(answer)),
      idleLimit_(idleLimit),
      server_(this) {
    connect(&server_, &QTcpServer::newConnection, this, [this] { Accept(); });
}

// The connections are children: they close with this object, their signals disconnected first.
QtControlServer::~QtControlServer() { server_.close(); }

bool QtControlServer::MachineAddress(const QHostAddress& address) {
    if (address.isLoopback() || address == QHostAddress(QHostAddress::AnyIPv4)) return true;
    return QNetworkInterface::allAddresses().contains(address);
}

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
