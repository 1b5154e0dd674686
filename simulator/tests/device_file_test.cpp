// The stand-in library's device file, which demos and end-to-end tests are written in.
#include "device_file.h"
#include "journal_format.h"  // EscapeSerial

#include <gtest/gtest.h>

#include <cstdio>

namespace {

using namespace std::string_literals;

// A parsed file in one line: count and status, then per device its ids, serial, statuses, length.
std::string Describe(const standin::DeviceFile& file) {
    std::string text = std::to_string(file.ReportedCount()) + "/" + std::to_string(file.countStatus);
    for (const auto& d : file.devices) {
        char ids[64];
        std::snprintf(ids, sizeof ids, "; %x %x ", d.vid, d.pid);
        text += ids + standin::EscapeSerial(d.serial);
        for (const auto status : {d.openStatus, d.vidStatus, d.pidStatus, d.serialStatus, d.closeStatus})
            text += " " + std::to_string(status);
        if (d.reportedLength) text += " len=" + std::to_string(*d.reportedLength);
    }
    return text;
}

const std::pair<std::string, std::string> kFiles[] = {
    {"# note\n\n \t\n5e1a B007 ABC%2012\r\n1 2 -\n3 4 %2D%00%ff%25", "3/0; 5e1a b007 ABC%2012 0 0 0 0 0; 1 2  0 0 0 0 0; "
                                                                      "3 4 -%00%FF%25 0 0 0 0 0"},
    {"1 2 %414 close=5 serial=4 pid=3 vid=2 open=-1\n", "1/0; 1 2 A4 -1 2 3 4 5"},
    {"1 2 a len=70 close=0xFFFFFFFF len=-1", "1/0; 1 2 a 0 0 0 0 -1 len=-1"},
    {"count 5\ncount -1\n1 2 a\ncountstatus 0x10", "-1/16; 1 2 a 0 0 0 0 0"},
    {"COUNT 3\ncount x\ncountstatus 1 2\n1 2 a # c\n1 2 %4\n1 2 %G0\n0x1 2 a\n1 2 a open\n1 2 a speed=1\n1 2 " +
         std::string(65, 'x') + "\n\0\0\n"s,
     "0/0"},
    {"1 2 " + std::string(64, 'x'), "1/0; 1 2 " + std::string(64, 'x') + " 0 0 0 0 0"},
};

TEST(DeviceFile, ParsesLinesEscapesAndOptions) {
    for (const auto& [text, parsed] : kFiles) EXPECT_EQ(Describe(standin::ParseDeviceFile(text)), parsed) << text;
}

}  // namespace
