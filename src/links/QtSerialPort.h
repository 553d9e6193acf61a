// The machine's serial devices through Qt SerialPort: the list the system reports, and a device
// opened for writing, exclusively, set to the rate and frame the port asks for. Writes go straight
// to the device without blocking and wait for room at most the time limit they are given, so a
// stalled or vanished device never holds the program.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/transmission/SerialPorts.h"

class QSerialPort;

namespace corvel::links {

class QtSerialDevice : public app::SerialDevice {
public:
    explicit QtSerialDevice(std::unique_ptr<QSerialPort> port);
    ~QtSerialDevice() override;

    bool ReadSettings() override;
    bool ApplySettings(const app::SerialSettings& settings) override;
    app::SerialWrite Write(std::string_view bytes, std::chrono::milliseconds timeLimit) override;

private:
    std::unique_ptr<QSerialPort> port_;
};

class QtSerialPlatform : public app::SerialPlatform {
public:
    std::vector<std::string> SerialDevices() override;
    // A path that is not a serial device, missing, busy or refused: nothing. Pseudo-terminals
    // open like any device (the system's list does not show them).
    std::unique_ptr<app::SerialDevice> OpenDevice(const std::string& path) override;
};

}  // namespace corvel::links
