// Prints the text of one of a running program's controls, found by its window's title; optionally closes the window.
// Usage: window_text.exe "WINDOW TITLE" CONTROL_ID [--close]  (waits up to 30 s for the window)
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

void WriteUtf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    constexpr int kPollMs = 100;
    constexpr int kWaitMs = 30000;
    HWND window = nullptr;
    for (int waited = 0; waited < kWaitMs && (window == nullptr || !IsWindowVisible(window)); waited += kPollMs) {
        Sleep(kPollMs);
        window = FindWindowW(nullptr, argv[1]);
    }
    if (window == nullptr) return 1;
    Sleep(500);  // let the first paint finish, for a screenshot taken right after

    // WM_GETTEXT, not GetWindowText: for another process's control that gives only its caption.
    HWND control = GetDlgItem(window, _wtoi(argv[2]));
    const auto length = static_cast<std::size_t>(SendMessageW(control, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(length + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    WriteUtf8(text);
    if (argc > 3 && std::wstring(argv[3]) == L"--close") PostMessageW(window, WM_CLOSE, 0, 0);
    return 0;
}
