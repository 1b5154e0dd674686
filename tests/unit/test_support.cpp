// Helpers shared by the unit tests: readable text, registry layouts, a fixed version word.
#include "test_support.h"

std::string Utf8(std::u16string_view text) {
    std::string out;
    for (char16_t ch : text) {
        if (ch < 0x80) {
            out.push_back(static_cast<char>(ch));
        } else if (ch < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (ch >> 6)));
            out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (ch >> 12)));
            out.push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
        }
    }
    return out;
}

void AddXPPort(FakeRegistry& registry, const std::string& devicePath, const std::string& portName, bool withZero) {
    registry.SetString(kUsbEnum + devicePath + "\\Device Parameters", "PortName", portName, withZero);
}

void Add98Instance(FakeRegistry& registry, const std::string& instanceName, const std::string& deviceId,
                   const std::string& portName) {
    const std::string key = "Enum\\SLABCR\\guid\\" + instanceName;
    registry.AddKey(key);
    if (!deviceId.empty()) registry.SetString(key, "CRLowerDeviceID", deviceId);
    if (!portName.empty()) registry.SetString(key, "PortName", portName);
}
