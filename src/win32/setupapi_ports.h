// The present COM port devices through setupapi, loaded at run time from the system folder.
#pragma once

#include "app/present_ports.h"

#include <windows.h>
#include <cfgmgr32.h>
#include <setupapi.h>

// GUID_DEVCLASS_PORTS: COM and LPT ports.
inline constexpr GUID kPortsClass = {0x4D36E978, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};

// The calls the listing makes, by name from setupapi.dll (which the 98 family lacks, so it is not imported), with
// advapi32's two for the port's key: a table, so a test can count what a listing opens and closes. A device's
// status is asked where setupapi has the call: null where it lacks it.
struct SetupApiCalls {
    HDEVINFO(WINAPI* GetClassDevsA)(const GUID*, PCSTR, HWND, DWORD);
    BOOL(WINAPI* EnumDeviceInfo)(HDEVINFO, DWORD, PSP_DEVINFO_DATA);
    BOOL(WINAPI* GetDeviceInstanceIdA)(HDEVINFO, PSP_DEVINFO_DATA, PSTR, DWORD, PDWORD);
    HKEY(WINAPI* OpenDevRegKey)(HDEVINFO, PSP_DEVINFO_DATA, DWORD, DWORD, DWORD, REGSAM);
    BOOL(WINAPI* GetDeviceRegistryPropertyA)(HDEVINFO, PSP_DEVINFO_DATA, DWORD, PDWORD, PBYTE, DWORD, PDWORD);
    CONFIGRET(WINAPI* GetParent)(PDEVINST, DEVINST, ULONG);
    CONFIGRET(WINAPI* GetDeviceIdA)(DEVINST, PSTR, ULONG, ULONG);
    BOOL(WINAPI* DestroyDeviceInfoList)(HDEVINFO);
    LONG(WINAPI* QueryValueExA)(HKEY, LPCSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
    LONG(WINAPI* CloseKey)(HKEY);
    CONFIGRET(WINAPI* GetDevNodeStatus)(PULONG, PULONG, DEVINST, ULONG);
};

// setupapi's calls, the DLL loaded once a process, at the first call; null when it or a function is missing.
const SetupApiCalls* LoadSetupApi();

// The present devices of the Ports class through calls; nullopt when the listing is refused.
std::optional<std::vector<PresentPort>> ListPresentPorts(const SetupApiCalls& calls);

// The problem number of a listed device through calls: none where it has none, or the call fails or is missing.
std::optional<std::uint32_t> DeviceProblem(const SetupApiCalls& calls, const PresentPort& port);

class SetupApiPorts final : public PresentPorts {
public:
    std::optional<std::vector<PresentPort>> List() override;
    std::optional<std::uint32_t> Problem(const PresentPort& port) override;
};
