// Fakes of the device library, registry and version word that journal every call, for the unit tests and fuzz targets.
#include "fakes.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string Status(std::int32_t status) { return " -> " + std::to_string(status); }

}  // namespace

const FakeDevice* FakeDeviceLibrary::Call(LibraryHandle handle, const char* call, std::int16_t& status,
                                          const std::string& detail) {
    const auto index = static_cast<std::int32_t>(handle - kHandleBase);
    status = 1;
    if (handle < kHandleBase || !OpenDevices.contains(index)) {
        Journal.push_back(std::string(call) + " bad handle " + std::to_string(handle));
        return nullptr;
    }
    const FakeDevice& device = Devices[static_cast<std::size_t>(index)];
    if (device.Throws == call) throw DeviceLibraryFault("BuscaVIRK.dll", call, 127);
    status = device.Failure(call);
    Journal.push_back(call + (" " + std::to_string(index)) + detail + Status(status));
    return status == 0 ? &device : nullptr;
}

std::int16_t FakeDeviceLibrary::GetNumDevices(std::int32_t* numDevices) {
    *numDevices = Count.value_or(static_cast<std::int32_t>(Devices.size()));
    Journal.push_back("Count" + Status(CountStatus));
    return CountStatus;
}

std::int16_t FakeDeviceLibrary::Open(std::int32_t deviceIndex, LibraryHandle* handle) {
    // A walk past any sane count would otherwise run for hours before it fails.
    if (Journal.size() > 100000) throw std::length_error("runaway device walk");
    std::int16_t status = 2;  // no such device
    if (deviceIndex >= 0 && deviceIndex < static_cast<std::int32_t>(Devices.size()))
        status = Devices[static_cast<std::size_t>(deviceIndex)].Failure("Open");
    if (status == 0) {
        *handle = kHandleBase + static_cast<LibraryHandle>(deviceIndex);
        OpenDevices.insert(deviceIndex);
    }
    Journal.push_back("Open " + std::to_string(deviceIndex) + Status(status));
    return status;
}

std::int16_t FakeDeviceLibrary::GetDeviceVid(LibraryHandle handle, std::int32_t* vid) {
    std::int16_t status = 0;
    if (const FakeDevice* device = Call(handle, "Vid", status)) *vid = device->Vid;
    return status;
}

std::int16_t FakeDeviceLibrary::GetDevicePid(LibraryHandle handle, std::int32_t* pid) {
    std::int16_t status = 0;
    if (const FakeDevice* device = Call(handle, "Pid", status)) *pid = device->Pid;
    return status;
}

std::int16_t FakeDeviceLibrary::GetDeviceSerialNumber(LibraryHandle handle, std::uint8_t* serial,
                                                      std::int32_t* length, std::int32_t ascii) {
    std::int16_t status = 0;
    if (const FakeDevice* device = Call(handle, "Serial", status, " ascii=" + std::to_string(ascii))) {
        const std::size_t count = std::min<std::size_t>(device->Serial.size(), kSerialBufferSize);
        std::memcpy(serial, device->Serial.data(), count);
        *length = device->ReportedLength.value_or(static_cast<std::int32_t>(count));
    }
    return status;
}

std::int16_t FakeDeviceLibrary::Close(LibraryHandle handle) {
    std::int16_t status = 0;
    Call(handle, "Close", status);
    OpenDevices.erase(static_cast<std::int32_t>(handle - kHandleBase));
    return status;
}

void FakeRegistry::AddKey(const std::string& path) {
    const std::string lower = Lower(path);
    for (std::size_t at = lower.find('\\'); at != std::string::npos; at = lower.find('\\', at + 1))
        keys_[lower.substr(0, at)];
    if (!lower.empty() && lower.back() != '\\') keys_[lower];
}

void FakeRegistry::SetValue(const std::string& keyPath, const std::string& name, const std::string& bytes) {
    AddKey(keyPath);
    keys_[Lower(keyPath)][Lower(name)] = bytes;
}

std::int32_t FakeRegistry::Open(RegKey parent, const std::string& subKey, RegKey* result, const std::string& detail,
                                bool refused) {
    if (Journal.size() > 1000000) throw std::length_error("runaway registry walk");  // fails in seconds, not hours
    const auto from = open_.find(parent);
    std::string path = from == open_.end() ? "" : from->second.first + "\\";
    path = Lower(path + subKey);
    if (path.ends_with('\\')) path.pop_back();
    std::int32_t status = kRegSuccess;
    if (refused)
        status = kRegAccessDenied;
    else if (parent != kLocalMachine && from == open_.end())
        status = kRegInvalidHandle;
    else if (!keys_.contains(path))
        status = kRegFileNotFound;
    if (status == kRegSuccess) {
        *result = next_++;
        open_[*result] = {path, subKey};
    }
    Journal.push_back("open " + subKey + detail + Status(status));
    return status;
}

std::int32_t FakeRegistry::OpenKeyEx(RegKey parent, const char* subKey, std::uint32_t, std::uint32_t access,
                                     RegKey* result) {
    char mask[16];
    std::snprintf(mask, sizeof mask, "%#x", access);
    return Open(parent, subKey, result, std::string(" access=") + mask, (access & ~kKeyRead) != 0);
}

std::int32_t FakeRegistry::OpenKey(RegKey parent, const char* subKey, RegKey* result) {
    return Open(parent, subKey, result, "", false);
}

std::int32_t FakeRegistry::QueryValueEx(RegKey key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                                        std::uint32_t* size) {
    const std::uint32_t offered = *size;
    std::int32_t status = kRegInvalidHandle;
    if (const auto found = open_.find(key); found != open_.end()) {
        const auto& values = keys_[found->second.first];
        const auto value = values.find(Lower(valueName));
        status = kRegFileNotFound;
        if (Insist) {
            status = kRegMoreData;
            *size = *Insist;
        } else if (value != values.end()) {
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

std::int32_t FakeRegistry::CloseKey(RegKey key) {
    const auto found = open_.find(key);
    Journal.push_back(found == open_.end() ? "close bad handle" : "close " + found->second.second);
    if (found == open_.end()) return kRegInvalidHandle;
    open_.erase(found);
    return kRegSuccess;
}

std::string ScanRig::Leftovers() const {
    std::string left;
    if (!devices.OpenDevices.empty() || state.DeviceOpen) left += "device left open; ";
    if (registry.KeysOpen() != 0) left += std::to_string(registry.KeysOpen()) + " keys left open; ";
    for (const auto* journal : {&devices.Journal, &registry.Journal})
        for (const std::string& line : *journal)
            if (line.find("bad handle") != std::string::npos) left += line + "; ";
    return left;
}
