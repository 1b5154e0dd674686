// A device library of made-up devices: any call of any device can fail, and every call is journaled.
#include "fake_device_library.h"

#include <algorithm>
#include <cstring>

std::int16_t FakeDeviceLibrary::Failure(const FakeDevice& device, const char* call) const {
    const auto found = device.Failures.find(call);
    return found == device.Failures.end() ? 0 : found->second;
}

const FakeDevice* FakeDeviceLibrary::DeviceOf(LibraryHandle handle, const char* call) {
    const auto index = static_cast<std::int32_t>(handle - kHandleBase);
    if (handle < kHandleBase || !OpenDevices.contains(index)) {
        Journal.push_back(std::string(call) + " bad handle " + std::to_string(handle));
        return nullptr;
    }
    return &Devices[static_cast<std::size_t>(index)];
}

std::int16_t FakeDeviceLibrary::GetNumDevices(std::int32_t* numDevices) {
    *numDevices = Count.value_or(static_cast<std::int32_t>(Devices.size()));
    Journal.push_back("Count -> " + std::to_string(CountStatus));
    return CountStatus;
}

std::int16_t FakeDeviceLibrary::Open(std::int32_t deviceIndex, LibraryHandle* handle) {
    std::int16_t status = 2;  // no such device
    if (deviceIndex >= 0 && deviceIndex < static_cast<std::int32_t>(Devices.size()))
        status = Failure(Devices[static_cast<std::size_t>(deviceIndex)], "Open");
    if (status == 0) {
        *handle = kHandleBase + static_cast<LibraryHandle>(deviceIndex);
        OpenDevices.insert(deviceIndex);
    }
    Journal.push_back("Open " + std::to_string(deviceIndex) + " -> " + std::to_string(status));
    return status;
}

std::int16_t FakeDeviceLibrary::GetDeviceVid(LibraryHandle handle, std::int32_t* vid) {
    const FakeDevice* device = DeviceOf(handle, "Vid");
    if (device == nullptr) return 1;
    if (device->VidFaults) throw DeviceLibraryFault(u"fault");
    const std::int16_t status = Failure(*device, "Vid");
    if (status == 0) *vid = device->Vid;
    Journal.push_back("Vid " + std::to_string(handle - kHandleBase) + " -> " + std::to_string(status));
    return status;
}

std::int16_t FakeDeviceLibrary::GetDevicePid(LibraryHandle handle, std::int32_t* pid) {
    const FakeDevice* device = DeviceOf(handle, "Pid");
    if (device == nullptr) return 1;
    const std::int16_t status = Failure(*device, "Pid");
    if (status == 0) *pid = device->Pid;
    Journal.push_back("Pid " + std::to_string(handle - kHandleBase) + " -> " + std::to_string(status));
    return status;
}

std::int16_t FakeDeviceLibrary::GetDeviceSerialNumber(LibraryHandle handle, std::uint8_t* serial,
                                                      std::int32_t* length, std::int32_t ascii) {
    const FakeDevice* device = DeviceOf(handle, "Serial");
    if (device == nullptr) return 1;
    const std::int16_t status = Failure(*device, "Serial");
    if (status == 0) {
        const std::size_t count = std::min<std::size_t>(device->Serial.size(), kSerialBufferSize);
        std::memcpy(serial, device->Serial.data(), count);
        *length = device->ReportedLength.value_or(static_cast<std::int32_t>(count));
    }
    Journal.push_back("Serial " + std::to_string(handle - kHandleBase) + " ascii=" + std::to_string(ascii) + " -> " +
                      std::to_string(status));
    return status;
}

std::int16_t FakeDeviceLibrary::Close(LibraryHandle handle) {
    const FakeDevice* device = DeviceOf(handle, "Close");
    if (device == nullptr) return 1;
    OpenDevices.erase(static_cast<std::int32_t>(handle - kHandleBase));
    Journal.push_back("Close " + std::to_string(handle - kHandleBase));
    return Failure(*device, "Close");
}
