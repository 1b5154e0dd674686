// Which device notifications call for a scan: a port's arrival or removal, told in a whole header, and nothing else.
#include "scan/port_change.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>

namespace {

// A notice as Windows lays it out: dbch_size, dbch_devicetype (2 a volume, 3 a port), dbch_reserved, then a port's
// name or a volume's drive letters.
using Notice = std::array<std::uint32_t, 5>;

TEST(PortChange, ScansOnlyForAPortArrivingOrLeaving) {
    const struct {
        std::uintptr_t event;          // wParam: 0x8000 arrival, 0x8004 removal complete, 0x0007 device tree changed...
        std::optional<Notice> notice;  // none: lParam 0
        bool scans;
    } kNotices[] = {
        {0x8000, Notice{20, 3}, true},  {0x8004, Notice{20, 3}, true},  {0x8000, Notice{12, 3}, true},
        {0x8000, Notice{11, 3}, false}, {0x8004, Notice{0, 3}, false},  {0x8000, std::nullopt, false},
        {0x8000, Notice{20, 2}, false}, {0x8004, Notice{20, 5}, false}, {0x0007, std::nullopt, false},
        {0x8001, Notice{20, 3}, false}, {0x8003, Notice{20, 3}, false}, {0x8005, Notice{20, 3}, false},
    };
    for (const auto& c : kNotices) {
        EXPECT_EQ(IsPortChange(c.event, c.notice ? c.notice->data() : nullptr), c.scans)
            << std::hex << c.event << " " << (c.notice ? (*c.notice)[0] : 0) << " " << (c.notice ? (*c.notice)[1] : 0);
    }
}

}  // namespace
