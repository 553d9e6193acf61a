// Serial devices through Qt SerialPort; see QtSerialPort.h.
#include "links/QtSerialPort.h"

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <QSerialPort>
#include <QSerialPortInfo>
#include <cerrno>
#include <system_error>

#include "app/program/SystemErrors.h"

namespace corvel::links {

namespace {

using Clock = std::chrono::steady_clock;

bool ToQt(int byteSize, QSerialPort::DataBits& out) {
    switch (byteSize) {
        case 5: out = QSerialPort::Data5; return true;
        case 6: out = QSerialPort::Data6; return true;
        case 7: out = QSerialPort::Data7; return true;
        case 8: out = QSerialPort::Data8; return true;
        default: return false;
    }
}

QSerialPort::Parity ToQt(app::Parity parity) {
    switch (parity) {
        case app::Parity::Odd: return QSerialPort::OddParity;
        case app::Parity::Even: return QSerialPort::EvenParity;
        case app::Parity::Mark: return QSerialPort::MarkParity;
        case app::Parity::Space: return QSerialPort::SpaceParity;
        case app::Parity::None: break;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits ToQt(app::StopBits stopBits) {
    switch (stopBits) {
        case app::StopBits::OneAndHalf: return QSerialPort::OneAndHalfStop;
        case app::StopBits::Two: return QSerialPort::TwoStop;
        case app::StopBits::One: break;
    }
    return QSerialPort::OneStop;
}

}  // namespace

QtSerialDevice::QtSerialDevice(std::unique_ptr<QSerialPort> port) : port_(std::move(port)) {}

QtSerialDevice::~QtSerialDevice() = default;

bool QtSerialDevice::ReadSettings() {
    termios settings{};
    return ::tcgetattr(port_->handle(), &settings) == 0;
}

bool QtSerialDevice::ApplySettings(const app::SerialSettings& s) {
    QSerialPort::DataBits dataBits{};
    return s.baudRate > 0 && ToQt(s.byteSize, dataBits) && port_->setBaudRate(s.baudRate) &&
           port_->setDataBits(dataBits) && port_->setParity(ToQt(s.parity)) && port_->setStopBits(ToQt(s.stopBits));
}

app::SerialWrite QtSerialDevice::Write(std::string_view bytes, std::chrono::milliseconds timeLimit) {
    // The port is non-blocking: write what the device takes now, then wait for room until the
    // deadline. Qt's own write buffer is not used, so nothing is left queued behind a write.
    const int fd = port_->handle();
    const Clock::time_point deadline = Clock::now() + timeLimit;
    app::SerialWrite result;
    while (result.written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + result.written, bytes.size() - result.written);
        if (n > 0) {
            result.written += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            result.failed = true;
            result.error = app::SystemReason(errno);
            return result;
        }
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) break;
        pollfd p{fd, POLLOUT, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) < 0 && errno != EINTR) {
            result.failed = true;
            result.error = app::SystemReason(errno);
            return result;
        }
    }
    return result;
}

std::vector<std::string> QtSerialPlatform::SerialDevices() {
    std::vector<std::string> paths;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        paths.push_back(info.systemLocation().toStdString());
    }
    return paths;
}

std::unique_ptr<app::SerialDevice> QtSerialPlatform::OpenDevice(const std::string& path) {
    auto port = std::make_unique<QSerialPort>();
    port->setPortName(QString::fromStdString(path));
    // Write only: nothing the device sends is read, or kept.
    if (!port->open(QIODevice::WriteOnly)) return nullptr;
    return std::make_unique<QtSerialDevice>(std::move(port));
}

}  // namespace corvel::links
