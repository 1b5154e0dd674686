// Scan time of FillDeviceList on the real seams under Wine, beside its floor: the same library and
// registry calls issued directly, without the core's logic. Prints tab-separated rows for run-bench.sh:
//   row  LABEL  SCAN_MS  FLOOR_MS  RATIO  TARGET  MET
//   note TEXT
// Exits 1 when the setup is broken (a port not found, or the floor not issuing the scan's calls),
// since the figures would then time something else; the figures themselves are never judged.
#include "app/shared_state.h"
#include "scan/device_scan.h"
#include "win32/windows_platform.h"

#include "scan_floor.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

using bench::CallCounts;
using bench::Floor;
using bench::FloorInputs;

constexpr std::uint32_t kVersionXP = 0x0A280105;  // 5.1, build 2600
constexpr std::uint32_t kVersion98 = 0xC0000A04;  // 4.10, with the 95/98/Me flag

// Wall time per scenario for the timed rounds, and their bounds; odd counts give a true median. The
// lower bound only matters where a scan lasts seconds, and a few such rounds already agree.
constexpr double kBudgetMs = 4000;
constexpr int kMinRounds = 7;
constexpr int kMaxRounds = 301;
constexpr double kSettleMs = 2000;

class FixedVersion final : public OsVersion {
public:
    explicit FixedVersion(std::uint32_t word) : word_(word) {}
    std::uint32_t GetVersion() override { return word_; }

private:
    std::uint32_t word_;
};

// Forwards to the real registry, counting: used once, untimed, to compare the scan's calls with the floor's.
class CountingRegistry final : public Registry {
public:
    CountingRegistry(Registry& inner, CallCounts& counts) : inner_(inner), counts_(counts) {}
    std::int32_t OpenKeyEx(RegKey parent, const char* subKey, std::uint32_t options, std::uint32_t access,
                           RegKey* result) override {
        ++counts_.registry;
        return inner_.OpenKeyEx(parent, subKey, options, access, result);
    }
    std::int32_t OpenKey(RegKey parent, const char* subKey, RegKey* result) override {
        ++counts_.registry;
        return inner_.OpenKey(parent, subKey, result);
    }
    std::int32_t QueryValueEx(RegKey key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                              std::uint32_t* size) override {
        ++counts_.registry;
        return inner_.QueryValueEx(key, valueName, type, data, size);
    }
    std::int32_t CloseKey(RegKey key) override {
        ++counts_.registry;
        return inner_.CloseKey(key);
    }

private:
    Registry& inner_;
    CallCounts& counts_;
};

class CountingLibrary final : public DeviceLibrary {
public:
    CountingLibrary(DeviceLibrary& inner, CallCounts& counts) : inner_(inner), counts_(counts) {}
    std::int16_t GetNumDevices(std::int32_t* numDevices) override {
        ++counts_.library;
        return inner_.GetNumDevices(numDevices);
    }
    std::int16_t Open(std::int32_t deviceIndex, LibraryHandle* handle) override {
        ++counts_.library;
        return inner_.Open(deviceIndex, handle);
    }
    std::int16_t GetDeviceVid(LibraryHandle handle, std::int32_t* vid) override {
        ++counts_.library;
        return inner_.GetDeviceVid(handle, vid);
    }
    std::int16_t GetDevicePid(LibraryHandle handle, std::int32_t* pid) override {
        ++counts_.library;
        return inner_.GetDevicePid(handle, pid);
    }
    std::int16_t GetDeviceSerialNumber(LibraryHandle handle, std::uint8_t* serial, std::int32_t* length,
                                       std::int32_t ascii) override {
        ++counts_.library;
        return inner_.GetDeviceSerialNumber(handle, serial, length, ascii);
    }
    std::int16_t Close(LibraryHandle handle) override {
        ++counts_.library;
        return inner_.Close(handle);
    }

private:
    DeviceLibrary& inner_;
    CallCounts& counts_;
};

struct Scenario {
    const char* label;
    std::uint32_t versionWord;
    int devices;
    int instances;  // 98 layout: instance keys in the registry
    bool todaysDrivers;  // the ports recorded as present port devices
    const char* target;
    double scanLimitMs;  // 0 when only the ratio has a target
};

// Forwards to setupapi, counting the listings.
class CountingPorts final : public PresentPorts {
public:
    CountingPorts(PresentPorts& inner, CallCounts& counts) : inner_(inner), counts_(counts) {}
    std::optional<std::vector<PresentPort>> List() override {
        ++counts_.portListings;
        return inner_.List();
    }
    std::optional<std::uint32_t> Problem(const PresentPort& port) override { return inner_.Problem(port); }

private:
    PresentPorts& inner_;
    CallCounts& counts_;
};

std::u16string Scan(DeviceLibrary& library, Registry& registry, PresentPorts& ports, OsVersion& version,
                    const AnsiCodePage& codePage) {
    Platform platform{library, registry, ports, version, codePage};
    SharedState state;
    return FillDeviceList(platform, state).Report;
}

// The registry keys and device file of a scenario; the floor's inputs to match.
FloorInputs Prepare(const Scenario& scenario, bench::RegistryKeys& keys, const std::wstring& deviceFile) {
    bool ok = true;
    FloorInputs inputs =
        bench::PrepareAdapters(scenario.devices, scenario.instances, keys, deviceFile, ok, scenario.todaysDrivers);
    if (!ok) std::fprintf(stderr, "bench_scan: could not write the keys or device file of \"%s\"\n", scenario.label);
    return inputs;
}

std::string Format(const char* pattern, double value) {
    char text[32];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

}  // namespace

int main() {
    const std::wstring folder = bench::MakeTempFolder(L"buscavirk-bench");
    const std::wstring deviceFile = folder + L"devices.txt";

    // BuscaVIRK.dll from this program's folder, as the program loads it; the version word is each scenario's.
    WindowsPlatform windows;
    DeviceLibrary& library = windows.Services().Devices;
    Registry& registry = windows.Services().Reg;
    PresentPorts& ports = windows.Services().Ports;
    const AnsiCodePage& codePage = windows.Services().CodePage;
    bench::RegistryKeys keys;

    const Scenario scenarios[] = {
        {"XP layout, 1 device", kVersionXP, 1, 0, false, "ratio <= 1.10", 0},
        {"XP layout, 8 devices", kVersionXP, 8, 0, false, "ratio <= 1.10", 0},
        {"XP layout, 64 devices", kVersionXP, 64, 0, false, "ratio <= 1.10; scan < 50 ms", 50},
        {"today's drivers, 64 devices", kVersionXP, 64, 0, true, "ratio <= 1.10", 0},
        {"98 layout, 8 devices, 10 keys", kVersion98, 8, 10, false, "ratio <= 1.10", 0},
        {"98 layout, 8 devices, 1000 keys", kVersion98, 8, 1000, false, "ratio <= 1.10", 0},
    };

    bool setupSound = true;
    std::vector<std::string> notes;
    try {
        // Once, before anything else loads it: what the program's first scan pays on top.
        {
            const Scenario& first = scenarios[0];
            Prepare(first, keys, deviceFile);
            std::int32_t count = 0;
            const bench::Stopwatch load;
            library.GetNumDevices(&count);
            const double loadMs = load.ElapsedMs();
            const bench::Stopwatch again;
            library.GetNumDevices(&count);
            notes.push_back("first library call, loading BuscaVIRK.dll: " + Format("%.3f", loadMs) +
                            " ms (the same call once loaded: " + Format("%.3f", again.ElapsedMs()) + " ms)");
        }
        // Wine starts its service processes beside the first program of a session: let them
        // settle before anything is timed.
        {
            const Scenario& first = scenarios[0];
            FixedVersion version(first.versionWord);
            for (const bench::Stopwatch settle; settle.ElapsedMs() < kSettleMs;) Scan(library, registry, ports, version, codePage);
        }

        for (const Scenario& scenario : scenarios) {
            const FloorInputs inputs = Prepare(scenario, keys, deviceFile);
            FixedVersion version(scenario.versionWord);

            // Untimed: the scan's calls counted, and its report checked; also loads the library.
            CallCounts scanCounts;
            CountingLibrary countingLibrary(library, scanCounts);
            CountingRegistry countingRegistry(registry, scanCounts);
            CountingPorts countingPorts(ports, scanCounts);
            const std::u16string report = Scan(countingLibrary, countingRegistry, countingPorts, version, codePage);
            CallCounts floorCounts;
            const int floorPorts = Floor(library, inputs, floorCounts);
            if (!bench::ReportIsComplete(report, scenario.devices) || floorPorts != scenario.devices) {
                std::fprintf(stderr, "bench_scan: \"%s\": ports not all found (floor found %d of %d)\n", scenario.label,
                             floorPorts, scenario.devices);
                setupSound = false;
            }
            if (!(scanCounts == floorCounts)) {
                std::fprintf(stderr, "bench_scan: \"%s\": the scan made %ld library and %ld registry calls and %ld port "
                             "listings, the floor %ld, %ld and %ld\n",
                             scenario.label, scanCounts.library, scanCounts.registry, scanCounts.portListings,
                             floorCounts.library, floorCounts.registry, floorCounts.portListings);
                setupSound = false;
            }

            // Warm-up, which also sizes the run to the budget.
            const bench::Stopwatch warmUp;
            CallCounts ignored;
            Scan(library, registry, ports, version, codePage);
            Floor(library, inputs, ignored);
            const double pairMs = std::max(warmUp.ElapsedMs(), 0.001);
            int rounds = std::clamp(static_cast<int>(kBudgetMs / pairMs), kMinRounds, kMaxRounds);
            rounds |= 1;

            // Interleaved, alternating which goes first, so drift and cache order weigh on both alike.
            std::vector<double> scanMs;
            std::vector<double> floorMs;
            std::vector<double> libraryMs;
            for (int round = 0; round < rounds; ++round) {
                for (int half = 0; half < 2; ++half) {
                    const bench::Stopwatch watch;
                    if ((round + half) % 2 == 0) {
                        Scan(library, registry, ports, version, codePage);
                        scanMs.push_back(watch.ElapsedMs());
                    } else {
                        Floor(library, inputs, ignored);
                        floorMs.push_back(watch.ElapsedMs());
                    }
                }
                const bench::Stopwatch watch;
                bench::FloorLibraryOnly(library);
                libraryMs.push_back(watch.ElapsedMs());
            }

            // The ratio of each round's pair: load from elsewhere that changes between rounds cancels out.
            std::vector<double> ratios;
            for (std::size_t i = 0; i < scanMs.size(); ++i) ratios.push_back(scanMs[i] / std::max(floorMs[i], 0.0001));
            const double scan = bench::Median(scanMs);
            const double floor = bench::Median(floorMs);
            const double ratio = bench::Median(ratios);
            const bool met = ratio <= 1.10 && (scenario.scanLimitMs == 0 || scan < scenario.scanLimitMs);
            std::printf("row\t%s\t%s\t%s\t%s\t%s\t%s\n", scenario.label, Format("%.3f", scan).c_str(),
                        Format("%.3f", floor).c_str(), Format("%.2f", ratio).c_str(), scenario.target, met ? "yes" : "no");
            const double libraryPart = bench::Median(libraryMs);
            notes.push_back(std::string(scenario.label) + ": " + std::to_string(rounds) + " rounds; per scan " +
                            std::to_string(scanCounts.library) + " library calls (" + Format("%.3f", libraryPart) +
                            " ms, device file re-read included), " + std::to_string(scanCounts.portListings) +
                            " port listing(s) and " + std::to_string(scanCounts.registry) +
                            " registry calls (about " + Format("%.3f", floor - libraryPart) + " ms together)");
            std::fflush(stdout);
        }
    } catch (const DeviceLibraryFault&) {
        std::fprintf(stderr, "bench_scan: BuscaVIRK.dll could not be loaded from this program's folder\n");
        setupSound = false;
    }
    for (const std::string& note : notes) std::printf("note\t%s\n", note.c_str());

    DeleteFileW(deviceFile.c_str());
    RemoveDirectoryW(folder.c_str());
    return setupSound ? 0 : 1;
}
