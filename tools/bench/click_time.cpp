// Click time: a click on "Buscar" sent from this process, as a real click comes from outside the program, until
// the report is in txtData and painted; against its floor, made here round by round in alternation: the scan's
// library and registry calls issued directly, then the same report put into a visible box made as txtData is.
// Usage: click_time.exe PROGRAM.exe   (under a display; BuscaVIRK.dll beside both programs)
//   row  LABEL  CLICK_MS  FLOOR_MS  RATIO  TARGET  MET
//   note TEXT
// Exits 1 when the setup is broken (no window, a report missing a port, a click or floor whose report did not
// arrive and paint), since the figures would then time something else; the figures themselves are never judged.
#include "win32/library_loader.h"
#include "ui/form_controls.h"
#include "ui/form_texts.h"

#include "scan_floor.h"

#include <string>
#include <vector>

namespace {

constexpr int kDevices = 64;  // on the 2000/XP layout, which the program takes under Wine's NT versions
constexpr double kWindowWaitMs = 30000;
constexpr UINT kReplyWaitMs = 30000;  // a click's whole scan included
constexpr int kWarmUpRounds = 3;
// Wall time for the timed rounds, and their bounds; odd counts give a true median.
constexpr double kBudgetMs = 5000;
constexpr int kMinRounds = 21;
constexpr int kMaxRounds = 101;

constexpr const wchar_t* kFloorClass = L"BuscadorVIRK.benchFloor";

const auto& TxtDataLayout() {
    for (const auto& layout : form::kControls)
        if (layout.id == IDC_TXTDATA) return layout;
    return form::kControls[0];  // not reached: txtData is in the layout
}

// A message to another process's window; false when it got no answer.
bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result = nullptr) {
    DWORD_PTR answer = 0;
    const bool answered = SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kReplyWaitMs, &answer) != 0;
    if (result != nullptr) *result = static_cast<LRESULT>(answer);
    return answered;
}

std::wstring Text(HWND box) {
    LRESULT length = 0;
    if (!Send(box, WM_GETTEXTLENGTH, 0, 0, &length)) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    LRESULT copied = 0;
    Send(box, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), &copied);
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

// Setting a box's text clears its modified flag: set before each round, it tells that round's report arrived.
void MarkStale(HWND box) { Send(box, EM_SETMODIFY, TRUE, 0); }

bool Arrived(HWND box, std::size_t length) {
    LRESULT modified = 1;
    LRESULT boxLength = 0;
    return Send(box, EM_GETMODIFY, 0, 0, &modified) && modified == 0 && Send(box, WM_GETTEXTLENGTH, 0, 0, &boxLength) &&
           static_cast<std::size_t>(boxLength) == length && GetUpdateRect(box, nullptr, FALSE) == FALSE;
}

void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

// The floor's report box: txtData's class, styles and size, frmMain's body font, visible, in a window
// of this process that colours it as frmMain does.
class FloorBox {
public:
    FloorBox(POINT origin, SIZE size) {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
        windowClass.lpszClassName = kFloorClass;
        RegisterClassExW(&windowClass);
        window_ = CreateWindowExW(0, kFloorClass, L"floor", WS_POPUP | WS_CLIPCHILDREN, origin.x, origin.y, size.cx,
                                  size.cy, nullptr, nullptr, windowClass.hInstance, nullptr);
        const auto& layout = TxtDataLayout();
        box_ = CreateWindowExW(layout.exStyle, layout.className, L"", layout.style, 0, 0, size.cx, size.cy, window_,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)), windowClass.hInstance, nullptr);
        // As frmMain makes its body font.
        HDC screen = GetDC(nullptr);
        const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        font_ = CreateFontW(-MulDiv(form::kBodyFont.centipoints, dpi, 72 * 100), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                            ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            DEFAULT_PITCH | FF_DONTCARE, form::kBodyFont.face);
        SendMessageW(box_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        SendMessageW(box_, EM_SETLIMITTEXT, 0, 0);
        ShowWindow(window_, SW_SHOWNOACTIVATE);
        UpdateWindow(window_);
    }
    ~FloorBox() {
        if (window_ != nullptr) DestroyWindow(window_);
        if (font_ != nullptr) DeleteObject(font_);
    }
    FloorBox(const FloorBox&) = delete;
    FloorBox& operator=(const FloorBox&) = delete;

    HWND Box() const { return box_; }
    bool Ok() const { return box_ != nullptr && font_ != nullptr && IsWindowVisible(box_); }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        static const HBRUSH reportBrush = CreateSolidBrush(form::kReportBackground);
        if (message != WM_CTLCOLOREDIT) return DefWindowProcW(window, message, wParam, lParam);
        const HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, form::kReportBackground);
        return reinterpret_cast<LRESULT>(reportBrush);
    }

    HWND window_ = nullptr;
    HWND box_ = nullptr;
    HFONT font_ = nullptr;
};

// The work area's top-left corner, or beside the program's window where that would overlap it: boxes
// that cover each other would skip painting what is covered.
POINT FloorOrigin(HWND program, SIZE size) {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT frame{};
    GetWindowRect(program, &frame);
    const RECT floor{work.left, work.top, work.left + size.cx, work.top + size.cy};
    RECT overlap{};
    if (!IntersectRect(&overlap, &floor, &frame)) return {work.left, work.top};
    return {frame.right, work.top};
}

std::string Format(const char* pattern, double value) {
    char text[32];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: click_time.exe PROGRAM.exe\n");
        return 2;
    }
    SetProcessDPIAware();  // as the program's manifest makes it, so both measure the screen alike
    const std::wstring program = bench::FullPath(argv[1]);
    const std::wstring folder = bench::MakeTempFolder(L"buscavirk-click");
    const std::wstring deviceFile = folder + L"devices.txt";
    bool setupSound = true;
    std::vector<std::string> notes;
    std::vector<double> clickMs, floorMs, callsMs, ratios;
    {
        bench::RegistryKeys keys;
        const bench::FloorInputs inputs = bench::PrepareAdapters(kDevices, 0, keys, deviceFile, setupSound);
        // BuscaVIRK.dll from this program's folder, as the program loads it.
        LoadedDeviceLibrary library(false);
        PROCESS_INFORMATION process{};
        HWND window = nullptr;
        if (!setupSound) {
            std::fprintf(stderr, "click_time: could not write the registry keys or the device file\n");
            setupSound = false;
        } else if (!bench::StartProgram(program, process) ||
                   (window = bench::WaitForWindow(form::kTitle, process, kWindowWaitMs)) == nullptr) {
            std::fprintf(stderr, "click_time: %s showed no window\n", bench::FileName(program).c_str());
            setupSound = false;
        }
        const HWND button = GetDlgItem(window, IDC_CMDREFRESH);
        const HWND data = GetDlgItem(window, IDC_TXTDATA);
        // The clicked scan: its report arrived and painted, or the round timed something else.
        const auto click = [&] {
            MarkStale(data);
            const bench::Stopwatch watch;
            bool answered = Send(button, BM_CLICK, 0, 0);
            // Painted now, in the program, as the floor's box is below; the program may have begun painting
            // on its own, so a message it answers only after that paint marks the end.
            UpdateWindow(data);
            answered = Send(data, WM_NULL, 0, 0) && answered;
            clickMs.push_back(watch.ElapsedMs());
            UpdateWindow(window);  // the pressed button's repaint, before the next round
            return answered;
        };

        std::wstring report;
        if (setupSound) {
            click();
            report = Text(data);
            if (!bench::ReportIsComplete(std::u16string(report.begin(), report.end()), kDevices)) {
                std::fprintf(stderr, "click_time: the program's report lacks a port of the %d adapters\n", kDevices);
                setupSound = false;
            }
        }
        RECT dataFrame{};
        GetWindowRect(data, &dataFrame);
        const SIZE size{dataFrame.right - dataFrame.left, dataFrame.bottom - dataFrame.top};
        FloorBox floorBox(FloorOrigin(window, size), size);
        const HWND box = floorBox.Box();
        const auto floor = [&] {
            MarkStale(box);
            bench::CallCounts counts;
            const bench::Stopwatch watch;
            const int ports = bench::Floor(library, inputs, counts);
            callsMs.push_back(watch.ElapsedMs());
            SetWindowTextW(box, report.c_str());
            UpdateWindow(box);
            floorMs.push_back(watch.ElapsedMs());
            Pump();
            return ports == kDevices;
        };

        try {
            for (int round = 0; setupSound && round < kWarmUpRounds; ++round) setupSound = click() && floor();
            if (setupSound && !floorBox.Ok()) {
                std::fprintf(stderr, "click_time: the floor's report box is not visible\n");
                setupSound = false;
            }
            // Rounds to fill the budget, from the warm-up's pace.
            const double pairMs = setupSound ? std::max(clickMs.back() + floorMs.back(), 0.001) : kBudgetMs;
            const int rounds = setupSound ? std::clamp(static_cast<int>(kBudgetMs / pairMs), kMinRounds, kMaxRounds) | 1 : 0;
            clickMs.clear();
            floorMs.clear();
            callsMs.clear();
            // Alternating which goes first, so drift and cache order weigh on both alike.
            for (int round = 0; setupSound && round < rounds; ++round) {
                for (int half = 0; half < 2 && setupSound; ++half) {
                    const bool clicked = (round + half) % 2 == 0;
                    if (!(clicked ? click() && Arrived(data, report.size()) : floor() && Arrived(box, report.size()))) {
                        std::fprintf(stderr, "click_time: round %d: the %s's report did not arrive and paint\n", round,
                                     clicked ? "click" : "floor");
                        setupSound = false;
                    }
                }
                if (setupSound) ratios.push_back(clickMs.back() / std::max(floorMs.back(), 0.0001));
            }
            notes.push_back("click Buscar: " + std::to_string(ratios.size()) + " rounds, report of " +
                            std::to_string(report.size()) + " characters; floor " + Format("%.3f", bench::Median(callsMs)) +
                            " ms of library and registry calls, the rest the report into a visible " +
                            std::to_string(size.cx) + "x" + std::to_string(size.cy) + " box as txtData and its painting");
        } catch (const DeviceLibraryFault&) {
            std::fprintf(stderr, "click_time: BuscaVIRK.dll could not be loaded from this program's folder\n");
            setupSound = false;
        }
        if (process.hProcess != nullptr) bench::EndProgram(window, process);
    }
    DeleteFileW(deviceFile.c_str());
    RemoveDirectoryW(folder.c_str());

    if (setupSound) {
        const double ratio = bench::Median(ratios);
        std::printf("row\tclick Buscar, XP layout, %d devices\t%.3f\t%.3f\t%.2f\tratio <= 1.10\t%s\n", kDevices,
                    bench::Median(clickMs), bench::Median(floorMs), ratio, ratio <= 1.10 ? "yes" : "no");
    }
    for (const std::string& note : notes) std::printf("note\t%s\n", note.c_str());
    return setupSound ? 0 : 1;
}
