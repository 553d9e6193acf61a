// The serial ports of the program: the twelve names "COM1" to "COM12", the device each one
// stands for on this machine, and the four operations the main window uses: find, open, write,
// close. The device work itself goes through SerialPlatform, which links/ implements with Qt and
// tests with doubles; nothing here waits for a device longer than its write time limit.
#pragma once

#include <array>
#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/program/Dialogs.h"
#include "app/transmission/Links.h"
#include "config/IniFile.h"

namespace corvel::app {

// The port names, in the order of the port list; a port is known by its index here.
inline constexpr std::array<std::string_view, 12> kComNames = {"COM1", "COM2", "COM3", "COM4",  "COM5",  "COM6",
                                                               "COM7", "COM8", "COM9", "COM10", "COM11", "COM12"};

// The rates a serial port can be opened at, in the order of the rate list.
inline constexpr std::array<std::string_view, 12> kBaudRates = {"150",  "300",   "600",   "1200",  "2400",   "4800",
                                                                "9600", "19200", "38400", "57600", "115200", "230400"};

// Index 0..11 of `name` in kComNames (exact match); -1 for any other name.
int FindComIndex(std::string_view name);

enum class Parity { None, Odd, Even, Mark, Space };
enum class StopBits { One, OneAndHalf, Two };

struct SerialSettings {
    int baudRate = 4800;
    Parity parity = Parity::None;
    int byteSize = 8;
    StopBits stopBits = StopBits::One;
};

// What one write did: the bytes the device took, and the failure that stopped it.
struct SerialWrite {
    std::size_t written = 0;
    bool failed = false;  // the device refused the write (unplugged, hung up ...)
    std::string error;    // with failed: the system's reason
};

// One open device.
class SerialDevice {
public:
    virtual ~SerialDevice() = default;  // closes the device
    // Reads the device's current settings; false when they cannot be read.
    virtual bool ReadSettings() = 0;
    // Writes the settings to the device; false when it refuses them.
    virtual bool ApplySettings(const SerialSettings& settings) = 0;
    // Writes `bytes`, waiting at most `timeLimit` for the device to take them all; returns early
    // with fewer bytes written when the limit passes. Never waits longer.
    virtual SerialWrite Write(std::string_view bytes, std::chrono::milliseconds timeLimit) = 0;
};

// The machine's serial devices.
class SerialPlatform {
public:
    virtual ~SerialPlatform() = default;
    // The device paths the system reports, in any order.
    virtual std::vector<std::string> SerialDevices() = 0;
    // Opens `path` for writing, exclusively; nothing when it is missing, busy or refused.
    virtual std::unique_ptr<SerialDevice> OpenDevice(const std::string& path) = 0;
};

// A machine without serial devices: the platform of a program run without ports (tests).
SerialPlatform& NoSerialDevices();

// The devices the settings file names for the ports: section "COM", keys "COM1" to "COM12" (empty
// values left out).
std::map<std::string, std::string> ComDeviceOverrides(const config::IniFile& settings);

// Device paths in natural order: "ttyS2" before "ttyS10", "ttyACM0" before "ttyS0".
void SortDevicePaths(std::vector<std::string>& paths);

// The serial ports: the device behind each name and the handle of each port's last open.
class UARTManag {
public:
    // The longest a write may wait for its device before it counts as incomplete.
    static constexpr std::chrono::milliseconds kWriteTimeLimit{100};

    // `overrides` maps port names ("COM1") to device paths; a name without one stands for the
    // n-th serial device the system reports (COM1 the first, in natural order).
    UARTManag(SerialPlatform& platform, Dialogs& dialogs, std::map<std::string, std::string> overrides = {});
    UARTManag(const UARTManag&) = delete;
    UARTManag& operator=(const UARTManag&) = delete;

    void SetDeviceOverrides(std::map<std::string, std::string> overrides) { overrides_ = std::move(overrides); }
    // The device path `name` stands for now; "" when there is none.
    std::string DevicePath(std::string_view name);
    // The device of every port, as the port list shows it ("" where there is none).
    std::array<std::string, kComNames.size()> DevicePaths();

    // Opens and configures the port; true when it is open with these settings. Messages:
    // "Erreur dans GetCommState" (the open goes on), "Erreur dans SetCommState" (the open fails).
    bool OpenComPort(std::string_view name, int baudRate, Parity parity = Parity::None, int byteSize = 8,
                     StopBits stopBits = StopBits::One);
    // Writes `text` (one byte per character) to the port of the last successful open, never
    // cutting it: Complete when it went out, or began to and its rest waits (the rest goes out
    // first, at the next write or FinishWrite); Incomplete when none of it went out, the rest of
    // an earlier text still waiting or the device taking nothing within the time limit: the text
    // is lost whole. Failed, with the message for the user, when the device failed: the port is
    // then closed. After a write that ran out of time, the next ones do not wait until one goes
    // through at once, so a stalled device costs one time limit, not one per sentence.
    WriteResult WriteComText(std::string_view text);
    // Waits at most `timeLimit` for the device to take the rest of a begun text: Complete once
    // nothing waits (or no port is open), Incomplete when the rest still waits.
    WriteResult FinishWrite(std::chrono::milliseconds timeLimit);
    // The port written to and its device, as the messages name it: "COM3 (/dev/ttyUSB0)".
    std::string CurrentPortLabel() const;
    // Closes the port; "Handle invalide en fermeture " when its last open failed; nothing when it
    // is not open.
    void CloseComPort(std::string_view name);

    bool IsOpen(std::string_view name) const;
    void SetWriteTimeLimit(std::chrono::milliseconds limit) { timeLimit_ = limit; }

private:
    struct Port {
        enum class State { Closed, Open, OpenFailed } state = State::Closed;
        std::unique_ptr<SerialDevice> device;
        std::string path;
    };

    SerialPlatform& platform_;
    Dialogs& dialogs_;
    std::map<std::string, std::string> overrides_;
    std::array<Port, kComNames.size()> ports_;
    // The rest of the text whose first bytes went out to the current port; `limit`: how long to wait.
    WriteResult WriteRest(std::chrono::milliseconds limit);
    // The device failed: the port closes; the result carries the message.
    WriteResult Fail(const SerialWrite& w);

    int current_ = -1;  // the port written to
    bool stalled_ = false;
    std::string rest_;  // the rest of a begun text, written before anything else
    std::chrono::milliseconds timeLimit_ = kWriteTimeLimit;
};

}  // namespace corvel::app
