// Fakes of the device library, registry, present ports and version word that journal every call, for the unit tests and
// fuzz targets.
#pragma once

#include "app/code_page.h"
#include "app/platform.h"
#include "app/shared_state.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

struct FakeDevice {
    std::int32_t Vid = 0x5E1A;
    std::int32_t Pid = 0xB007;
    std::string Serial;
    std::optional<std::int32_t> ReportedLength;    // written instead of the serial's size
    std::map<std::string, std::int16_t> Failures;  // "Open", "Vid", "Pid", "Serial", "Close" -> status
    std::string Throws;                            // the call that throws DeviceLibraryFault
};

// Journals "Count -> 0", "Open 0 -> 0", "Vid 0 -> 0", "Serial 0 ascii=1 -> 0", "Close 0 -> 0"; a call
// on a handle that is not open (never opened, closed, narrowed) is journaled "bad handle".
class FakeDeviceLibrary final : public DeviceLibrary {
public:
    std::vector<FakeDevice> Devices;
    std::optional<std::int32_t> Count;  // reported instead of Devices.size()
    std::int16_t CountStatus = 0;
    std::vector<std::string> Journal;
    std::set<std::int32_t> OpenDevices;

    std::int16_t GetNumDevices(std::int32_t* numDevices) override {
        *numDevices = Count.value_or(static_cast<std::int32_t>(Devices.size()));
        return Log("Count", CountStatus);
    }
    std::int16_t Open(std::int32_t index, LibraryHandle* handle) override {
        // A walk past any sane count would otherwise run for hours before it fails.
        if (Journal.size() > 100000) throw std::length_error("runaway device walk");
        const bool exists = index >= 0 && index < static_cast<std::int32_t>(Devices.size());
        const auto status = Log("Open " + std::to_string(index), exists ? Failure(Devices[std::size_t(index)], "Open") : 2);
        if (status == 0) *handle = kHandleBase + static_cast<LibraryHandle>(*OpenDevices.insert(index).first);
        return status;
    }
    std::int16_t GetDeviceVid(LibraryHandle handle, std::int32_t* vid) override {
        return Call(handle, "Vid", [&](const FakeDevice& device) { *vid = device.Vid; });
    }
    std::int16_t GetDevicePid(LibraryHandle handle, std::int32_t* pid) override {
        return Call(handle, "Pid", [&](const FakeDevice& device) { *pid = device.Pid; });
    }
    std::int16_t GetDeviceSerialNumber(LibraryHandle handle, std::uint8_t* serial, std::int32_t* length,
                                       std::int32_t ascii) override {
        const auto write = [&](const FakeDevice& device) {
            const std::size_t count = std::min<std::size_t>(device.Serial.size(), kSerialBufferSize);
            std::memcpy(serial, device.Serial.data(), count);
            *length = device.ReportedLength.value_or(static_cast<std::int32_t>(count));
        };
        return Call(handle, "Serial", write, " ascii=" + std::to_string(ascii));
    }
    std::int16_t Close(LibraryHandle handle) override {
        const std::int16_t status = Call(handle, "Close", [](const FakeDevice&) {});
        OpenDevices.erase(static_cast<std::int32_t>(handle - kHandleBase));
        return status;
    }

private:
    // Above 4 GiB, as a library's own addresses are: a handle narrowed anywhere finds no device.
    static constexpr LibraryHandle kHandleBase =
        static_cast<LibraryHandle>(sizeof(LibraryHandle) > 4 ? 0x1'0000'0100ull : 0x100);
    static std::int16_t Failure(const FakeDevice& device, const std::string& call) {
        return device.Failures.contains(call) ? device.Failures.at(call) : 0;
    }
    std::int16_t Log(const std::string& call, std::int16_t status) {
        Journal.push_back(call + " -> " + std::to_string(status));
        return status;
    }
    // Journals the call on an open device and, where it succeeds, writes what the device gives.
    template <typename Write>
    std::int16_t Call(LibraryHandle handle, const char* call, Write write, const std::string& detail = "") {
        const auto index = static_cast<std::int32_t>(handle - kHandleBase);
        if (handle < kHandleBase || !OpenDevices.contains(index)) {
            Journal.push_back(std::string(call) + " bad handle " + std::to_string(handle));
            return 1;
        }
        const FakeDevice& device = Devices[static_cast<std::size_t>(index)];
        if (device.Throws == call) throw DeviceLibraryFault("BuscaVIRK.dll", call, 127);
        const std::int16_t status = Log(call + (" " + std::to_string(index)) + detail, Failure(device, call));
        if (status == 0) write(device);
        return status;
    }
};

inline constexpr std::int32_t kRegFileNotFound = 2, kRegAccessDenied = 5, kRegInvalidHandle = 6;

// A standard user's registry below HKEY_LOCAL_MACHINE: names match whatever their case, more than
// read access is refused, a value longer than offered answers 234 with the size it needs.
// Journals "open <name> -> s", "query <name> offered=n -> s [size=n]", "close <name>".
class FakeRegistry final : public Registry {
public:
    std::vector<std::string> Journal;

    void AddKey(const std::string& path) {  // with every key above it
        for (std::size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1)) keys_[Lower(path.substr(0, at))];
        keys_[Lower(path)];
    }
    void SetValue(const std::string& keyPath, const std::string& name, const std::string& bytes) {
        AddKey(keyPath);
        keys_[Lower(keyPath)][Lower(name)] = bytes;
    }
    std::size_t KeysOpen() const { return open_.size(); }

    std::int32_t OpenKeyEx(RegKey parent, const char* subKey, std::uint32_t, std::uint32_t access, RegKey* result) override {
        return Open(parent, subKey, result, (access & ~kKeyRead) != 0);
    }
    std::int32_t OpenKey(RegKey parent, const char* subKey, RegKey* result) override { return Open(parent, subKey, result, false); }
    std::int32_t QueryValueEx(RegKey key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                              std::uint32_t* size) override {
        const std::uint32_t offered = *size;
        std::int32_t status = kRegInvalidHandle;
        if (const auto found = open_.find(key); found != open_.end()) {
            const auto& values = keys_[found->second.first];
            const auto value = values.find(Lower(valueName));
            status = kRegFileNotFound;
            if (value != values.end()) {
                *type = 1;  // REG_SZ; the lookups read only the bytes
                *size = static_cast<std::uint32_t>(value->second.size());
                status = *size > offered ? kRegMoreData : kRegSuccess;
                if (status == kRegSuccess) std::memcpy(data, value->second.data(), *size);
            }
        }
        const bool sized = status == kRegSuccess || status == kRegMoreData;
        Journal.push_back("query " + std::string(valueName) + " offered=" + std::to_string(offered) + Status(status) +
                          (sized ? " size=" + std::to_string(*size) : ""));
        return status;
    }
    std::int32_t CloseKey(RegKey key) override {
        const auto found = open_.find(key);
        Journal.push_back(found == open_.end() ? "close bad handle" : "close " + found->second.second);
        if (found == open_.end()) return kRegInvalidHandle;
        open_.erase(found);
        return kRegSuccess;
    }

private:
    static std::string Lower(std::string text) {
        std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
        return text;
    }
    static std::string Status(std::int32_t status) { return " -> " + std::to_string(status); }
    std::int32_t Open(RegKey parent, const std::string& subKey, RegKey* result, bool refused) {
        if (Journal.size() > 1000000) throw std::length_error("runaway registry walk");  // fails in seconds, not hours
        const auto from = open_.find(parent);
        std::string path = Lower((from == open_.end() ? "" : from->second.first + "\\") + subKey);
        if (path.ends_with('\\')) path.pop_back();
        const std::int32_t status = refused                                             ? kRegAccessDenied
                                    : parent != kLocalMachine && from == open_.end() ? kRegInvalidHandle
                                    : keys_.contains(path)                           ? kRegSuccess
                                                                                     : kRegFileNotFound;
        if (status == kRegSuccess) {
            *result = next_++;
            open_[*result] = {path, subKey};
        }
        Journal.push_back("open " + subKey + Status(status));
        return status;
    }
    std::map<std::string, std::map<std::string, std::string>> keys_;  // lower-case path -> values
    std::map<RegKey, std::pair<std::string, std::string>> open_;       // handle -> path, name opened
    RegKey next_ = 0x1000;
};

// The port devices Windows lists as present; counts the listings a scan asks for and journals whose problem.
class FakePresentPorts final : public PresentPorts {
public:
    std::optional<std::vector<PresentPort>> Ports = std::vector<PresentPort>{};  // nullopt: Windows cannot list them
    std::map<std::string, std::uint32_t> Problems;  // by instance ID
    int Listings = 0;
    std::vector<std::string> ProblemsAsked;
    std::optional<std::vector<PresentPort>> List() override {
        ++Listings;
        return Ports;
    }
    std::optional<std::uint32_t> Problem(const PresentPort& port) override {
        ProblemsAsked.push_back(port.InstanceId);
        return Problems.contains(port.InstanceId) ? std::optional(Problems.at(port.InstanceId)) : std::nullopt;
    }
};

class FixedVersion final : public OsVersion {
public:
    std::uint32_t Value = 0x0A280105;  // XP, 5.1
    std::uint32_t GetVersion() override { return Value; }
};

// A registry value, as a table row gives it.
struct RegValue {
    std::string key, name, bytes;
};
// The older drivers' record of an adapter 5e1a/b007 in the 2000/XP layout, its serial spelt as the key names it.
inline RegValue Older(const std::string& serial, const std::string& portName) {
    return {"SYSTEM\\CurrentControlSet\\Enum\\USB\\Vid_5e1a&Pid_b007&Mi_00\\" + serial + "_00\\Device Parameters",
            "PortName", portName + '\0'};
}

template <typename Text>
Text Repeat(const Text& text, int times) {
    Text all;
    while (times-- > 0) all += text;
    return all;
}

// Everything a whole scan runs against, Windows-1252 as the code page.
struct ScanRig {
    FakeDeviceLibrary devices;
    FakeRegistry registry;
    FakePresentPorts ports;
    FixedVersion version;
    const WindowsLatin1CodePage codePage;
    SharedState state;
    Platform platform{devices, registry, ports, version, codePage};

    void Set(const std::vector<RegValue>& values) {
        for (const RegValue& value : values) registry.SetValue(value.key, value.name, value.bytes);
    }
    // A table row's machine: these adapters attached, this version word, these values in the registry.
    void Given(const std::vector<FakeDevice>& attached, std::uint32_t versionWord, const std::vector<RegValue>& values) {
        devices.Devices = attached;
        version.Value = versionWord;
        Set(values);
    }
    // What a scan left behind: devices or keys still open, calls on bad handles; empty when none.
    std::string Leftovers() const {
        std::string left;
        if (!devices.OpenDevices.empty() || state.DeviceOpen) left += "device left open; ";
        if (registry.KeysOpen() != 0) left += std::to_string(registry.KeysOpen()) + " keys left open; ";
        for (const auto* journal : {&devices.Journal, &registry.Journal})
            for (const std::string& line : *journal)
                if (line.find("bad handle") != std::string::npos) left += line + "; ";
        return left;
    }
};
