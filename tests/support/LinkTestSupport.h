// What the tests of the Qt links share: a QCoreApplication for the fixture's lifetime, waiting
// for a condition while the event loop runs (with a deadline), a watchdog for a whole test, a
// plain loopback TCP client, a pseudo-terminal standing in for a serial device, and the process's
// open file count.
#pragma once

#include "support/Watchdog.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace corvel::test {

// The application object the sockets need; made when the fixture starts if none exists, and
// destroyed with the fixture (declare it first so that it outlives the objects that use it).
class QtApp {
public:
    QtApp() {
        if (!QCoreApplication::instance()) app_ = std::make_unique<QCoreApplication>(argc_, argv_);
    }
    ~QtApp() { Pump(); }
    // Runs what is pending, deferred deletions included.
    static void Pump() {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

private:
    int argc_ = 1;
    char name_[8] = "tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QCoreApplication> app_;
};

// Runs the event loop until `done` holds or `ms` pass; whether it held.
template <class Done>
bool WaitUntil(Done done, int ms = 5000) {
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        QtApp::Pump();
        if (done()) return true;
        if (clock.elapsed() > ms) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// Runs the event loop for `ms`.
inline void PumpFor(int ms) {
    WaitUntil([] { return false; }, ms);
}

// A TCP client on 127.0.0.1 that reads only when asked, without blocking.
class RawClient {
public:
    // `receiveBuffer` > 0: the socket's receive buffer, set before connecting.
    explicit RawClient(int port, int receiveBuffer = 0) {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        if (receiveBuffer > 0) ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<uint16_t>(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
        ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK);
    }
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;
    ~RawClient() { Close(); }

    bool connected() const { return connected_; }
    // The client's own port.
    int localPort() const {
        sockaddr_in a{};
        socklen_t size = sizeof a;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &size);
        return ntohs(a.sin_port);
    }
    // Everything that has arrived; sets `closed` when the server closed the connection.
    std::string Read() {
        std::string data;
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
            if (n > 0) {
                data.append(buffer, static_cast<size_t>(n));
                continue;
            }
            if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) closed_ = true;
            if (n < 0 && errno == EINTR) continue;
            return data;
        }
    }
    // Sends what the socket takes now; the count.
    size_t Send(std::string_view bytes) {
        const ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        return n > 0 ? static_cast<size_t>(n) : 0;
    }
    bool closed() const { return closed_; }
    // Ends what the client sends (its input ended) and keeps the connection open for reading.
    void ShutdownSending() { ::shutdown(fd_, SHUT_WR); }
    void Close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    // Closes with a reset (RST) instead of an orderly end, whatever is still unread.
    void Reset() {
        const linger abortive{1, 0};
        if (fd_ >= 0) ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
        Close();
    }

private:
    int fd_ = -1;
    bool connected_ = false;
    bool closed_ = false;
};

// A pseudo-terminal: the test holds the master side, the program opens `slave` as its device.
class Pty {
public:
    Pty() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0) {
            slave = ::ptsname(master_);
            ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
        }
    }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;
    ~Pty() { CloseMaster(); }

    int master() const { return master_; }
    // What the program wrote so far.
    std::string Read() {
        std::string data;
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n <= 0) return data;
            data.append(buffer, static_cast<size_t>(n));
        }
    }
    void CloseMaster() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }

    std::string slave;

private:
    int master_ = -1;
};

// The number of files the process has open.
inline int OpenFiles() {
    int n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++n;
    return n;
}

}  // namespace corvel::test
