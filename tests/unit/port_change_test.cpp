// Which device notifications call for a scan: a port's arrival or removal, told in a whole header, and nothing else.
#include "scan/port_change.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>

namespace {

// A notice as Windows lays it out: dbch_size, dbch_devicetype, dbch_reserved, then a port's name or a volume's
// drive letters.
using Notice = std::array<std::uint32_t, 5>;

struct NoticeCase {
    const char* name;
    std::uintptr_t event;          // wParam: 0x8000 arrival, 0x8004 removal complete, 0x0007 device tree changed...
    std::optional<Notice> notice;  // none: lParam 0
    bool scans;
};

// Device types: 0 OEM, 1 device node, 2 volume, 3 port, 4 network, 5 device interface, 6 handle.
const NoticeCase kNotices[] = {
    {"PortArrives", 0x8000, Notice{20, 3}, true}, {"PortLeaves", 0x8004, Notice{20, 3}, true},
    {"PortInAHeaderAlone", 0x8000, Notice{12, 3}, true}, {"SizeOneShortOfTheHeader", 0x8000, Notice{11, 3}, false},
    {"SizeZero", 0x8004, Notice{0, 3}, false}, {"NoNotice", 0x8000, std::nullopt, false},
    {"VolumeArrives", 0x8000, Notice{20, 2}, false}, {"VolumeLeaves", 0x8004, Notice{20, 2}, false},
    {"OemArrives", 0x8000, Notice{20, 0}, false}, {"DeviceNodeArrives", 0x8000, Notice{20, 1}, false},
    {"NetworkArrives", 0x8000, Notice{20, 4}, false}, {"InterfaceArrives", 0x8000, Notice{20, 5}, false},
    {"HandleLeaves", 0x8004, Notice{20, 6}, false}, {"DeviceTreeChanged", 0x0007, std::nullopt, false},
    // Other events, even with a port's notice.
    {"QueryRemove", 0x8001, Notice{20, 3}, false}, {"QueryRemoveFailed", 0x8002, Notice{20, 3}, false},
    {"RemovePending", 0x8003, Notice{20, 3}, false}, {"TypeSpecific", 0x8005, Notice{20, 3}, false},
    {"CustomEvent", 0x8006, Notice{20, 3}, false}, {"ConfigChanged", 0x0018, std::nullopt, false},
    {"UserDefined", 0xFFFF, Notice{20, 3}, false},
};

void PrintTo(const NoticeCase& c, std::ostream* out) { *out << c.name; }

class PortChange : public testing::TestWithParam<NoticeCase> {};

TEST_P(PortChange, ScansOnlyForAPort) {
    const std::optional<Notice>& notice = GetParam().notice;
    EXPECT_EQ(IsPortChange(GetParam().event, notice ? notice->data() : nullptr), GetParam().scans);
}

INSTANTIATE_TEST_SUITE_P(Table, PortChange, testing::ValuesIn(kNotices), [](const auto& info) { return info.param.name; });

}  // namespace
