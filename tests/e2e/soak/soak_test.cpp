// Two thousand scans in one run of the program, on each registry layout: every device a scan
// opens is closed again, the last report is still exact, and the program's handles, GDI and USER
// objects and memory stay level however long it runs.
#include "window_fixture.h"

#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace window_test {
namespace {

using namespace std::string_literals;

constexpr int kScans = 2000;
// Wine fills its caches (device contexts, bitmaps, heap) during the first scans; growth is
// measured from here on.
constexpr int kWarmUpScans = 50;

// One stand-in adapter: how the device file spells its serial, how the report shows it, how each
// registry layout names it, and its port.
struct Adapter {
    std::string deviceSerial;
    std::wstring shownSerial;
    std::string keyXP;  // the key under Vid_1a2b&Pid_c3d4&Mi_00, without "_00"
    std::string id98;   // the serial part of CRLowerDeviceID, without "_00"
    int port;
};

// A space and lower case letters among them, which the two layouts spell differently; ports of
// one and two digits.
const std::vector<Adapter> kAdapters = {
    {"SK0001", L"SK0001", "SK0001", "SK0001", 3},
    {"SK0002", L"SK0002", "SK0002", "SK0002", 4},
    {"Sk%200003", L"Sk 0003", "Sk_0003", "SK_0003", 5},
    {"SK0004", L"SK0004", "SK0004", "SK0004", 6},
    {"SK0005", L"SK0005", "SK0005", "SK0005", 9},
    {"sk0006", L"sk0006", "sk0006", "SK0006", 10},
    {"SK0007", L"SK0007", "SK0007", "SK0007", 12},
    {"SK0008", L"SK0008", "SK0008", "SK0008", 27},
};

std::string DeviceFile() {
    std::string text = "# eight adapters, all read whole\n";
    for (const Adapter& adapter : kAdapters) text += "1a2b c3d4 " + adapter.deviceSerial + "\n";
    return text;
}

std::wstring ExpectedReport() {
    std::wstring report;
    for (const Adapter& adapter : kAdapters) report += DeviceLines(adapter.shownSerial, adapter.port);
    return report + L"\r\n\r\n";
}

std::string Id98(const std::string& vidPid, const std::string& serial) {
    return "USB\\" + vidPid + "&MI_00\\" + serial + "_00";
}

// Windows 98: the eight adapters' instances among others that resemble them, so every lookup walks
// all twelve (the last match wins; the walk reaches 00010 and 00011) and must pass the others over.
std::vector<std::pair<std::string, std::string>> Instances98() {
    const std::string ours = "VID_1A2B&PID_C3D4";
    const std::vector<std::pair<std::string, std::string>> others = {
        {Id98("VID_5E1A&PID_B007", "SK0001"), "COM20"},                 // another product
        {Id98(ours, "SK0009"), "COM21"},                                // an adapter not attached
        {"USB\\" + ours + "&MI_01\\SK0002_00", "COM22"},                // another interface
        {Id98(ours, "SK000"), "COM23"},                                 // a serial's beginning
    };
    std::vector<std::pair<std::string, std::string>> instances;
    for (std::size_t i = 0; i < kAdapters.size(); ++i) {
        if (i % 2 == 0 && i / 2 < others.size()) instances.push_back(others[i / 2]);
        instances.push_back({Id98(ours, kAdapters[i].id98), "COM" + std::to_string(kAdapters[i].port)});
    }
    return instances;
}

// ---- The program's resources, seen from outside its process ----

// A count, or nothing when this Wine or Windows does not tell it.
using Count = std::optional<unsigned long>;

struct Figures {
    Count handles;          // GetProcessHandleCount
    Count listedHandles;    // the system's list of every handle (NtQuerySystemInformation)
    Count gdiObjects;       // GetGuiResources GR_GDIOBJECTS
    Count userObjects;      // GetGuiResources GR_USEROBJECTS
    Count gdiTableEntries;  // live entries of the process's GDI handle table
    Count windows;          // its windows, top-level and children
    Count privateBytes;     // committed private memory, region by region (VirtualQueryEx)
    Count pagefileUsage;    // GetProcessMemoryInfo
    Count workingSet;       // GetProcessMemoryInfo
};

Count HandleCount(HANDLE process) {
    DWORD count = 0;
    // A running process always holds some handles: 0 is the answer of a call not implemented.
    if (!GetProcessHandleCount(process, &count) || count == 0) return std::nullopt;
    return count;
}

Count GuiResources(HANDLE process, DWORD which) {
    const DWORD count = GetGuiResources(process, which);
    if (count == 0) return std::nullopt;  // a program with a window has some of each
    return count;
}

// Every handle of every process with its owner, as SystemExtendedHandleInformation lists them
// (the layout Windows documents for handle-listing tools).
struct HandleEntry {
    void* object;
    ULONG_PTR processId;
    ULONG_PTR handle;
    ULONG access;
    USHORT creatorBackTraceIndex;
    USHORT objectTypeIndex;
    ULONG attributes;
    ULONG reserved;
};
constexpr ULONG kSystemExtendedHandleInformation = 64;
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);

// Called by number: the headers' enumeration stops short of the class above.
NTSTATUS QuerySystemInformation(ULONG informationClass, void* buffer, ULONG size, ULONG* needed) {
    using Query = NTSTATUS(NTAPI*)(ULONG, void*, ULONG, ULONG*);
    static const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    return query != nullptr ? query(informationClass, buffer, size, needed) : static_cast<NTSTATUS>(0xC0000002);
}

Count ListedHandles(DWORD processId) {
    std::vector<unsigned char> buffer(1 << 20);
    for (int attempt = 0; attempt < 8; ++attempt) {
        ULONG needed = 0;
        const NTSTATUS status = QuerySystemInformation(kSystemExtendedHandleInformation, buffer.data(),
                                                       static_cast<ULONG>(buffer.size()), &needed);
        if (status == kInfoLengthMismatch) {
            buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed + 4096));
            continue;
        }
        if (status != 0) return std::nullopt;
        ULONG_PTR listed = 0;
        std::memcpy(&listed, buffer.data(), sizeof listed);
        const std::size_t header = 2 * sizeof(ULONG_PTR);
        listed = std::min<ULONG_PTR>(listed, (buffer.size() - header) / sizeof(HandleEntry));
        unsigned long owned = 0;
        for (ULONG_PTR n = 0; n < listed; ++n) {
            HandleEntry entry;
            std::memcpy(&entry, buffer.data() + header + n * sizeof(HandleEntry), sizeof entry);
            owned += entry.processId == processId;
        }
        return owned != 0 ? Count(owned) : std::nullopt;
    }
    return std::nullopt;
}

// Wine keeps each process's GDI objects in a table of its own, which the process's PEB points to
// (GdiSharedHandleTable): 24-byte entries whose type byte, at offset 14, is 0 when free. Windows
// shares one table among processes, so this count is taken only where GetGuiResources says nothing.
Count GdiTableEntries(HANDLE process) {
    constexpr std::size_t kEntrySize = 24;
    constexpr std::size_t kTypeOffset = 14;
    constexpr std::size_t kMaxEntries = 0x10000;
    const std::size_t tableField = sizeof(void*) == 8 ? 0xF8 : 0x94;  // the PEB's GdiSharedHandleTable
    PROCESS_BASIC_INFORMATION basic{};
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0)
        return std::nullopt;
    void* table = nullptr;
    SIZE_T read = 0;
    if (!ReadProcessMemory(process, reinterpret_cast<const char*>(basic.PebBaseAddress) + tableField, &table,
                           sizeof table, &read) ||
        table == nullptr)
        return std::nullopt;
    MEMORY_BASIC_INFORMATION region{};
    if (VirtualQueryEx(process, table, &region, sizeof region) == 0 || region.State != MEM_COMMIT) return std::nullopt;
    const std::size_t available =
        region.RegionSize - static_cast<std::size_t>(static_cast<char*>(table) - static_cast<char*>(region.BaseAddress));
    std::vector<unsigned char> entries(std::min(available, kMaxEntries * kEntrySize));
    if (!ReadProcessMemory(process, table, entries.data(), entries.size(), &read)) return std::nullopt;
    unsigned long live = 0;
    for (std::size_t at = 0; at + kEntrySize <= read; at += kEntrySize) live += entries[at + kTypeOffset] != 0;
    return live != 0 ? Count(live) : std::nullopt;
}

struct WindowCount {
    DWORD processId;
    unsigned long count;
};

BOOL CALLBACK CountChild(HWND, LPARAM context) {
    ++reinterpret_cast<WindowCount*>(context)->count;
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM context) {
    auto& windows = *reinterpret_cast<WindowCount*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == windows.processId) {
        ++windows.count;
        EnumChildWindows(window, CountChild, context);
    }
    return TRUE;
}

Count Windows(DWORD processId) {
    WindowCount windows{processId, 0};
    EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&windows));
    return windows.count;
}

// What Windows calls private bytes, added up from the regions themselves: Wine's
// GetProcessMemoryInfo leaves PrivateUsage at 0 for another process.
Count PrivateBytes(HANDLE process) {
    unsigned long long committed = 0;
    MEMORY_BASIC_INFORMATION region{};
    const char* at = nullptr;
    while (VirtualQueryEx(process, at, &region, sizeof region) != 0) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) committed += region.RegionSize;
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= at) break;
        at = next;
    }
    if (committed == 0) return std::nullopt;
    return static_cast<unsigned long>(std::min<unsigned long long>(committed, ~0UL));
}

// Linux's load average through Wine's drive Z:, which puts a run's time in its context: the tests
// share two cores with whatever else runs. Empty elsewhere.
std::string MachineLoad() {
    std::ifstream file("Z:\\proc\\loadavg");
    std::string one, five;
    if (!(file >> one >> five)) return "";
    return ", machine load " + one + " (" + five + " over 5 minutes)";
}

Figures MeasureOnce(HANDLE process, DWORD processId) {
    Figures figures;
    figures.handles = HandleCount(process);
    figures.listedHandles = ListedHandles(processId);
    figures.gdiObjects = GuiResources(process, GR_GDIOBJECTS);
    figures.userObjects = GuiResources(process, GR_USEROBJECTS);
    if (!figures.gdiObjects) figures.gdiTableEntries = GdiTableEntries(process);
    figures.windows = Windows(processId);
    figures.privateBytes = PrivateBytes(process);
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process, &memory, sizeof memory)) {
        if (memory.PagefileUsage != 0) figures.pagefileUsage = static_cast<unsigned long>(memory.PagefileUsage);
        if (memory.WorkingSetSize != 0) figures.workingSet = static_cast<unsigned long>(memory.WorkingSetSize);
    }
    return figures;
}

// The smallest of a few samples taken while the program idles: the paint that follows a scan
// holds a few regions and device contexts for a moment (seen as +3 GDI objects now and then),
// while anything a scan leaks is there in every sample.
Figures Measure(HANDLE process, DWORD processId) {
    constexpr int kSamples = 5;
    const auto lesser = [](Count& kept, const Count& sample) {
        if (!kept || !sample) kept = std::nullopt;  // one that says nothing once is not trusted
        else kept = std::min(*kept, *sample);
    };
    WaitForInputIdle(process, 2000);
    Figures figures = MeasureOnce(process, processId);
    for (int sample = 1; sample < kSamples; ++sample) {
        Sleep(20);
        const Figures next = MeasureOnce(process, processId);
        lesser(figures.handles, next.handles);
        lesser(figures.listedHandles, next.listedHandles);
        lesser(figures.gdiObjects, next.gdiObjects);
        lesser(figures.userObjects, next.userObjects);
        lesser(figures.gdiTableEntries, next.gdiTableEntries);
        lesser(figures.windows, next.windows);
        lesser(figures.privateBytes, next.privateBytes);
        lesser(figures.pagefileUsage, next.pagefileUsage);
        lesser(figures.workingSet, next.workingSet);
    }
    return figures;
}

std::string Shown(const Count& count) { return count ? std::to_string(*count) : "n/a"s; }

void PrintRow(const char* layout, const char* what, const Count& loaded, const Count& warm, const Count& end) {
    std::printf("[soak %s] %-46s %16s %16s %16s\n", layout, what, Shown(loaded).c_str(), Shown(warm).c_str(),
                Shown(end).c_str());
}

void PrintFigures(const char* layout, const Figures& loaded, const Figures& warm, const Figures& end) {
    char warmLabel[32], endLabel[32];
    std::snprintf(warmLabel, sizeof warmLabel, "after scan %d", 1 + kWarmUpScans);
    std::snprintf(endLabel, sizeof endLabel, "after scan %d", 1 + kScans);
    std::printf("[soak %s] %-46s %16s %16s %16s\n", layout, "(n/a: not told here)", "after scan 1", warmLabel,
                endLabel);
    PrintRow(layout, "kernel handles, GetProcessHandleCount", loaded.handles, warm.handles, end.handles);
    PrintRow(layout, "kernel handles, system handle list", loaded.listedHandles, warm.listedHandles,
             end.listedHandles);
    PrintRow(layout, "GDI objects, GetGuiResources", loaded.gdiObjects, warm.gdiObjects, end.gdiObjects);
    PrintRow(layout, "GDI objects, live entries of its handle table", loaded.gdiTableEntries, warm.gdiTableEntries,
             end.gdiTableEntries);
    PrintRow(layout, "USER objects, GetGuiResources", loaded.userObjects, warm.userObjects, end.userObjects);
    PrintRow(layout, "USER objects: its windows", loaded.windows, warm.windows, end.windows);
    PrintRow(layout, "private bytes, committed private regions", loaded.privateBytes, warm.privateBytes,
             end.privateBytes);
    PrintRow(layout, "pagefile usage, GetProcessMemoryInfo", loaded.pagefileUsage, warm.pagefileUsage,
             end.pagefileUsage);
    PrintRow(layout, "working set, GetProcessMemoryInfo", loaded.workingSet, warm.workingSet, end.workingSet);
    std::fflush(stdout);
}

// What the calls made for this answer about another process here, as they answer it.
void PrintWhatIsTold(const char* layout, HANDLE process) {
    DWORD handles = 0;
    SetLastError(0);
    const BOOL handled = GetProcessHandleCount(process, &handles);
    const DWORD handlesError = GetLastError();
    SetLastError(0);
    const DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS);
    const DWORD gdiError = GetLastError();
    SetLastError(0);
    const DWORD user = GetGuiResources(process, GR_USEROBJECTS);
    const DWORD userError = GetLastError();
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    const BOOL told = GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
    std::printf("[soak %s] GetProcessHandleCount -> %d, count %lu, error %lu; GetGuiResources -> GDI %lu (error %lu), "
                "USER %lu (error %lu); GetProcessMemoryInfo -> %d, PrivateUsage %zu, PagefileUsage %zu, "
                "WorkingSetSize %zu\n",
                layout, handled, handles, handlesError, gdi, gdiError, user, userError, told,
                static_cast<std::size_t>(memory.PrivateUsage), static_cast<std::size_t>(memory.PagefileUsage),
                static_cast<std::size_t>(memory.WorkingSetSize));
}

// A count that grows by no more than the slack from the warm-up to the end; a missing count is a
// failure only when the other one of its kind is missing too.
void ExpectWithin(const char* what, const Count& warm, const Count& end, unsigned long slack) {
    if (!warm || !end) return;
    EXPECT_LE(*end, *warm + slack) << what << " grew from " << *warm << " after the warm-up to " << *end
                                   << " at the end";
}

void ExpectLevel(const char* what, const Count& warm, const Count& end) { ExpectWithin(what, warm, end, 0); }

class Soak : public WindowTest {
protected:
    void Run(const char* layout) {
        ASSERT_NO_FATAL_FAILURE(Launch(DeviceFile()));
        const std::wstring expected = ExpectedReport();
        ASSERT_EQ(Report(), expected);
        const DWORD processId = program_->ProcessId();
        const std::unique_ptr<void, decltype(&CloseHandle)> opened(
            OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId), &CloseHandle);
        ASSERT_NE(opened, nullptr) << "OpenProcess failed with error " << GetLastError();
        const HANDLE process = opened.get();
        PrintWhatIsTold(layout, process);
        const Figures loaded = Measure(process, processId);
        Figures warm;

        const HWND buscar = Control(IDC_CMDREFRESH);
        const auto begin = std::chrono::steady_clock::now();
        for (int scan = 1; scan <= kScans; ++scan) {
            // BM_CLICK returns once the program has handled the click, and with it the scan.
            ASSERT_TRUE(SendMessageTimeoutW(buscar, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 10000, nullptr))
                << "no answer to Buscar at scan " << scan << " of " << kScans;
            if (scan == kWarmUpScans) warm = Measure(process, processId);
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        const Figures end = Measure(process, processId);

        std::printf("[soak %s] %d scans through Buscar in %.1f s: %.2f ms a scan (the warm-up sample included)%s\n",
                    layout, kScans, seconds, seconds * 1000 / kScans, MachineLoad().c_str());
        PrintFigures(layout, loaded, warm, end);

        // Still answering, with the report of all eight adapters.
        DWORD_PTR answer = 0;
        EXPECT_TRUE(SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer));
        EXPECT_EQ(Report(), expected);

        ExpectLevel("kernel handles (GetProcessHandleCount)", warm.handles, end.handles);
        ExpectLevel("kernel handles (system handle list)", warm.listedHandles, end.listedHandles);
        EXPECT_TRUE(warm.handles || warm.listedHandles) << "no count of the program's handles at all";
        ExpectLevel("GDI objects (GetGuiResources)", warm.gdiObjects, end.gdiObjects);
        ExpectLevel("GDI objects (handle table)", warm.gdiTableEntries, end.gdiTableEntries);
        EXPECT_TRUE(warm.gdiObjects || warm.gdiTableEntries) << "no count of the program's GDI objects at all";
        ExpectLevel("USER objects (GetGuiResources)", warm.userObjects, end.userObjects);
        ExpectLevel("windows", warm.windows, end.windows);
        // Measured from the warm-up on: the private regions level to the byte in every run, the
        // pagefile figure level or 12 KiB (three pages) up. 64 KiB leaves room for such a page or a
        // late heap commit, while a leak of 34 bytes a scan (64 KiB over the scans after the
        // warm-up) fails. The working set is only printed: it follows the kernel's paging too.
        constexpr unsigned long kMemorySlack = 64 * 1024;
        ExpectWithin("private bytes (committed private regions)", warm.privateBytes, end.privateBytes, kMemorySlack);
        ExpectWithin("pagefile usage (GetProcessMemoryInfo)", warm.pagefileUsage, end.pagefileUsage, kMemorySlack);
        EXPECT_TRUE(warm.privateBytes || warm.pagefileUsage) << "no count of the program's memory at all";

        // Ends as asked, with exit code 0.
        PostMessageW(window_, WM_CLOSE, 0, 0);
        EXPECT_EQ(program_->WaitForExit(10s), 0u);

        const std::vector<std::string> journal = program_->Journal();
        EXPECT_TRUE(CallsArePaired(journal));
        const auto count = [&](const std::string& start) {
            return std::count_if(journal.begin(), journal.end(),
                                 [&](const std::string& line) { return line.rfind(start, 0) == 0; });
        };
        const long scans = kScans + 1;  // and the scan at start
        const long devices = scans * static_cast<long>(kAdapters.size());
        EXPECT_EQ(count("GetNumDevices -> status=0 count=8"), scans);
        EXPECT_EQ(count("GetNumDevices"), scans);
        EXPECT_EQ(count("Open "), devices);
        EXPECT_EQ(count("Close "), devices);
        EXPECT_EQ(static_cast<long>(journal.size()), scans + 5 * devices);
        EXPECT_EQ(std::count_if(journal.begin(), journal.end(),
                                [](const std::string& line) { return line.find("-> status=0") == std::string::npos; }),
                  0)
            << "a call failed";
    }
};

// The counts used where Windows' own calls say nothing follow objects really made: handles in the
// system's handle list and the entries of Wine's GDI handle table, here in this process.
TEST(SoakFigures, FollowHandlesAndGdiObjectsMadeHere) {
    constexpr unsigned long kMade = 8;
    const HANDLE self = GetCurrentProcess();
    const Count handlesBefore = ListedHandles(GetCurrentProcessId());
    const Count gdiBefore = GdiTableEntries(self);
    std::vector<HANDLE> events;
    std::vector<HBRUSH> brushes;
    for (unsigned long n = 0; n < kMade; ++n) {
        events.push_back(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        brushes.push_back(CreateSolidBrush(RGB(n, 0x40, 0x80)));
    }
    const Count handlesMade = ListedHandles(GetCurrentProcessId());
    const Count gdiMade = GdiTableEntries(self);
    for (HANDLE event : events) CloseHandle(event);
    for (HBRUSH brush : brushes) DeleteObject(brush);
    const Count handlesAfter = ListedHandles(GetCurrentProcessId());
    const Count gdiAfter = GdiTableEntries(self);

    ASSERT_TRUE(handlesBefore && handlesMade && handlesAfter) << "the system lists none of our handles";
    EXPECT_EQ(*handlesMade, *handlesBefore + kMade);
    EXPECT_EQ(*handlesAfter, *handlesBefore);
    // Where GetGuiResources answers, the soak does not read the table (on Windows it is shared).
    if (GetGuiResources(self, GR_GDIOBJECTS) == 0) {
        ASSERT_TRUE(gdiBefore && gdiMade && gdiAfter) << "no GDI handle table found";
        EXPECT_EQ(*gdiMade, *gdiBefore + kMade);
        EXPECT_EQ(*gdiAfter, *gdiBefore);
    }
}

TEST_F(Soak, TwoThousandScansOnTheXPLayout) {
    registry_.SetWineVersion("winxp");
    for (const Adapter& adapter : kAdapters) registry_.SetPortXP(adapter.keyXP, "COM" + std::to_string(adapter.port));
    Run("XP");
}

TEST_F(Soak, TwoThousandScansOnThe98Layout) {
    registry_.SetWineVersion("win98");
    const auto instances = Instances98();
    for (std::size_t n = 0; n < instances.size(); ++n)
        registry_.SetInstance98("000" + std::to_string(n), instances[n].first, instances[n].second);
    Run("98");
}

}  // namespace
}  // namespace window_test
