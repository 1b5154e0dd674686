// The floor of a scan: the library and registry calls a scan makes, issued directly; shared by the scan and click benches.
// Written apart from the program's code on purpose, and kept so: a floor is the same calls made directly, so it
// shares no lookup, loop or formatting with what it is measured against.
#include "scan_floor.h"

#include "app/ascii_text.h"
#include "win32/setupapi_ports.h"
#include "fixtures/recorded_port.h"

#include <cstring>

namespace bench {
namespace {

// The lookups' buffer and first offer (src/portlookup/registry_value.h), repeated so the floor
// offers the same sizes and so gets the same ERROR_MORE_DATA re-reads.
constexpr DWORD kValueBufferSize = 102;
constexpr DWORD kFirstOffer = 100;

// Open, the three reads and Close, as the scan makes them for one adapter.
void FloorReadDevice(DeviceLibrary& library, int index, CallCounts& counts) {
    LibraryHandle handle = 0;
    std::int32_t vid = 0;
    std::int32_t pid = 0;
    std::int32_t length = 0;
    std::uint8_t serial[kSerialBufferSize] = {};
    library.Open(index, &handle);
    library.GetDeviceVid(handle, &vid);
    library.GetDevicePid(handle, &pid);
    library.GetDeviceSerialNumber(handle, serial, &length, 1);
    library.Close(handle);
    counts.library += 5;
}

int FloorLookupXP(const std::string& devicePath, CallCounts& counts) {
    HKEY controlSet = nullptr;
    HKEY usbEnum = nullptr;
    HKEY device = nullptr;
    HKEY parameters = nullptr;
    BYTE data[kValueBufferSize];
    DWORD type = 0;
    DWORD size = kFirstOffer;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\", 0, KEY_READ, &controlSet);
    RegOpenKeyA(controlSet, "Enum\\USB\\", &usbEnum);
    RegOpenKeyA(usbEnum, devicePath.c_str(), &device);
    RegOpenKeyA(device, "Device Parameters", &parameters);
    const bool found = RegQueryValueExA(parameters, "PortName", nullptr, &type, data, &size) == ERROR_SUCCESS;
    RegCloseKey(parameters);
    RegCloseKey(device);
    RegCloseKey(usbEnum);
    RegCloseKey(controlSet);
    counts.registry += 9;
    return found ? 1 : 0;
}

// The instance walk with the lookup's size carry-over, so re-reads after a PortName happen here too.
int FloorLookup98(const std::string& deviceId, const std::vector<std::string>& instancePaths, CallCounts& counts) {
    int found = 0;
    BYTE data[kValueBufferSize];
    DWORD type = 0;
    DWORD valueSize = kFirstOffer;
    for (std::size_t i = 0; i < instancePaths.size();) {
        HKEY key = nullptr;
        ++counts.registry;
        if (RegOpenKeyA(HKEY_LOCAL_MACHINE, instancePaths[i].c_str(), &key) != ERROR_SUCCESS) break;
        const DWORD offered = std::min(valueSize, kValueBufferSize);
        valueSize = offered;
        const LONG status = RegQueryValueExA(key, "CRLowerDeviceID", nullptr, &type, data, &valueSize);
        ++counts.registry;
        const bool readAgain = status == ERROR_MORE_DATA && std::min(valueSize, kValueBufferSize) > offered;
        if (status == ERROR_SUCCESS && valueSize == deviceId.size() + 1 &&
            std::memcmp(data, deviceId.c_str(), deviceId.size() + 1) == 0) {
            valueSize = std::min(valueSize, kValueBufferSize);
            if (RegQueryValueExA(key, "PortName", nullptr, &type, data, &valueSize) == ERROR_SUCCESS) ++found;
            ++counts.registry;
        }
        RegCloseKey(key);
        ++counts.registry;
        if (!readAgain) ++i;
    }
    return found;
}

// The present ports' listing as the scan makes it, once a scan on 2000 and later: returns the ports listed.
int FloorListPorts(CallCounts& counts) {
    ++counts.portListings;
    const HDEVINFO list = SetupDiGetClassDevsA(&kPortsClass, nullptr, nullptr, DIGCF_PRESENT);
    if (list == INVALID_HANDLE_VALUE) return 0;
    int listed = 0;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(list, index, &device); ++index) {
        char id[MAX_DEVICE_ID_LEN + 1] = {};
        if (!SetupDiGetDeviceInstanceIdA(list, &device, id, MAX_DEVICE_ID_LEN, nullptr)) continue;
        const HKEY key = SetupDiOpenDevRegKey(list, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE) continue;
        BYTE data[kValueBufferSize];
        DWORD type = 0;
        DWORD size = kFirstOffer;
        const bool named = RegQueryValueExA(key, "PortName", nullptr, &type, data, &size) == ERROR_SUCCESS;
        RegCloseKey(key);
        if (!named) continue;
        DEVINST parent = 0;
        char parentId[MAX_DEVICE_ID_LEN + 1] = {};
        if (CM_Get_Parent(&parent, device.DevInst, 0) == CR_SUCCESS) CM_Get_Device_IDA(parent, parentId, MAX_DEVICE_ID_LEN, 0);
        char location[1025] = {};
        SetupDiGetDeviceRegistryPropertyA(list, &device, SPDRP_LOCATION_INFORMATION, &type, reinterpret_cast<BYTE*>(location),
                                          1024, nullptr);
        ++listed;
    }
    SetupDiDestroyDeviceInfoList(list);
    return listed;
}

}  // namespace

int Floor(DeviceLibrary& library, const FloorInputs& inputs, CallCounts& counts) {
    std::int32_t count = 0;
    library.GetNumDevices(&count);
    ++counts.library;
    int found = 0;
    // Matching a listed port to an adapter is the core's own work, not a call: the floor takes each one as found.
    const int listed = !inputs.layout98 && count > 0 ? FloorListPorts(counts) : 0;
    for (int index = 0; index < count; ++index) {
        FloorReadDevice(library, index, counts);
        if (inputs.todaysDrivers)
            found += index < listed ? 1 : 0;
        else
            found += inputs.layout98 ? FloorLookup98(inputs.deviceIds[static_cast<std::size_t>(index)], inputs.instancePaths, counts)
                                     : FloorLookupXP(inputs.devicePaths[static_cast<std::size_t>(index)], counts);
    }
    return found;
}

void FloorLibraryOnly(DeviceLibrary& library) {
    CallCounts ignored;
    std::int32_t count = 0;
    library.GetNumDevices(&count);
    for (int index = 0; index < count; ++index) FloorReadDevice(library, index, ignored);
}

FloorInputs PrepareAdapters(int devices, int instances, RegistryKeys& keys, const std::wstring& deviceFile, bool& ok,
                            bool todaysDrivers) {
    keys.Clear();
    FloorInputs inputs;
    inputs.layout98 = instances > 0;
    inputs.todaysDrivers = todaysDrivers;
    ok = WriteDeviceFile(deviceFile, devices);
    if (todaysDrivers) {
        for (int d = 0; d < devices; ++d)
            ok = ok && fixtures::RecordPort(std::string(kTodaysDeviceId) + "\\" + Serial(d), "COM" + std::to_string(d + 1),
                                            "Port_#" + std::to_string(d + 1) + ".Hub_#0001")
                           .empty();
    } else if (!inputs.layout98) {
        for (int d = 0; d < devices; ++d) {
            ok = ok && fixtures::SetPortXP(Serial(d), PortName(d + 1));
            inputs.devicePaths.push_back("Vid_1a2b&Pid_c3d4&Mi_00\\" + Serial(d) + "_00");
        }
    } else {
        // Each attached adapter's instance spread over the walk; the others name adapters no longer attached.
        std::vector<int> owner(static_cast<std::size_t>(instances), -1);
        for (int d = 0; d < devices; ++d) owner[static_cast<std::size_t>((2 * d + 1) * instances / (2 * devices))] = d;
        for (int i = 0; i < instances; ++i) {
            const int d = owner[static_cast<std::size_t>(i)];
            const std::string serial = Serial(d >= 0 ? d : 100000 + i);
            ok = ok && fixtures::SetInstance98(Instance98(i), fixtures::Id98(serial), PortName(d >= 0 ? d + 1 : 100 + i % 100));
            inputs.instancePaths.push_back(fixtures::Instance98Path(Instance98(i)));
        }
        inputs.instancePaths.push_back(fixtures::Instance98Path(Instance98(instances)));
        for (int d = 0; d < devices; ++d) inputs.deviceIds.push_back(fixtures::Id98(Serial(d)));
    }
    SetEnvironmentVariableW(L"BUSCAVIRK_DEVICES", deviceFile.c_str());
    return inputs;
}

bool ReportIsComplete(const std::u16string& report, int devices) {
    if (report.find(u"-1") != std::u16string::npos) return false;
    for (int d = 0; d < devices; ++d) {
        const std::string serial = Serial(d);
        if (report.find(AsciiText(serial)) == std::u16string::npos) return false;
    }
    return true;
}

}  // namespace bench
