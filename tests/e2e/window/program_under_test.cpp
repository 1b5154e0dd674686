// BuscadorVIRK.exe run from a folder of its own beside the stand-in library, and watched from outside.
#include "program_under_test.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <sstream>

namespace window_test {

namespace {

namespace fs = std::filesystem;

fs::path NewFolder() {
    static std::atomic<int> counter{0};
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    const fs::path folder = fs::path(temp) / (L"BuscadorVIRK-window-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                              std::to_wstring(counter++));
    std::error_code error;
    fs::remove_all(folder, error);
    fs::create_directories(folder);
    return folder;
}

bool SameText(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

// The current environment without any BUSCAVIRK_ setting of the test's own, plus the program's two.
std::wstring EnvironmentBlock(const fs::path& devices, const fs::path& journal) {
    std::vector<std::wstring> entries;
    if (wchar_t* block = GetEnvironmentStringsW()) {
        for (const wchar_t* entry = block; *entry != L'\0'; entry += wcslen(entry) + 1) {
            const std::wstring text(entry);
            if (!SameText(text.substr(0, 10), L"BUSCAVIRK_")) entries.push_back(text);
        }
        FreeEnvironmentStringsW(block);
    }
    entries.push_back(L"BUSCAVIRK_DEVICES=" + devices.wstring());
    entries.push_back(L"BUSCAVIRK_JOURNAL=" + journal.wstring());
    // Windows keeps the block sorted without regard to case; some programs rely on it.
    std::stable_sort(entries.begin(), entries.end(), [](const std::wstring& a, const std::wstring& b) {
        return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_LESS_THAN;
    });
    std::wstring block;
    for (const std::wstring& entry : entries) block += entry + L'\0';
    block += L'\0';
    return block;
}

std::wstring ClassNameOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

std::wstring TitleOf(HWND window) {
    // For another process's window GetWindowText reads the stored title: it sends no message.
    wchar_t title[512] = {};
    GetWindowTextW(window, title, 512);
    return title;
}

struct WindowSearch {
    DWORD processId;
    const wchar_t* className;
    const wchar_t* title;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search.processId && SameText(ClassNameOf(window), search.className) &&
        (search.title == nullptr || TitleOf(window) == search.title))
        search.found.push_back(window);
    return TRUE;
}

}  // namespace

fs::path FromBuildPath(const char* unixPath) {
    // Unix paths are UTF-8 here.
    const int length = MultiByteToWideChar(CP_UTF8, 0, unixPath, -1, nullptr, 0);
    std::wstring path(static_cast<std::size_t>(std::max(length, 1)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, unixPath, -1, path.data(), length);
    path.pop_back();
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return L"Z:" + path;
}

void CopyStandInLibrary(const fs::path& folder) {
    fs::copy_file(FromBuildPath(BUSCA_STAND_IN_FILE), folder / L"BuscaVIRK.dll");
}

ProgramUnderTest::ProgramUnderTest(Library library)
    : folder_(NewFolder()),
      program_(folder_ / L"BuscadorVIRK.exe"),
      devices_(folder_ / L"devices.txt"),
      journal_(folder_ / L"journal.txt") {
    fs::copy_file(FromBuildPath(BUSCA_PROGRAM_FILE), program_);
    if (library == Library::StandIn) fs::copy_file(FromBuildPath(BUSCA_STAND_IN_FILE), folder_ / L"BuscaVIRK.dll");
    if (library == Library::WithoutClose)
        fs::copy_file(FromBuildPath(BUSCA_WITHOUT_CLOSE_FILE), folder_ / L"BuscaVIRK.dll");
    WriteDevices("");
}

ProgramUnderTest::~ProgramUnderTest() {
    if (process_ != nullptr) {
        if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
            ADD_FAILURE() << "the program was still running at the end of the test; ended it";
            TerminateProcess(process_, 99);
            WaitForSingleObject(process_, 5000);
        }
        CloseHandle(process_);
    }
    // Wine may hold the program's file a moment after its process ended.
    for (int attempt = 0; attempt < 20; ++attempt) {
        std::error_code error;
        fs::remove_all(folder_, error);
        if (!error) break;
        Sleep(50);
    }
}

void ProgramUnderTest::WriteDevices(const std::string& text) const {
    std::ofstream file(devices_, std::ios::binary | std::ios::trunc);
    file << text;
}

bool ProgramUnderTest::Start(const fs::path& currentFolder) {
    std::wstring commandLine = L"\"" + program_.wstring() + L"\"";
    std::wstring environment = EnvironmentBlock(devices_, journal_);
    const std::wstring directory = (currentFolder.empty() ? folder_ : currentFolder).wstring();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    // As Explorer starts a program.
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(program_.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                        environment.data(), directory.c_str(), &startup, &info)) {
        ADD_FAILURE() << "CreateProcessW failed with error " << GetLastError();
        return false;
    }
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    processId_ = info.dwProcessId;
    return true;
}

bool ProgramUnderTest::Running() const { return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

std::vector<HWND> ProgramUnderTest::TopLevelWindows(const wchar_t* className, const wchar_t* title) const {
    WindowSearch search{processId_, className, title, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND ProgramUnderTest::WaitForMainWindow(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        for (HWND window : TopLevelWindows(kMainClass, kMainTitle))
            if (IsWindowVisible(window)) return window;
        if (!Running() || std::chrono::steady_clock::now() >= deadline) return nullptr;
        Sleep(20);
    }
}

std::optional<DWORD> ProgramUnderTest::WaitForExit(std::chrono::milliseconds timeout) {
    if (process_ == nullptr || WaitForSingleObject(process_, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return code;
}

std::vector<std::string> ProgramUnderTest::Journal() const {
    // The library appends a line per call while we read: a line without its end is not there yet.
    std::ifstream file(journal_, std::ios::binary);
    std::stringstream buffer;
    buffer << file.rdbuf();
    const std::string text = buffer.str();
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool ProgramUnderTest::JournalExists() const { return fs::exists(journal_); }

}  // namespace window_test
