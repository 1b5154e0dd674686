// The device library loader under Wine: where it looks, what a missing file or function gives, how values cross.
#include "devicelib/library_loader_win32.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <filesystem>
#include <string>

namespace {

std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

std::u16string FaultOf(LoadedDeviceLibrary& library) {
    std::int32_t count = 0;
    try {
        library.GetNumDevices(&count);
    } catch (const DeviceLibraryFault& fault) {
        return fault.Message;
    }
    return u"";
}

TEST(LibraryLoader, MissingLibraryIsAFaultNamingTheFile) {
    LoadedDeviceLibrary library("Missing.dll");
    const std::u16string message = FaultOf(library);
    EXPECT_NE(message.find(u"\"Missing.dll\""), std::u16string::npos) << Narrow(message);
    EXPECT_NE(message.find(u"(error 126)"), std::u16string::npos) << Narrow(message);
    // Asked again, it tries again and faults again rather than calling through nothing.
    EXPECT_FALSE(FaultOf(library).empty());
}

TEST(LibraryLoader, MissingFunctionIsAFaultNamingIt) {
    LoadedDeviceLibrary library("FiveFunctions.dll");
    const std::u16string message = FaultOf(library);
    EXPECT_NE(message.find(u"\"CP210x_Close\""), std::u16string::npos) << Narrow(message);
    EXPECT_NE(message.find(u"\"FiveFunctions.dll\""), std::u16string::npos) << Narrow(message);
    EXPECT_EQ(GetModuleHandleA("FiveFunctions.dll"), nullptr) << "a rejected library stays loaded";
}

TEST(LibraryLoader, CurrentDirectoryIsNotSearched) {
    const std::filesystem::path here = std::filesystem::current_path();
    const std::filesystem::path elsewhere = std::filesystem::temp_directory_path() / "busca-loader-cwd";
    std::filesystem::create_directories(elsewhere);
    std::filesystem::copy_file("OddLibrary.dll", elsewhere / "CwdOnly.dll",
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::current_path(elsewhere);
    LoadedDeviceLibrary library("CwdOnly.dll");
    const std::u16string message = FaultOf(library);
    std::filesystem::current_path(here);
    std::filesystem::remove_all(elsewhere);
    EXPECT_FALSE(message.empty()) << "loaded a library from the current directory";
}

TEST(LibraryLoader, ValuesCrossTheBoundaryIntact) {
    LoadedDeviceLibrary library("OddLibrary.dll");
    std::int32_t count = 0;
    EXPECT_NE(library.GetNumDevices(&count), 0) << "a status of 0x10000 read as success";
    EXPECT_EQ(count, 1);

    LibraryHandle handle = 0;
    ASSERT_EQ(library.Open(0, &handle), 0);
    std::int32_t vid = 0;
    std::int32_t pid = 0;
    EXPECT_EQ(library.GetDeviceVid(handle, &vid), 0) << "handle did not survive the round trip";
    EXPECT_EQ(vid, 0xB007);
    EXPECT_EQ(library.GetDevicePid(handle, &pid), 0);
    EXPECT_EQ(pid, 0x5E1A);

    // Guard bytes after the 64-byte serial show whether the library's terminator landed in it.
    struct {
        std::array<std::uint8_t, 64> serial;
        std::array<std::uint8_t, 8> guard;
    } buffer{};
    buffer.guard.fill(0xEE);
    std::int32_t length = 0;
    EXPECT_EQ(library.GetDeviceSerialNumber(handle, buffer.serial.data(), &length, 1), 0);
    EXPECT_EQ(length, 64);
    EXPECT_EQ(buffer.serial.back(), 'S');
    EXPECT_EQ(buffer.guard[0], 0xEE);
    EXPECT_EQ(library.Close(handle), 0);
}

}  // namespace
