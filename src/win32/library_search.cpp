// Loading one of Windows' own DLLs from the system folder only.
#include "win32/library_search.h"

HMODULE LoadSystemLibrary(const std::string& fileName, bool windows9x) {
    const auto byPath = [&]() -> HMODULE {
        char folder[MAX_PATH + 1]{};
        const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return nullptr;
        const std::string path = std::string(folder, length) + '\\' + fileName;
        return LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    };
    return windows9x ? byPath() : LoadWithSearchFlags(fileName, LOAD_LIBRARY_SEARCH_SYSTEM32, byPath);
}
