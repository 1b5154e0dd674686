// The registry keys a window test may write in Wine's prefix: the adapters' port entries of both
// layouts, the Windows version Wine reports to programs it starts, and Wine's settings for
// BuscadorVIRK.exe alone. All gone again afterwards.
#pragma once

#include <optional>
#include <string>

namespace window_test {

class TestRegistry {
public:
    // Removes what an earlier, interrupted run may have left; remembers Wine's version setting;
    // has Wine leave the program's window unmanaged, as no window manager runs.
    TestRegistry();
    // Removes the keys and puts Wine's version setting back as it was.
    ~TestRegistry();
    TestRegistry(const TestRegistry&) = delete;
    TestRegistry& operator=(const TestRegistry&) = delete;

    // "winxp", "win98", "win10", "nt40"...: what GetVersion answers in programs started from now on.
    void SetWineVersion(const std::string& version);

    // Windows 2000/XP and later: the port of the adapter 1a2b/c3d4 whose key names the serial
    // ("AB_12" for the serial "AB 12"), as a string with its terminating zero.
    void SetPortXP(const std::string& serialKey, const std::string& portName);
    // The same value stored byte for byte, with a terminator or without.
    void SetPortXPBytes(const std::string& serialKey, const std::string& bytes, unsigned long type);
    // Windows 98: one instance key "Enum\SLABCR\guid\<instance>" with both values.
    void SetInstance98(const std::string& instance, const std::string& lowerDeviceId, const std::string& portName);

private:
    std::optional<std::string> savedVersion_;
};

}  // namespace window_test
