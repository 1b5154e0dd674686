// ListaVIRK's standard output and standard error, written whole.
#include "cli/console_win32.h"

#include "win32/code_page_text.h"
#include "cli/utf8.h"

#include <algorithm>
#include <string>

namespace {

// Older consoles take no more than some 64 KiB in one write.
constexpr std::size_t kConsoleChunk = 8192;

// Writes every unit, a chunk at a time; false when refused.
template <typename Unit, typename WriteFn>
bool WriteAll(const Unit* data, std::size_t count, std::size_t chunk, WriteFn write) {
    while (count > 0) {
        DWORD written = 0;
        if (!write(data, static_cast<DWORD>(std::min(count, chunk)), &written) || written == 0) return false;
        data += written;
        count -= written;
    }
    return true;
}

}  // namespace

bool Console::Write(DWORD standardHandle, std::u16string_view text) const {
    const HANDLE handle = GetStdHandle(standardHandle);
    if (text.empty() || handle == nullptr || handle == INVALID_HANDLE_VALUE) return true;
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode) == 0) {
        const std::string bytes = ToUtf8(text);
        return WriteAll(bytes.data(), bytes.size(), bytes.size(),
                 [&](const char* data, DWORD size, DWORD* written) { return WriteFile(handle, data, size, written, nullptr); });
    }
    if (windows9x_) {
        const std::string bytes = ToCodePage(text, GetConsoleOutputCP());
        return WriteAll(bytes.data(), bytes.size(), kConsoleChunk, [&](const char* data, DWORD size, DWORD* written) {
            return WriteConsoleA(handle, data, size, written, nullptr);
        });
    }
    return WriteAll(reinterpret_cast<const wchar_t*>(text.data()), text.size(), kConsoleChunk,
                 [&](const wchar_t* data, DWORD size, DWORD* written) {
                     return WriteConsoleW(handle, data, size, written, nullptr);
                 });
}
