// The Win32 seams inside this process under Wine: the loader, the stand-in, the registry, the code page, setupapi
// and shell32.
#include "harness.h"

#include "win32/library_loader.h"
#include "win32/notice_area.h"
#include "win32/services.h"

#include <shellapi.h>

#include <cstring>

namespace e2e {
namespace {

// OddLibrary.dll beside this program, loaded as on the NT family and as on 98 and Me (by full path, with the
// ANSI functions): a status past 16 bits, a handle above 4 GiB back to Close, 65 serial bytes.
TEST(Seam, LoaderCarriesOddValuesIntact) {
    for (bool windows9x : {false, true}) {
        SCOPED_TRACE(windows9x ? "the 98 family" : "the NT family");
        LoadedDeviceLibrary library(windows9x, "OddLibrary.dll");
        std::int32_t count = 0;
        EXPECT_NE(library.GetNumDevices(&count), 0) << "a status of 0x10000 read as success";
        LibraryHandle handle = 0;
        ASSERT_EQ(library.Open(0, &handle), 0);
        EXPECT_EQ(handle, static_cast<LibraryHandle>(sizeof(LibraryHandle) > 4 ? 0x7FFE'8000'1234ull : 0x8000'1234u));
        // Guard bytes after the 64-byte serial show whether the library's 65th byte landed in them.
        std::array<std::uint8_t, 72> buffer;
        buffer.fill(0xEE);
        std::int32_t length = 0;
        EXPECT_EQ(library.GetDeviceSerialNumber(handle, buffer.data(), &length, 1), 0);
        EXPECT_EQ(buffer[63], 'S');
        EXPECT_EQ(buffer[64], 0xEE);
        EXPECT_EQ(library.Close(handle), 0);
    }
}

// Wine grants whatever access is asked: only the handle's own access stops a write.
TEST(Seam, RegistryOpensWithTheAccessAskedAndNoMore) {
    TestKeys keys;
    SetPortXP("AB_12", "COM5\0"s);
    Advapi32Registry registry;
    RegKey key = 0;
    ASSERT_EQ(registry.OpenKeyEx(kLocalMachine, kDeviceKey.c_str(), 0, kKeyRead, &key), 0);
    EXPECT_EQ(RegSetValueExA(reinterpret_cast<HKEY>(key), "Written", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2),
              ERROR_ACCESS_DENIED);
    registry.CloseKey(key);
}

// Every character the code page gives a byte turns back into that byte: the system's ANSI code page both ways.
TEST(Seam, CodePageIsTheAnsiOne) {
    const SystemCodePage codePage;
    for (unsigned byte = 1; byte < 256; ++byte) {
        const char16_t c = codePage.ByteChars()[byte];
        if (c != u'?' || byte == '?') { EXPECT_EQ(codePage.ToAnsi(std::u16string(1, c)), std::string(1, char(byte))) << byte; }
    }
}

// Ports recorded as an installer records them come back through Wine's own setupapi, loaded once, with their
// port name as the query returned it and their location; a device that has no port name is left out. What the
// listing asks of setupapi, and what it closes, the journalled table below shows.
TEST(Seam, PresentPortsThroughSetupApi) {
    TestKeys keys;
    RecordPort("USB\\VID_1A2B&PID_C3D4\\AB_12", "COM14", "Port_#0002.Hub_#0003");
    RecordPort("USB\\VID_1A2B&PID_C3D4\\NOPORTNAME", "");
    RecordPort("USB\\VID_1A2B&PID_C3D4&MI_00\\CD_00", "COM256");
    const SetupApiCalls* loaded = LoadSetupApi();
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(LoadSetupApi(), loaded) << "setupapi loaded again";

    const auto ports = ListPresentPorts(*loaded);
    ASSERT_TRUE(ports.has_value());
    std::vector<std::string> listed;
    for (const PresentPort& port : *ports) {
        if (port.InstanceId.find("VID_1A2B") == std::string::npos) continue;  // the prefix's own ports
        listed.push_back(port.InstanceId + " " + port.PortName.c_str() + " " + port.Location.value_or("-"));
        EXPECT_EQ(port.PortName.back(), '\0') << "the terminator the query returned";
        // Wine's status call succeeds and writes nothing: what the program started with must read as no problem.
        EXPECT_EQ(SetupApiPorts().Problem(port), std::nullopt);
    }
    std::ranges::sort(listed);
    EXPECT_EQ(listed, (std::vector<std::string>{"USB\\VID_1A2B&PID_C3D4&MI_00\\CD_00 COM256 -",
                                                "USB\\VID_1A2B&PID_C3D4\\AB_12 COM14 Port_#0002.Hub_#0003"}));
}

// A setupapi of three port devices, the middle one failing the call named in `failing`; journals what the listing
// asks for: Wine lists every recorded device whatever the flags and grants any access, so only this shows them.
struct Journalled {
    static inline std::vector<std::string> journal;
    static inline std::string failing;
    static inline const HDEVINFO kList = HDEVINFO(0x5150);
    static bool Fails(DWORD devInst, const char* call) { return devInst == 1 && failing == call; }
    static HDEVINFO WINAPI GetClassDevs(const GUID* guid, PCSTR enumerator, HWND window, DWORD flags) {
        journal.push_back("list " + std::string(IsEqualGUID(*guid, kPortsClass) ? "Ports" : "other class") +
                          (enumerator || window ? " narrowed" : "") + " flags=" + std::to_string(flags));
        return kList;
    }
    static BOOL WINAPI Enum(HDEVINFO, DWORD index, PSP_DEVINFO_DATA device) {
        return index < 3 && device->cbSize == sizeof *device ? (device->DevInst = index, TRUE) : FALSE;
    }
    static BOOL WINAPI InstanceId(HDEVINFO, PSP_DEVINFO_DATA device, PSTR id, DWORD size, PDWORD) {
        if (Fails(device->DevInst, "id")) return FALSE;
        return snprintf(id, size, "USB\\VID_1A2B&PID_C3D4\\5&1&0&%lu", device->DevInst) > 0;
    }
    static HKEY WINAPI OpenKey(HDEVINFO, PSP_DEVINFO_DATA device, DWORD scope, DWORD, DWORD type, REGSAM access) {
        journal.push_back("key " + std::to_string(device->DevInst) + " scope=" + std::to_string(scope) +
                          " type=" + std::to_string(type) + " access=" + std::to_string(access));
        return Fails(device->DevInst, "key") ? HKEY(INVALID_HANDLE_VALUE) : HKEY(ULONG_PTR(0x100 + device->DevInst));
    }
    static LONG WINAPI Query(HKEY key, LPCSTR, LPDWORD, LPDWORD, LPBYTE data, LPDWORD size) {
        if (Fails(DWORD(ULONG_PTR(key)) - 0x100, "query")) return ERROR_FILE_NOT_FOUND;
        *size = DWORD(snprintf(reinterpret_cast<char*>(data), *size, "COM%lu", 30 + DWORD(ULONG_PTR(key)) - 0x100) + 1);
        return ERROR_SUCCESS;
    }
    static LONG WINAPI Close(HKEY key) { return journal.push_back("close " + std::to_string(ULONG_PTR(key) - 0x100)), 0; }
    static BOOL WINAPI Property(HDEVINFO, PSP_DEVINFO_DATA device, DWORD property, PDWORD, PBYTE data, DWORD size, PDWORD) {
        if (Fails(device->DevInst, "location") || property != SPDRP_LOCATION_INFORMATION) return FALSE;
        return snprintf(reinterpret_cast<char*>(data), size, "Port_#000%lu", device->DevInst) > 0;
    }
    static CONFIGRET WINAPI Parent(PDEVINST parent, DEVINST device, ULONG) {
        return Fails(device, "parent") ? CR_NO_SUCH_DEVNODE : (*parent = 10 + device, CR_SUCCESS);
    }
    static CONFIGRET WINAPI DeviceId(DEVINST device, PSTR id, ULONG size, ULONG) {
        if (Fails(device - 10, "parentid")) return CR_BUFFER_SMALL;
        return snprintf(id, size, "USB\\ROOT_HUB\\%lu", device - 10), CR_SUCCESS;
    }
    static BOOL WINAPI Destroy(HDEVINFO list) { return journal.push_back(list == kList ? "destroy" : "destroy other"), TRUE; }
    // Device 0 has problem 10, device 1 problem 22; device 2 writes a number but not the flag that makes it one.
    static CONFIGRET WINAPI Status(PULONG status, PULONG problem, DEVINST device, ULONG flags) {
        journal.push_back("status " + std::to_string(device) + " flags=" + std::to_string(flags));
        if (Fails(device, "status")) return CR_NO_SUCH_DEVNODE;
        *status = DN_STARTED | (device < 2 ? DN_HAS_PROBLEM : 0);
        *problem = device == 0 ? 10 : 22;
        return CR_SUCCESS;
    }
};

// The listing asks for present ports only and reads each port's key without write access; a device failing any
// call is left out or lacks what failed, never the others; every key opened is closed, the list destroyed once.
// A listed device's problem is asked of its own node, and is none where the call fails or setupapi lacks it.
TEST(Seam, PresentPortsAskedForAsTheyShouldBe) {
    SetupApiCalls calls{Journalled::GetClassDevs, Journalled::Enum, Journalled::InstanceId, Journalled::OpenKey,
                        Journalled::Property, Journalled::Parent, Journalled::DeviceId, Journalled::Destroy,
                        Journalled::Query, Journalled::Close, Journalled::Status};
    const std::string present = "list Ports flags=" + std::to_string(DIGCF_PRESENT);
    const auto key = [](int device) {
        return "key " + std::to_string(device) + " scope=" + std::to_string(DICS_FLAG_GLOBAL) + " type=" +
               std::to_string(DIREG_DEV) + " access=" + std::to_string(KEY_READ);
    };
    const std::vector<std::string> whole = {present, key(0), "close 0", key(1), "close 1", key(2), "close 2", "destroy",
                                            "status 0 flags=0", "status 1 flags=0", "status 2 flags=0"};
    for (const auto& [failing, middle] : {std::pair<std::string, std::string>("", "1 COM31 Port_#0001 USB\\ROOT_HUB\\1 22"),
                                          {"id", ""}, {"key", ""}, {"query", ""}, {"location", "1 COM31 - USB\\ROOT_HUB\\1 22"},
                                          {"parent", "1 COM31 Port_#0001  22"}, {"parentid", "1 COM31 Port_#0001  22"},
                                          {"status", "1 COM31 Port_#0001 USB\\ROOT_HUB\\1 -"}}) {
        SCOPED_TRACE("failing " + failing);
        Journalled::journal.clear();
        Journalled::failing = failing;
        const auto ports = ListPresentPorts(calls);
        ASSERT_TRUE(ports.has_value());
        std::vector<std::string> listed;
        for (const PresentPort& port : *ports) {
            const auto problem = DeviceProblem(calls, port);
            listed.push_back(port.InstanceId.substr(port.InstanceId.size() - 1) + " " + port.PortName.c_str() + " " +
                             port.Location.value_or("-") + " " + port.ParentInstanceId + " " +
                             (problem ? std::to_string(*problem) : "-"));
        }
        std::vector<std::string> expected = {"0 COM30 Port_#0000 USB\\ROOT_HUB\\0 10", middle,
                                             "2 COM32 Port_#0002 USB\\ROOT_HUB\\2 -"};
        std::erase(expected, "");
        EXPECT_EQ(listed, expected);
        std::vector<std::string> journal = whole;
        if (failing == "id" || failing == "key" || failing == "query") journal.erase(journal.begin() + 9);  // not listed
        if (failing == "id") journal.erase(journal.begin() + 3, journal.begin() + 5);  // no key for a device without an ID
        if (failing == "key") journal.erase(journal.begin() + 4);                      // nothing to close
        EXPECT_EQ(Journalled::journal, journal);
    }
    calls.GetDevNodeStatus = nullptr;
    EXPECT_EQ(DeviceProblem(calls, PresentPort{}), std::nullopt);
}

// shell32 as the test plays it: its major version (0: no DllGetVersion); Shell_NotifyIconW journals each call's
// message and refuses one.
struct PlayedShell32 {
    static inline DWORD major = 0, refused = 0;
    static inline std::vector<DWORD> calls;
    static HRESULT CALLBACK Version(DWORD* info) { return info[1] = major, S_OK; }  // DLLVERSIONINFO's dwMajorVersion
    static BOOL WINAPI Notify(DWORD message, NOTIFYICONDATAW*) { return calls.push_back(message), message != refused; }
    static FARPROC Proc(auto* function) { return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(function)); }
    static Shell32Functions Load(bool) { return {major ? Proc(Version) : nullptr, Proc(Notify)}; }
};

// What Wine's shell32, always 6.0, cannot show: before 5.0, or without DllGetVersion, no balloon and no call (the
// flash alone); a balloon refused on an icon just added takes the icon away.
TEST(Seam, BalloonsFromShell32Five) {
    const std::vector<DWORD> shown = {NIM_ADD, NIM_SETVERSION, NIM_MODIFY};
    for (const auto& [major, refused, calls] : {std::tuple{0ul, 9ul, std::vector<DWORD>{}}, {4, 9, {}}, {5, 9, shown},
                                                 {6, NIM_MODIFY, {NIM_ADD, NIM_SETVERSION, NIM_MODIFY, NIM_DELETE}}}) {
        std::tie(PlayedShell32::major, PlayedShell32::refused) = std::tie(major, refused);
        PlayedShell32::calls.clear();
        NotificationArea area(false, [] { return HICON(nullptr); }, PlayedShell32::Load);
        EXPECT_EQ(area.Show(nullptr, 0, u"", u"", u""), calls == shown) << major;
        EXPECT_EQ(PlayedShell32::calls, calls) << major;
    }
}

}  // namespace
}  // namespace e2e
