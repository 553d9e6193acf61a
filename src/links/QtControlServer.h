// The control port of a headless run: a TCP server, on the user-interface thread, that reads one
// command a line from each client and writes back the one line the given function answers, CR LF
// after it. Bounded under load and bad peers: at most kMaxClients connections (a further one is
// answered one ERR line and closed), lines of at most app::kMaxControlLineBytes (a longer one is
// answered once with ERR and skipped up to its end), and a client that does not read its answers
// is no longer read once kMaxPendingAnswerBytes wait for it, so what it sends waits in the system's
// buffers, not in the program's memory, until it reads again. A client that sends nothing for the
// idle limit (kIdleLimit, 60 s) is told so in one ERR line and closed, so that silent connections
// cannot hold every place; one whose connection is reset leaves at once, its lines unanswered.
#pragma once

#include <QHostAddress>
#include <QObject>
#include <QTcpServer>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>

namespace corvel::links {

class QtControlServer : public QObject {
public:
    static constexpr int kMaxClients = 4;
    static constexpr qint64 kMaxPendingAnswerBytes = 64 * 1024;
    // Qt's buffer of what a client sent and was not handled yet.
    static constexpr qint64 kReadBufferBytes = 4096;
    static constexpr std::chrono::milliseconds kIdleLimit{60'000};

    // The answer to one line (its line end taken off): one line without a line break.
    using Answer = std::function<std::string(std::string_view line)>;

    QtControlServer(QHostAddress listenAddress, Answer answer, std::chrono::milliseconds idleLimit = kIdleLimit,
                    QObject* parent = nullptr);
    ~QtControlServer() override;
    QtControlServer(const QtControlServer&) = delete;
    QtControlServer& operator=(const QtControlServer&) = delete;

    // Listens on `port` (0: a port the system chooses); false with the system's reason.
    bool Listen(int port, std::string& error);
    quint16 Port() const { return server_.serverPort(); }
    int ClientCount() const { return clients_; }

    // Whether `address` is one the server may listen on: the loopback, every address of the
    // machine (0.0.0.0), or an address of one of its interfaces (never a broadcast or multicast
    // address, nor another machine's).
    static bool MachineAddress(const QHostAddress& address);

private:
    class Connection;

    void Accept();

    QHostAddress listenAddress_;
    Answer answer_;
    std::chrono::milliseconds idleLimit_;
    QTcpServer server_;
    int clients_ = 0;  // the connections served now
};

}  // namespace corvel::links
