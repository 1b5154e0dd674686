// A plug-in notice's text from the scan before and the scan after an automatic refresh.
#include "scan/notice_text.h"

#include <gtest/gtest.h>

namespace {

// An adapter of 1a2b/c3d4 read whole, on COM `port` (0 or -1: none known).
ScannedDevice D(std::u16string serial, std::int16_t port = -1) {
    return {ScannedDevice::Identity{0x1A2B, 0xC3D4, std::move(serial)}, port, true, std::nullopt};
}

// The same, with why it has no port, or the problem of the one it has.
ScannedDevice Remarked(ScannedDevice device, std::optional<NoPortReason> why, std::optional<std::uint32_t> problem = {}) {
    device.Reason = why;
    device.Problem = problem;
    return device;
}

struct NoticeCase {
    const char* name;
    std::vector<ScannedDevice> before, now;
    std::u16string text;
};

// Lines of 122 characters: two, a line break and "(y 1 más)" are 255.
const std::u16string kK(101, u'K');

const NoticeCase kNotices[] = {
    {"ArrivalWithAPort", {D(u"AB 12", 3)}, {D(u"AB 12", 3), Remarked(D(u"XK-4471", 7), {}, 22)},
     u"Conectado: XK-4471 en COM7; Windows indica un problema en el puerto (código 22)"},
    {"ArrivalWithoutAPort", {}, {Remarked(D(u"XK-4471", -1), NoPortReason::SharedSerial), ScannedDevice{}},
     u"Conectado: XK-4471, sin puerto COM; otro adaptador tiene el mismo número de serie"},
    {"PortBecameKnown", {D(u"XK-4471", -1)}, {D(u"XK-4471", 7)}, u"Conectado: XK-4471 en COM7"},
    {"Removal", {D(u"AB 12", 3), D(u"XK-4471", 7)}, {D(u"AB 12", 3)}, u"Desconectado: XK-4471"},
    {"ArrivalsFirst", {D(u"AB 12", 3)}, {D(u"XK-4471", 7)}, u"Conectado: XK-4471 en COM7\nDesconectado: AB 12"},
    {"SharedSerialOneLeaves", {D(u"GH"), D(u"GH"), D(u"CD", 7)}, {D(u"CD", 7), D(u"GH")}, u"Desconectado: GH"},
    {"SharedSerialOneMore", {D(u"GH", 21)}, {D(u"GH"), D(u"GH")}, u"Conectado: GH, sin puerto COM"},
    {"CutToWholeLines", {}, {D(kK + u"A", 10), D(kK + u"B", 11), D(kK + u"C", 12)},
     u"Conectado: " + kK + u"A en COM10\nConectado: " + kK + u"B en COM11\n(y 1 más)"},
    // As the report shows it: through the code page, a zero byte as U+FFFD.
    {"SerialOutsideAscii", {}, {D(std::u16string(u"\u00D1u\0", 3), 4)}, u"Conectado: \u00D1u\uFFFD en COM4"},
    {"NoChange", {D(u"AB 12", 3), ScannedDevice{}}, {ScannedDevice{}, D(u"AB 12", 3)}, u""},
};

class Notice : public testing::TestWithParam<NoticeCase> {};

TEST_P(Notice, SaysWhatCameAndWent) {
    EXPECT_EQ(NoticeText(GetParam().before, GetParam().now), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Table, Notice, testing::ValuesIn(kNotices), [](const auto& info) { return info.param.name; });

}  // namespace
