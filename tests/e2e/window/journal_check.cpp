// The order of the calls in the stand-in's journal.
#include "window_fixture.h"

#include <optional>
#include <sstream>

namespace window_test {

namespace {

// The number after "name=" in a journal line, if there is one.
std::optional<long long> Field(const std::string& line, const std::string& name) {
    const std::size_t at = line.find(" " + name + "=");
    if (at == std::string::npos) return std::nullopt;
    return std::stoll(line.substr(at + name.size() + 2));
}

bool Succeeded(const std::string& line) { return line.find("-> status=0") != std::string::npos; }

}  // namespace

testing::AssertionResult CallsArePaired(const std::vector<std::string>& journal) {
    bool isOpen = false;
    long long open = 0;  // the handle opened and not yet closed
    long long nextIndex = 0;
    for (std::size_t i = 0; i < journal.size(); ++i) {
        const std::string& line = journal[i];
        const auto fail = [&](const char* why) {
            return testing::AssertionFailure() << "journal line " << i + 1 << " \"" << line << "\": " << why;
        };
        if (line.rfind("GetNumDevices", 0) == 0) {
            if (isOpen) return fail("counts with a device still open");
            nextIndex = 0;
        } else if (line.rfind("Open ", 0) == 0) {
            if (isOpen) return fail("opens with a device still open");
            if (Field(line, "index") != nextIndex) return fail("index out of order");
            ++nextIndex;
            if (Succeeded(line)) {
                isOpen = true;
                open = Field(line, "handle").value_or(-1);
            }
        } else if (line.rfind("Close ", 0) == 0) {
            if (!isOpen || Field(line, "handle") != open) return fail("closes a handle that is not open");
            isOpen = false;
        } else if (line.rfind("GetDevice", 0) == 0) {
            if (!isOpen || Field(line, "handle") != open) return fail("reads through a handle that is not open");
        } else {
            return fail("unknown call");
        }
    }
    if (isOpen) return testing::AssertionFailure() << "handle " << open << " is never closed";
    return testing::AssertionSuccess();
}

}  // namespace window_test
