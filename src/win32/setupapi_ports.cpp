// The present COM port devices through setupapi, loaded at run time from the system folder.
#include "win32/setupapi_ports.h"

#include "win32/library_search.h"
#include "portlookup/registry_value.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

// Instance IDs are at most MAX_DEVICE_ID_LEN characters; a location has no documented limit.
constexpr DWORD kInstanceIdCapacity = MAX_DEVICE_ID_LEN + 1;
constexpr DWORD kLocationCapacity = 1024;
// More port devices than any machine has: a listing that never ends is cut short instead.
constexpr DWORD kMaxPortDevices = 4096;

template <typename Fn>
bool Resolve(HMODULE module, const char* name, Fn& function) {
    function = ExportOf<Fn>(module, name);
    return function != nullptr;
}

std::optional<SetupApiCalls> LoadCalls() {
    const HMODULE module = LoadSystemLibrary("setupapi.dll");
    if (module == nullptr) return std::nullopt;
    SetupApiCalls calls{};
    const bool all = Resolve(module, "SetupDiGetClassDevsA", calls.GetClassDevsA) &&
                     Resolve(module, "SetupDiEnumDeviceInfo", calls.EnumDeviceInfo) &&
                     Resolve(module, "SetupDiGetDeviceInstanceIdA", calls.GetDeviceInstanceIdA) &&
                     Resolve(module, "SetupDiOpenDevRegKey", calls.OpenDevRegKey) &&
                     Resolve(module, "SetupDiGetDeviceRegistryPropertyA", calls.GetDeviceRegistryPropertyA) &&
                     Resolve(module, "CM_Get_Parent", calls.GetParent) &&
                     Resolve(module, "CM_Get_Device_IDA", calls.GetDeviceIdA) &&
                     Resolve(module, "SetupDiDestroyDeviceInfoList", calls.DestroyDeviceInfoList);
    if (!all) {
        FreeLibrary(module);
        return std::nullopt;
    }
    calls.QueryValueExA = RegQueryValueExA;
    calls.CloseKey = RegCloseKey;
    // A device's problem is told where setupapi can say it; none is told where it cannot.
    Resolve(module, "CM_Get_DevNode_Status", calls.GetDevNodeStatus);
    return calls;  // the module stays loaded for the rest of the process
}

// A text ends at its first zero byte or at the end of what was written.
std::string TextOf(const char* bytes, std::size_t capacity) { return std::string(bytes, strnlen(bytes, capacity)); }

std::optional<std::string> InstanceId(const SetupApiCalls& calls, HDEVINFO list, SP_DEVINFO_DATA& device) {
    std::array<char, kInstanceIdCapacity> id{};
    if (!calls.GetDeviceInstanceIdA(list, &device, id.data(), id.size() - 1, nullptr)) return std::nullopt;
    return TextOf(id.data(), id.size());
}

std::string ParentInstanceId(const SetupApiCalls& calls, DEVINST device) {
    DEVINST parent = 0;
    std::array<char, kInstanceIdCapacity> id{};
    // Too small a buffer is filled without a terminator: one byte stays zero.
    if (calls.GetParent(&parent, device, 0) != CR_SUCCESS ||
        calls.GetDeviceIdA(parent, id.data(), id.size() - 1, 0) != CR_SUCCESS)
        return {};
    return TextOf(id.data(), id.size());
}

// The bytes of the device key's "PortName", offered the 100 bytes the registry lookup offers. A longer one is
// refused by the query; which names are too long to count is PortsOfScan's to say, for every listing alike.
std::optional<std::string> PortName(const SetupApiCalls& calls, HDEVINFO list, SP_DEVINFO_DATA& device) {
    const HKEY key = calls.OpenDevRegKey(list, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE || key == nullptr) return std::nullopt;
    ValueBuffer buffer{};
    DWORD size = kValueCapacity;
    DWORD type = 0;  // any type will do: only the bytes count
    const LONG status = calls.QueryValueExA(key, kPortNameValue, nullptr, &type, buffer.data(), &size);
    calls.CloseKey(key);
    if (status != ERROR_SUCCESS) return std::nullopt;
    return std::string(reinterpret_cast<const char*>(buffer.data()), std::min<std::size_t>(size, buffer.size()));
}

std::optional<std::string> Location(const SetupApiCalls& calls, HDEVINFO list, SP_DEVINFO_DATA& device) {
    std::array<char, kLocationCapacity + 1> text{};
    DWORD type = 0;
    if (!calls.GetDeviceRegistryPropertyA(list, &device, SPDRP_LOCATION_INFORMATION, &type,
                                          reinterpret_cast<BYTE*>(text.data()), kLocationCapacity, nullptr))
        return std::nullopt;
    return TextOf(text.data(), text.size());
}

}  // namespace

const SetupApiCalls* LoadSetupApi() {
    static const std::optional<SetupApiCalls> calls = LoadCalls();
    return calls ? &*calls : nullptr;
}

std::optional<std::vector<PresentPort>> ListPresentPorts(const SetupApiCalls& calls) {
    // Read only: listing the present devices changes nothing.
    const HDEVINFO list = calls.GetClassDevsA(&kPortsClass, nullptr, nullptr, DIGCF_PRESENT);
    if (list == INVALID_HANDLE_VALUE) return std::nullopt;
    std::vector<PresentPort> ports;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD index = 0; index < kMaxPortDevices && calls.EnumDeviceInfo(list, index, &device); ++index) {
        auto id = InstanceId(calls, list, device);
        auto portName = id ? PortName(calls, list, device) : std::nullopt;
        if (!portName) continue;  // a device Windows cannot describe is left out, not the listing
        ports.push_back({std::move(*id), ParentInstanceId(calls, device.DevInst), std::move(*portName),
                         Location(calls, list, device), device.DevInst});
    }
    calls.DestroyDeviceInfoList(list);
    return ports;
}

std::optional<std::uint32_t> DeviceProblem(const SetupApiCalls& calls, const PresentPort& port) {
    if (calls.GetDevNodeStatus == nullptr) return std::nullopt;
    // Both start at 0: Wine answers CR_SUCCESS and writes neither, which then reads as no problem.
    ULONG status = 0, problem = 0;
    if (calls.GetDevNodeStatus(&status, &problem, static_cast<DEVINST>(port.Node), 0) != CR_SUCCESS) return std::nullopt;
    // The number means something only beside the flag.
    if ((status & DN_HAS_PROBLEM) == 0 || problem == 0) return std::nullopt;
    return problem;
}

std::optional<std::vector<PresentPort>> SetupApiPorts::List() {
    const SetupApiCalls* calls = LoadSetupApi();
    if (calls == nullptr) return std::nullopt;
    return ListPresentPorts(*calls);
}

std::optional<std::uint32_t> SetupApiPorts::Problem(const PresentPort& port) {
    const SetupApiCalls* calls = LoadSetupApi();
    return calls != nullptr ? DeviceProblem(*calls, port) : std::nullopt;
}
