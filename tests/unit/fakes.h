// Fakes of the device library, registry, present ports and version word that journal every call, for the unit tests and fuzz targets.
#pragma once

#include "app/code_page.h"
#include "app/platform.h"
#include "app/shared_state.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

struct FakeDevice {
    std::int32_t Vid = 0x5E1A;
    std::int32_t Pid = 0xB007;
    std::string Serial;
    std::optional<std::int32_t> ReportedLength;    // written instead of the serial's size
    std::map<std::string, std::int16_t> Failures;  // "Open", "Vid", "Pid", "Serial", "Close" -> status
    std::string Throws;                            // the call that throws DeviceLibraryFault
    std::int16_t Failure(const std::string& call) const { return Failures.contains(call) ? Failures.at(call) : 0; }
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

    std::int16_t GetNumDevices(std::int32_t* numDevices) override;
    std::int16_t Open(std::int32_t deviceIndex, LibraryHandle* handle) override;
    std::int16_t GetDeviceVid(LibraryHandle handle, std::int32_t* vid) override;
    std::int16_t GetDevicePid(LibraryHandle handle, std::int32_t* pid) override;
    std::int16_t GetDeviceSerialNumber(LibraryHandle handle, std::uint8_t* serial, std::int32_t* length,
                                       std::int32_t ascii) override;
    std::int16_t Close(LibraryHandle handle) override;

private:
    // Above 4 GiB, as a library's own addresses are: a handle narrowed anywhere finds no device.
    static constexpr LibraryHandle kHandleBase =
        static_cast<LibraryHandle>(sizeof(LibraryHandle) > 4 ? 0x1'0000'0100ull : 0x100);
    const FakeDevice* Call(LibraryHandle handle, const char* call, std::int16_t& status, const std::string& detail = "");
};

inline constexpr std::int32_t kRegFileNotFound = 2, kRegAccessDenied = 5, kRegInvalidHandle = 6;

// A standard user's registry below HKEY_LOCAL_MACHINE: names match whatever their case, more than
// read access is refused, a value longer than offered answers 234 with the size it needs.
// Journals "open <name> [access=0x..] -> s", "query <name> offered=n -> s [size=n]", "close <name>".
class FakeRegistry final : public Registry {
public:
    void AddKey(const std::string& path);  // with every key above it
    void SetValue(const std::string& keyPath, const std::string& name, const std::string& bytes);
    std::optional<std::uint32_t> Insist;  // every query answers 234 with this size
    std::vector<std::string> Journal;
    std::size_t KeysOpen() const { return open_.size(); }

    std::int32_t OpenKeyEx(RegKey parent, const char* subKey, std::uint32_t options, std::uint32_t access,
                           RegKey* result) override;
    std::int32_t OpenKey(RegKey parent, const char* subKey, RegKey* result) override;
    std::int32_t QueryValueEx(RegKey key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                              std::uint32_t* size) override;
    std::int32_t CloseKey(RegKey key) override;

private:
    std::int32_t Open(RegKey parent, const std::string& subKey, RegKey* result, const std::string& detail, bool refused);
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
        if (!Problems.contains(port.InstanceId)) return std::nullopt;
        return Problems.at(port.InstanceId);
    }
};

class FixedVersion final : public OsVersion {
public:
    std::uint32_t Value = 0x0A280105;  // XP, 5.1
    std::uint32_t GetVersion() override { return Value; }
};

// Everything a whole scan runs against, Windows-1252 as the code page.
struct ScanRig {
    FakeDeviceLibrary devices;
    FakeRegistry registry;
    FakePresentPorts ports;
    FixedVersion version;
    const WindowsLatin1CodePage codePage;
    SharedState state;
    Platform platform{devices, registry, ports, version, codePage};
    // What a scan left behind: devices or keys still open, calls on bad handles; empty when none.
    std::string Leftovers() const;
};
