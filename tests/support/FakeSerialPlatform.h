// A scripted machine's serial devices: which exist, which cannot be opened, how much of each write
// a device takes, a device that fails; what was written to each path, kept after it is closed.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/transmission/SerialPorts.h"

namespace corvel::test {

// What happened to the device of one path, kept after the device is closed.
struct DeviceRecord {
    std::string bytes;
    std::optional<app::SerialSettings> settings;
    std::vector<std::chrono::milliseconds> limits;  // the time limit of each write
    int opens = 0;
    bool open = false;
};

struct FakeSerialPlatform : app::SerialPlatform {
    std::vector<std::string> devices;
    std::set<std::string> unavailable;
    bool readOk = true, applyOk = true;
    // How many bytes of each write the device takes (all by default); failing: the device is gone.
    std::function<size_t(std::string_view)> accept;
    bool failing = false;
    std::map<std::string, std::shared_ptr<DeviceRecord>> records;

    struct Device : app::SerialDevice {
        FakeSerialPlatform& platform;
        std::shared_ptr<DeviceRecord> record;
        Device(FakeSerialPlatform& p, std::shared_ptr<DeviceRecord> r) : platform(p), record(std::move(r)) {}
        ~Device() override { record->open = false; }
        bool ReadSettings() override { return platform.readOk; }
        bool ApplySettings(const app::SerialSettings& s) override {
            if (!platform.applyOk) return false;
            record->settings = s;
            return true;
        }
        app::SerialWrite Write(std::string_view bytes, std::chrono::milliseconds limit) override {
            record->limits.push_back(limit);
            if (platform.failing) return {0, true, "Input/output error"};
            const size_t n = platform.accept ? std::min(platform.accept(bytes), bytes.size()) : bytes.size();
            record->bytes.append(bytes.substr(0, n));
            return {n, false, {}};
        }
    };

    std::vector<std::string> SerialDevices() override { return devices; }
    std::unique_ptr<app::SerialDevice> OpenDevice(const std::string& path) override {
        if (unavailable.count(path)) return nullptr;
        auto& record = records[path];
        if (!record) record = std::make_shared<DeviceRecord>();
        if (record->open) return nullptr;  // exclusive
        record->open = true;
        ++record->opens;
        return std::make_unique<Device>(*this, record);
    }
};

}  // namespace corvel::test
