// The serial ports; see SerialPorts.h.
#include "app/transmission/SerialPorts.h"

#include <algorithm>
#include <cctype>

namespace corvel::app {

int FindComIndex(std::string_view name) {
    const auto it = std::find(kComNames.begin(), kComNames.end(), name);
    return it == kComNames.end() ? -1 : static_cast<int>(it - kComNames.begin());
}

namespace {

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// Compares runs of digits by their value and the rest byte by byte.
bool NaturalLess(std::string_view a, std::string_view b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            size_t ei = i, ej = j;
            while (ei < a.size() && IsDigit(a[ei])) ++ei;
            while (ej < b.size() && IsDigit(b[ej])) ++ej;
            std::string_view na = a.substr(i, ei - i), nb = b.substr(j, ej - j);
            while (na.size() > 1 && na.front() == '0') na.remove_prefix(1);
            while (nb.size() > 1 && nb.front() == '0') nb.remove_prefix(1);
            if (na.size() != nb.size()) return na.size() < nb.size();
            if (na != nb) return na < nb;
            i = ei;
            j = ej;
        } else {
            if (a[i] != b[j]) return a[i] < b[j];
            ++i;
            ++j;
        }
    }
    if (a.size() - i != b.size() - j) return a.size() - i < b.size() - j;
    return a < b;  // equal by value ("ttyS01", "ttyS1"): any fixed order
}

class NoDevices : public SerialPlatform {
public:
    std::vector<std::string> SerialDevices() override { return {}; }
    std::unique_ptr<SerialDevice> OpenDevice(const std::string&) override { return nullptr; }
};

}  // namespace

SerialPlatform& NoSerialDevices() {
    static NoDevices none;
    return none;
}

std::map<std::string, std::string> ComDeviceOverrides(const config::IniFile& settings) {
    std::map<std::string, std::string> overrides;
    for (std::string_view name : kComNames) {
        if (auto path = settings.Value("COM", name); path && !path->empty()) overrides.emplace(name, std::move(*path));
    }
    return overrides;
}

void SortDevicePaths(std::vector<std::string>& paths) { std::sort(paths.begin(), paths.end(), NaturalLess); }

UARTManag::UARTManag(SerialPlatform& platform, Dialogs& dialogs, std::map<std::string, std::string> overrides)
    : platform_(platform), dialogs_(dialogs), overrides_(std::move(overrides)) {}

std::string UARTManag::DevicePath(std::string_view name) {
    const int index = FindComIndex(name);
    if (index < 0) return {};
    return DevicePaths()[static_cast<size_t>(index)];
}

std::array<std::string, kComNames.size()> UARTManag::DevicePaths() {
    std::vector<std::string> system = platform_.SerialDevices();
    SortDevicePaths(system);
    std::array<std::string, kComNames.size()> paths;
    for (size_t i = 0; i < kComNames.size(); ++i) {
        const auto it = overrides_.find(std::string(kComNames[i]));
        if (it != overrides_.end()) {
            paths[i] = it->second;
        } else if (i < system.size()) {
            paths[i] = system[i];
        }
    }
    return paths;
}

bool UARTManag::OpenComPort(std::string_view name, int baudRate, Parity parity, int byteSize, StopBits stopBits) {
    const int index = FindComIndex(name);
    if (index < 0) return false;  // only the names of the table are ports
    Port& port = ports_[static_cast<size_t>(index)];
    if (current_ == index) current_ = -1;
    port.device.reset();  // a port opened again starts from a fresh handle
    port.path = DevicePath(name);
    port.device = port.path.empty() ? nullptr : platform_.OpenDevice(port.path);
    if (!port.device) {
        port.state = Port::State::OpenFailed;
        return false;
    }
    port.state = Port::State::Open;
    if (!port.device->ReadSettings()) dialogs_.ShowMessage("Erreur dans GetCommState");
    if (!port.device->ApplySettings({baudRate, parity, byteSize, stopBits})) {
        dialogs_.ShowMessage("Erreur dans SetCommState");
        port.device.reset();
        port.state = Port::State::OpenFailed;
        return false;
    }
    current_ = index;
    stalled_ = false;
    rest_.clear();
    return true;
}

WriteResult UARTManag::WriteComText(std::string_view text) {
    if (current_ < 0 || !ports_[static_cast<size_t>(current_)].device) {
        return {WriteResult::Status::Incomplete, {}};  // no port: nothing went out
    }
    const std::chrono::milliseconds limit = stalled_ ? std::chrono::milliseconds(0) : timeLimit_;
    if (!rest_.empty()) {
        if (WriteResult r = WriteRest(limit); r.status != WriteResult::Status::Complete) return r;
    }
    const SerialWrite w = ports_[static_cast<size_t>(current_)].device->Write(text, limit);
    if (w.failed) return Fail(w);
    stalled_ = w.written < text.size();
    if (w.written == 0 && !text.empty()) return {WriteResult::Status::Incomplete, {}};
    rest_.assign(text.substr(w.written));
    return {};
}

WriteResult UARTManag::FinishWrite(std::chrono::milliseconds timeLimit) {
    if (current_ < 0 || rest_.empty()) return {};
    return WriteRest(timeLimit);
}

WriteResult UARTManag::WriteRest(std::chrono::milliseconds limit) {
    const SerialWrite w = ports_[static_cast<size_t>(current_)].device->Write(rest_, limit);
    if (w.failed) return Fail(w);
    rest_.erase(0, w.written);
    stalled_ = !rest_.empty();
    return {stalled_ ? WriteResult::Status::Incomplete : WriteResult::Status::Complete, {}};
}

WriteResult UARTManag::Fail(const SerialWrite& w) {
    const std::string message = "Erreur WriteFile : le port " + CurrentPortLabel() + " ne répond plus (" + w.error +
                                ") ; la liaison série est fermée";
    Port& port = ports_[static_cast<size_t>(current_)];
    port.device.reset();
    port.state = Port::State::Closed;
    current_ = -1;
    rest_.clear();
    return {WriteResult::Status::Failed, message};
}

std::string UARTManag::CurrentPortLabel() const {
    if (current_ < 0) return {};
    return std::string(kComNames[static_cast<size_t>(current_)]) + " (" + ports_[static_cast<size_t>(current_)].path +
           ")";
}

void UARTManag::CloseComPort(std::string_view name) {
    const int index = FindComIndex(name);
    if (index < 0) return;
    Port& port = ports_[static_cast<size_t>(index)];
    if (port.state == Port::State::OpenFailed) {
        dialogs_.ShowMessage("Handle invalide en fermeture ");
        return;
    }
    port.device.reset();
    port.state = Port::State::Closed;
    if (current_ == index) {
        current_ = -1;
        rest_.clear();
    }
}

bool UARTManag::IsOpen(std::string_view name) const {
    const int index = FindComIndex(name);
    return index >= 0 && ports_[static_cast<size_t>(index)].state == Port::State::Open;
}

}  // namespace corvel::app
