// The headless run's links: the TCP server, the UDP datagrams and the serial port, opened through
// the program's transmission, with no window model and no dialog.
#pragma once

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "app/program/Program.h"
#include "app/transmission/SerialPorts.h"
#include "app/transmission/Transmission.h"
#include "app/windows/NetworkDialogModel.h"
#include "links/QtNetLink.h"
#include "links/QtSerialPort.h"
#include "main/HeadlessOptions.h"

namespace corvel::headless {

// The links of a run, opened through the transmission: the serial port, the TCP server and the
// datagrams (both may run, each on a link of its own).
class HeadlessLinks {
public:
    HeadlessLinks(app::Program& program, links::QtSerialPlatform& serial)
        : out_(program.Out), ports_(program.ComPorts), serial_(serial) {}
    HeadlessLinks(const HeadlessLinks&) = delete;
    HeadlessLinks& operator=(const HeadlessLinks&) = delete;
    // The transmission lets go of the links before they go.
    ~HeadlessLinks() {
        out_.SetTcpLink(nullptr);
        out_.SetDatagramLink(nullptr);
    }

    // 0, or the exit code once one line on standard error said why.
    int Start(const Options& o) {
        if (o.serialDevice) {
            const auto& rates = app::kBaudRates;
            if (std::find(rates.begin(), rates.end(), std::to_string(o.serialBaud)) == rates.end()) {
                std::string list;
                for (const auto& r : rates) list += (list.empty() ? "" : ", ") + std::string(r);
                std::fprintf(stderr, "corvelnmea: débit invalide pour --serial : %d (%s)\n", o.serialBaud,
                             list.c_str());
                return 2;
            }
            bool opened = serial_.OpenDevice(*o.serialDevice) != nullptr;  // the device can be used
            if (opened) {
                ports_.SetDeviceOverrides({{"COM1", *o.serialDevice}});
                opened = out_.OpenSerial("COM1", o.serialBaud);
            }
            if (!opened) {
                std::fprintf(stderr, "corvelnmea: port série indisponible (absent, occupé ou refusé) : %s\n",
                             o.serialDevice->c_str());
                return 1;
            }
        }
        if (o.tcpPort || o.udpAddress) out_.OpenNetwork();
        if (o.tcpPort) {
            tcpLink_.emplace(o.tcpAddress.empty() ? QHostAddress(QHostAddress::AnyIPv4)
                                                  : QHostAddress(QString::fromStdString(o.tcpAddress)));
            out_.SetTcpLink(&*tcpLink_);
            out_.SetEveryClient(o.tcpAll);
            if (!out_.StartTcpServer(*o.tcpPort)) return 1;
        }
        if (o.udpAddress) {
            udpLink_.emplace();
            out_.SetDatagramLink(&*udpLink_);
            out_.SetDatagramLineEnds(o.udpLineEnds);
            // To the broadcast address of the address given (checked as IPv4 with the options).
            out_.StartDatagrams(app::BroadcastAddress(*o.udpAddress).value_or(*o.udpAddress), o.udpPort);
        }
        return 0;
    }

private:
    app::Transmission& out_;
    app::UARTManag& ports_;
    links::QtSerialPlatform& serial_;
    std::optional<links::QtNetLink> tcpLink_, udpLink_;
};

}  // namespace corvel::headless
