// BuscadorVIRK.exe run from a folder of its own beside the stand-in library, and watched from
// outside its process the way a user meets it: its windows, its exit code, the library's journal.
#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace window_test {

using namespace std::chrono_literals;

// What lies beside the program in its folder.
enum class Library {
    StandIn,        // the stand-in BuscaVIRK.dll
    None,           // nothing: the program is alone
    WithoutClose,   // FiveFunctions.dll under the name BuscaVIRK.dll
};

inline constexpr const wchar_t* kMainClass = L"BuscadorVIRK.frmMain";
inline constexpr const wchar_t* kMainTitle = L"BUSCADOR VIRK 1.0 - Talvenor";

class ProgramUnderTest {
public:
    explicit ProgramUnderTest(Library library = Library::StandIn);
    // Ends a program still running and removes its folder.
    ~ProgramUnderTest();
    ProgramUnderTest(const ProgramUnderTest&) = delete;
    ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;

    const std::filesystem::path& Folder() const { return folder_; }
    // The stand-in's device file; rewriting it between two scans plugs devices in or out.
    void WriteDevices(const std::string& text) const;

    // Starts the program with the stand-in's device file and journal in its environment. Its
    // current folder is its own unless another is given.
    bool Start(const std::filesystem::path& currentFolder = {});
    bool Running() const;
    DWORD ProcessId() const { return processId_; }

    // The program's visible main window, or nullptr once the timeout passes or the program ends.
    HWND WaitForMainWindow(std::chrono::milliseconds timeout = 20s);
    // The program's top-level windows of a class (and title, when given), visible or not.
    std::vector<HWND> TopLevelWindows(const wchar_t* className, const wchar_t* title = nullptr) const;
    // The exit code, or nothing while the program still runs after the timeout.
    std::optional<DWORD> WaitForExit(std::chrono::milliseconds timeout = 10s);

    // The journal's complete lines so far; none when the library never wrote one.
    std::vector<std::string> Journal() const;
    bool JournalExists() const;

private:
    std::filesystem::path folder_;
    std::filesystem::path program_;
    std::filesystem::path devices_;
    std::filesystem::path journal_;
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
};

// Puts a copy of the stand-in library in another folder.
void CopyStandInLibrary(const std::filesystem::path& folder);

// A Unix path of the build as the same file's Windows path: Wine maps the root to drive Z:.
std::filesystem::path FromBuildPath(const char* unixPath);

}  // namespace window_test
