// Loading a DLL from chosen folders only, never from the current directory, on every Windows the programs run on.
#pragma once

#include <windows.h>

#include <string>

// fileName through LoadLibraryExA's search flags; where Windows refuses the flags (2000, XP, and Vista or 7
// without the update that brought them, which answer ERROR_INVALID_PARAMETER), whatever loadByPath() loads
// by full path instead.
template <typename LoadByPath>
HMODULE LoadWithSearchFlags(const std::string& fileName, DWORD searchFlags, LoadByPath loadByPath) {
    HMODULE module = LoadLibraryExA(fileName.c_str(), nullptr, searchFlags);
    if (module == nullptr && GetLastError() == ERROR_INVALID_PARAMETER) module = loadByPath();
    return module;
}

// A DLL's export by name as the function type it has; null when the DLL lacks it.
template <typename Fn>
Fn ExportOf(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// One of Windows' own DLLs, from the system folder; by full path with LOAD_WITH_ALTERED_SEARCH_PATH where the
// flags are refused, so the DLL's own imports come from the system folder too. The 98 family, which does not
// know the flags, goes straight to the full path.
HMODULE LoadSystemLibrary(const std::string& fileName, bool windows9x = false);
