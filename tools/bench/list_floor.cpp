// The floor of ListaVIRK: a console program that makes a scan's library and registry calls directly and
// writes bytes it reads from a file, so it formats nothing.
// Usage: list_floor.exe BYTES_FILE ADAPTERS   (the adapters' keys and device file as list_time.exe writes them)
// Written apart from the program's code on purpose, and kept so: a floor is the same calls made directly, so it
// shares no lookup, loop or formatting with what it is measured against.
#include "win32/library_loader.h"

#include "scan_floor.h"

#include <cwchar>
#include <string>
#include <vector>

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    bench::FloorInputs inputs;
    for (int d = 0, adapters = _wtoi(argv[2]); d < adapters; ++d)
        inputs.devicePaths.push_back("Vid_1a2b&Pid_c3d4&Mi_00\\" + bench::Serial(d) + "_00");
    LoadedDeviceLibrary library(false);
    bench::CallCounts counts;
    bench::Floor(library, inputs, counts);

    const HANDLE file = CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    std::vector<char> bytes(GetFileSize(file, nullptr));
    DWORD count = 0;
    const bool read = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &count, nullptr) && count == bytes.size();
    CloseHandle(file);
    DWORD written = 0;
    return read && WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), count, &written, nullptr) ? 0 : 1;
}
