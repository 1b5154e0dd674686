// The Wine harness: the program in a folder of its own beside a library of the test's choice, driven from outside.
#pragma once

#include "fixtures/program_folder.h"
#include "fixtures/recorded_port.h"
#include "fixtures/registry_tree.h"
#include "fixtures/wine_settings.h"
#include "ui/buscador-rc.h"
#include "ui/form_geometry.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <dbt.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace e2e {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using namespace std::string_literals;

inline constexpr const wchar_t* kMainClass = L"BuscadorVIRK.frmMain";

using fixtures::Patient;

// Polls until the condition holds or the (patient) timeout passes; says which.
inline bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 5s) {
    for (const auto deadline = std::chrono::steady_clock::now() + Patient(timeout);; Sleep(20)) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
    }
}

// ---- The registry keys the tests write, in the prefix of the test's ctest entry (tools/fixtures) ----

inline const std::string kDeviceKey = fixtures::kOlderDriverKey;
using fixtures::Id98;

inline void SetValue(HKEY root, const std::string& path, const char* name, const std::string& bytes, DWORD type = REG_SZ) {
    EXPECT_TRUE(fixtures::SetValue(root, path, name, bytes, type)) << path;
}
inline void SetPortXP(const std::string& serialKey, const std::string& bytes, DWORD type = REG_SZ) {
    EXPECT_TRUE(fixtures::SetPortXP(serialKey, bytes, type)) << serialKey;
}
inline void SetInstance98(const std::string& instance, const std::string& id, const std::string& port) {
    EXPECT_TRUE(fixtures::SetInstance98(instance, id, port)) << instance;
}
// W1 (1a2b c3d5) where serial numbers are ignored: its port device's ID made up from the USB socket.
inline const std::string kMadeUpPort = "USB\\VID_1A2B&PID_C3D5\\5&2A0E1B13&0&2";

// A device of the Ports class with its "PortName" (none: no device key) and its location (none if empty), as an
// installer records it, so that Wine's setupapi lists it.
inline void RecordPort(const std::string& instanceId, const std::string& portName, const std::string& location = "") {
    EXPECT_EQ(fixtures::RecordPort(instanceId, portName, location), "");
}

// Clears the test keys before and after a test, and Wine's settings after it.
struct TestKeys {
    // "winxp", "win98", "nt40"...: what GetVersion answers in programs started from now on.
    void Version(const std::string& version) { EXPECT_TRUE(wine.Version(version)); }
    // A traced program's trace holds only the calls the program makes itself (its runtime's included).
    void TraceOnlyTheProgram(const std::string& program = "BuscadorVIRK.exe") { EXPECT_TRUE(wine.TraceOnly(program)); }
    // The screen's DPI for programs started from now on, as Windows' display settings give it.
    void Dpi(DWORD dpi) { EXPECT_TRUE(wine.Dpi(dpi)); }

    fixtures::AdapterKeys adapters;
    fixtures::WineSettings wine;
};

// ---- The program under test ----

using fixtures::BuildFile;
using fixtures::StartOptions;

// The program in its folder (tools/fixtures), checked: it started, and it no longer runs when the test ends.
struct Program : fixtures::ProgramFolder {
    explicit Program(const char* library = BUSCA_STAND_IN_FILE, const char* programFile = BUSCA_PROGRAM_FILE)
        : ProgramFolder(library, programFile) {}
    ~Program() { EXPECT_FALSE(Running()) << "the program still ran at the end of the test"; }
    void Start(const StartOptions& options = {}) {
        DWORD error = 0;
        ASSERT_TRUE(ProgramFolder::Start(options, &error)) << "CreateProcessW failed with error " << error;
    }
};

// ---- Its windows, read and driven as a user does ----

// A control's text through WM_GETTEXT, which Windows carries across processes.
inline std::wstring Text(HWND window) {
    std::wstring text(8192, L'\0');
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), LPARAM(text.data()), SMTO_ABORTIFHUNG, UINT(Patient(5s).count()),
                        &length);
    return text.substr(0, length);
}
using Box = std::array<long, 4>;  // left, top, width, height in the parent's client area
inline Box BoxInParent(HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}
inline Box ClientBox(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    return {0, 0, rect.right, rect.bottom};
}
// The focus in the window's thread: GetFocus sees only our own.
inline HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}
// Keyboard input goes to the foreground window.
inline bool BringToFront(HWND window) {
    return WaitUntil([&] { return SetForegroundWindow(window), GetForegroundWindow() == window; }, 3s);
}

// A window made by `make` on a thread of its own, which answers its messages while the test's thread waits.
class ThreadWindow {
public:
    explicit ThreadWindow(const std::function<HWND()>& make) : thread_([this, make] {
        window = make();
        made_ = true;
        for (MSG message{}; GetMessageW(&message, nullptr, 0, 0) > 0;) DispatchMessageW(&message);
        DestroyWindow(window);
    }) { while (!made_) Sleep(10); }
    ~ThreadWindow() { PostThreadMessageW(GetWindowThreadProcessId(window, nullptr), WM_QUIT, 0, 0), thread_.join(); }
    HWND window = nullptr;

private:
    std::atomic<bool> made_ = false;
    std::thread thread_;  // last: it runs once the rest is made
};

// A key pressed and let go as the keyboard gives it, with Alt held down if asked.
inline bool Press(WORD vk, bool withAlt = false) {
    std::vector<INPUT> inputs;
    for (auto [key, flags] : {std::pair<WORD, DWORD>{VK_MENU, 0}, {vk, 0}, {vk, KEYEVENTF_KEYUP}, {VK_MENU, KEYEVENTF_KEYUP}}) {
        if (key == VK_MENU && !withAlt) continue;
        inputs.emplace_back().type = INPUT_KEYBOARD;
        inputs.back().ki = {key, WORD(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)), flags, 0, 0};
    }
    return SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

// The window probe (window_probe.cpp) hooked into the program's window thread. Look() has it report what the
// window shows, after a change to `dpi` if one is given, as key=value pairs; none when it gave no report.
class WindowProbe {
public:
    WindowProbe(const Program& program, HWND window)
        : program_(program), window_(window), module_(LoadLibraryW(BuildFile(BUSCA_PROBE_FILE).c_str())) {
        const auto hook = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(module_, "ProbeHook")));
        hook_ = SetWindowsHookExW(WH_GETMESSAGE, hook, module_, GetWindowThreadProcessId(window, nullptr));
        EXPECT_NE(hook_, nullptr) << "no hook: error " << GetLastError();
    }
    ~WindowProbe() {
        if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
        FreeLibrary(module_);
    }
    std::map<std::string, std::string> Look(WORD dpi = 0) const {
        const std::size_t before = program_.Journal(L"probe.txt").size();
        PostMessageW(window_, RegisterWindowMessageW(L"BuscadorVIRK.probe"), dpi, 0);
        std::vector<std::string> lines;
        if (!WaitUntil([&] { return (lines = program_.Journal(L"probe.txt")).size() > before; }, 10s)) return {};
        std::map<std::string, std::string> seen;
        std::istringstream words(lines.back());
        for (std::string word; words >> word;) seen[word.substr(0, word.find('='))] = word.substr(word.find('=') + 1);
        return seen;
    }

private:
    const Program& program_;
    HWND window_;
    HMODULE module_;
    HHOOK hook_ = nullptr;
};

// ---- Windows' notices that a device came or went ----

// As every top-level window gets them: a port's names it, a volume's gives its drive letters (E:).
inline const struct { DEV_BROADCAST_HDR header; wchar_t name[5]; } kPort{{sizeof kPort, DBT_DEVTYP_PORT, 0}, L"COM5"};
inline const DEV_BROADCAST_VOLUME kVolume{sizeof kVolume, DBT_DEVTYP_VOLUME, 0, 1u << 4, 0};
// True once the window has handled it. Wine carries the notice to the other process for events with bit 15 set.
inline bool Notify(HWND window, WPARAM event, const void* notice = &kPort) {
    return SendMessageTimeoutW(window, WM_DEVICECHANGE, event, LPARAM(notice), SMTO_ABORTIFHUNG,
                               UINT(Patient(5s).count()), nullptr) != 0;
}
// To every top-level window, as Windows sends it; true once all have handled it.
inline bool Broadcast(WPARAM event, const void* notice = &kPort) { return Notify(HWND_BROADCAST, event, notice); }

// ---- Which form of the system's functions a traced program called ----

// Wide functions Windows 98 implements, and runtime calls whose failure there changes nothing (the list of
// allowed imports says why).
inline const std::set<std::string> kWideOn98 = {"MessageBoxW", "MessageBoxExW", "TextOutW", "ExtTextOutW",
                                                "GetTextExtentPoint32W", "GetCharWidthW", "lstrlenW", "CreateSemaphoreW"};

// The functions of the system's DLLs whose names end in W or A that the program (its runtime included) called.
inline std::set<std::string> SystemCalls(const std::string& trace, char form) {
    static const std::set<std::string> system = {"user32", "gdi32", "kernel32", "kernelbase", "advapi32"};
    std::set<std::string> called;
    for (std::size_t at = 0; (at = trace.find(":Call ", at)) != std::string::npos;) {
        at += 6;
        const std::size_t dot = trace.find('.', at), paren = trace.find('(', at);
        if (dot == std::string::npos || paren == std::string::npos || dot > paren) continue;
        std::string dll = trace.substr(at, dot - at);
        std::ranges::transform(dll, dll.begin(), [](char c) { return char(std::tolower(c)); });
        const std::string name = trace.substr(dot + 1, paren - dot - 1);
        if (system.contains(dll) && name.ends_with(form) && name.size() > 1 && std::islower(name[name.size() - 2]))
            called.insert(name);
    }
    return called;
}

// On the 98 family the program calls the ANSI form of each function named and no wide function 98 lacks; on the
// NT family the wide ones and no ANSI one.
inline void ExpectFunctionsOf(const std::vector<std::string>& functions, const std::string& version,
                              const std::string& trace) {
    const bool windows98 = version == "win98";
    const std::set<std::string> wide = SystemCalls(trace, 'W'), ansi = SystemCalls(trace, 'A');
    for (const std::string& function : functions) {
        EXPECT_EQ(ansi.contains(function + 'A'), windows98) << function << "A on " << version;
        EXPECT_EQ(wide.contains(function + 'W'), !windows98) << function << "W on " << version;
    }
    if (windows98) {
        std::set<std::string> stubs;
        std::ranges::set_difference(wide, kWideOn98, std::inserter(stubs, stubs.end()));
        EXPECT_EQ(stubs, std::set<std::string>{}) << "wide functions that Windows 98 only stubs";
    }
}

// ---- The stand-in's journal ----

inline auto Count(const std::vector<std::string>& journal, const std::string& part) {
    return std::ranges::count_if(journal, [&](const std::string& line) { return line.find(part) != std::string::npos; });
}


// Every device opened is closed before anything else is opened or counted, and at the end; reads and the
// close go through the one handle open.
inline testing::AssertionResult CallsArePaired(const std::vector<std::string>& journal) {
    std::string open;  // " handle=N" of the device opened and not yet closed
    for (std::size_t i = 0; i < journal.size(); ++i) {
        const std::string& line = journal[i];
        const std::size_t at = line.find(" handle=");
        const std::string handle = at == std::string::npos ? "" : line.substr(at, line.find(' ', at + 1) - at);
        const bool opening = line.rfind("Open ", 0) == 0;
        if (opening || line.rfind("GetNumDevices", 0) == 0 ? !open.empty() : open.empty() || handle != open)
            return testing::AssertionFailure() << "journal line " << i + 1 << " \"" << line << "\" with"
                                               << (open.empty() ? " none" : open) << " open";
        if (opening && line.find("-> status=0") != std::string::npos) open = handle;
        if (line.rfind("Close ", 0) == 0) open.clear();
    }
    if (!open.empty()) return testing::AssertionFailure() << open << " is never closed";
    return testing::AssertionSuccess();
}

}  // namespace e2e
