// The headless run's links: the TCP server, the UDP datagrams and the serial port, opened as the
// window's commands open them.
#pragma once

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "app/NetworkDialogModel.h"
#include "app/Program.h"
#include "app/SerialPorts.h"
#include "links/QtNetLink.h"
#include "links/QtSerialPort.h"
#include "main/HeadlessOptions.h"

namespace corvel::headless {

// The links of a run, set up as the window's commands set them up: the WiFi dialog launched in
// TCP or in UDP (both may run, each with a dialog of its own), the serial port chosen in the list.
class HeadlessLinks : public app::NetOutput {
public:
    HeadlessLinks(app::Program& program, links::QtSerialPlatform& serial)
        : w_(program.FCorvel), dialogs_(program.dialogs), ports_(program.ComPorts), serial_(serial) {}

    // 0, or the exit code once one line on standard error said why.
    int Start(const Options& o) {
        if (o.serialDevice) {
            const auto& rates = w_.CBbauds.items;
            const auto rate = std::find(rates.begin(), rates.end(), std::to_string(o.serialBaud));
            if (rate == rates.end()) {
                std::string list;
                for (const auto& r : rates) list += (list.empty() ? "" : ", ") + r;
                std::fprintf(stderr, "corvelnmea: débit invalide pour --serial : %d (%s)\n", o.serialBaud,
                             list.c_str());
                return 2;
            }
            if (!serial_.OpenDevice(*o.serialDevice)) {
                std::fprintf(stderr, "corvelnmea: port série indisponible (absent, occupé ou refusé) : %s\n",
                             o.serialDevice->c_str());
                return 1;
            }
            w_.CBbauds.itemIndex = static_cast<int>(rate - rates.begin());
            ports_.SetDeviceOverrides({{"COM1", *o.serialDevice}});
            w_.RefreshComList();
            w_.CBCom.itemIndex = 0;
            w_.CBComSelect();
            if (!w_.ComLinkOpen) return 1;
        }
        if (o.tcpPort) {
            tcpLink_.emplace(o.tcpAddress.empty() ? QHostAddress(QHostAddress::AnyIPv4)
                                                  : QHostAddress(QString::fromStdString(o.tcpAddress)));
            tcp_.emplace(w_, dialogs_);
            tcp_->SetNetLink(&*tcpLink_);
            if (o.tcpAll) {
                tcp_->ChkTousClients.checked = true;  // the dialog's box ticked
                tcp_->ChkTousClientsClick();
            }
            tcp_->EdPort.text = std::to_string(*o.tcpPort);
            tcp_->BtLanceServeurClick();
            if (!tcpLink_->ServerListening()) return 1;
        }
        if (o.udpAddress) {
            udpLink_.emplace();
            udp_.emplace(w_, dialogs_);
            udp_->SetNetLink(&*udpLink_);
            udp_->RadioButtonUDPChange();
            if (o.udpLineEnds) {
                udp_->ChkCRLF.checked = true;  // the dialog's box ticked
                udp_->ChkCRLFClick();
            }
            udp_->EdAdIP.text = *o.udpAddress;
            udp_->EdPort.text = std::to_string(o.udpPort);
            udp_->BtLanceServeurClick();
        }
        if (tcp_ && udp_) {
            w_.Wifi = this;
        } else if (tcp_ || udp_) {
            w_.Wifi = tcp_ ? &*tcp_ : &*udp_;
        }
        return 0;
    }

    // Both network links at once: the sentence to each.
    app::WriteResult TransmitSentence(std::string_view sentence) override {
        const app::WriteResult tcp = tcp_->TransmitSentence(sentence);
        const app::WriteResult udp = udp_->TransmitSentence(sentence);
        return udp.status == app::WriteResult::Status::Failed ? udp : tcp;
    }

private:
    app::TFCorvel& w_;
    app::Dialogs& dialogs_;
    app::UARTManag& ports_;
    links::QtSerialPlatform& serial_;
    std::optional<links::QtNetLink> tcpLink_, udpLink_;
    std::optional<app::TFParamWIFI> tcp_, udp_;  // after their links: they leave first
};

}  // namespace corvel::headless
