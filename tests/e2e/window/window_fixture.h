// What every window test starts from: its own registry keys, the program in a folder of its own
// with a device file, and the texts and journal lines the program is expected to produce.
#pragma once

#include "program_under_test.h"
#include "test_registry.h"
#include "window_probe.h"

#include "ui/buscador-rc.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace window_test {

class WindowTest : public testing::Test {
protected:
    // Starts the program with this device file and waits for its main window to show. Its
    // current folder is its own unless a subfolder's name is given.
    void Launch(const std::string& devices = "", const wchar_t* currentSubfolder = nullptr) {
        program_ = std::make_unique<ProgramUnderTest>(Library::StandIn);
        program_->WriteDevices(devices);
        std::filesystem::path currentFolder;
        if (currentSubfolder != nullptr) {
            currentFolder = program_->Folder() / currentSubfolder;
            std::filesystem::create_directory(currentFolder);
        }
        ASSERT_TRUE(program_->Start(currentFolder));
        window_ = program_->WaitForMainWindow();
        ASSERT_NE(window_, nullptr) << "no visible main window; exit code "
                                    << program_->WaitForExit(0ms).value_or(STILL_ACTIVE);
    }

    HWND Control(int id) const { return GetDlgItem(window_, id); }
    std::wstring Report() const { return Text(Control(IDC_TXTDATA)); }
    int Scans() const {
        int scans = 0;
        for (const std::string& line : program_->Journal()) scans += line.rfind("GetNumDevices", 0) == 0;
        return scans;
    }
    // Waits until the report box holds this text; says whether it came.
    bool WaitForReport(const std::wstring& expected) const {
        return WaitUntil([&] { return Report() == expected; });
    }

    // Destroyed in reverse: the program ends before the keys it read are removed.
    TestRegistry registry_;
    std::unique_ptr<ProgramUnderTest> program_;
    HWND window_ = nullptr;
};

// The report's parts.
inline std::wstring PortLine(int port) {
    return L"Número de Puerto COM: " + std::wstring(port >= 0 ? L" " : L"") + std::to_wstring(port) + L"\r\n\r\n";
}
inline std::wstring DeviceLines(const std::wstring& serial, int port) {
    return L"Número de Serie =" + serial + L"\r\n" + PortLine(port);
}
inline std::wstring ReportOf(std::initializer_list<std::wstring> devices) {
    std::wstring report;
    for (const std::wstring& device : devices) report += device;
    return report + L"\r\n\r\n";
}

// How the stand-in journals the handle of device `index`: its base, above 4 GiB in 64-bit
// programs, plus the index.
inline std::string HandleOf(int index) {
    const unsigned long long base = sizeof(void*) > 4 ? 0x1'0000'0100ull : 0x100;
    return "handle=" + std::to_string(base + static_cast<unsigned>(index));
}

// The stand-in's journal lines for a device read whole.
inline std::vector<std::string> GoodDeviceCalls(int index, const std::string& vid, const std::string& pid,
                                                const std::string& serial, int length) {
    const std::string handle = HandleOf(index);
    return {"Open index=" + std::to_string(index) + " -> status=0 " + handle,
            "GetDeviceVid " + handle + " -> status=0 vid=0x" + vid,
            "GetDevicePid " + handle + " -> status=0 pid=0x" + pid,
            "GetDeviceSerialNumber " + handle + " ascii=1 -> status=0 length=" + std::to_string(length) +
                " serial=" + serial,
            "Close " + handle + " -> status=0"};
}

inline std::vector<std::string> Joined(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// Every successful Open is followed by exactly one Close of its handle before anything else is
// opened or counted, reads use only the open handle, indexes rise from 0 in each scan, and
// nothing is left open at the end.
testing::AssertionResult CallsArePaired(const std::vector<std::string>& journal);

}  // namespace window_test
