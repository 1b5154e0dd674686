// ReadPortNumber on any 16-bit text and PortNumberFromValue on any bytes and any size.
// The number grammar is checked through what must not change a reading: blanks put anywhere,
// a leading sign; plain digit strings against their own value.
#include "fuzz_support.h"

#include "portlookup/port_number.h"
#include "portlookup/registry_value.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>

namespace {

const WindowsLatin1CodePage kCodePage;

std::string Show(const std::optional<std::int16_t>& value) {
    return value ? std::to_string(*value) : std::string("nullopt");
}

std::string Show(std::u16string_view text) {
    std::string shown;
    for (const char16_t ch : text.substr(0, 200)) {
        if (ch >= 0x20 && ch < 0x7F) {
            shown.push_back(static_cast<char>(ch));
        } else {
            char escaped[10];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(ch));
            shown += escaped;
        }
    }
    return shown;
}

bool IsBlank(char16_t ch) { return ch == u' ' || ch == u'\t' || ch == u'\n'; }

void CheckReading(FuzzedDataProvider& input, const std::u16string& text) {
    const std::optional<std::int16_t> reading = ReadPortNumber(text);
    if (Tracing()) std::fprintf(stderr, "text \"%s\": %s\n", Show(text).c_str(), Show(reading).c_str());

    // Blanks are skipped wherever they stand.
    std::u16string spaced = text;
    const auto at = input.ConsumeIntegralInRange<std::size_t>(0, spaced.size());
    const char16_t blanks[] = {u' ', u'\t', u'\n'};
    const auto count = input.ConsumeIntegralInRange<std::size_t>(1, 3);
    spaced.insert(at, count, blanks[input.ConsumeIntegralInRange(0, 2)]);
    FUZZ_CHECK(ReadPortNumber(spaced) == reading, "a blank at %zu changed %s: %s -> %s", at, Show(text).c_str(),
               Show(reading).c_str(), Show(ReadPortNumber(spaced)).c_str());

    // A sign in front: '+' changes nothing, '-' negates (and -32768 fits where 32768 does not).
    const auto first = std::find_if_not(text.begin(), text.end(), IsBlank);
    if (first == text.end() || (*first != u'+' && *first != u'-')) {
        const auto plus = ReadPortNumber(u"+" + text);
        FUZZ_CHECK(plus == reading, "'+' changed %s: %s -> %s", Show(text).c_str(), Show(reading).c_str(),
                   Show(plus).c_str());
        const auto minus = ReadPortNumber(u"-" + text);
        if (reading)
            FUZZ_CHECK(minus && *minus == -*reading, "'-' on %s: %s -> %s", Show(text).c_str(),
                       Show(reading).c_str(), Show(minus).c_str());
        else
            FUZZ_CHECK(!minus || *minus == -32768, "'-' on %s gave %s", Show(text).c_str(), Show(minus).c_str());
    }

    // Up to nine plain digits read as themselves, or as nothing past 32767.
    if (!text.empty() && text.size() <= 9 &&
        std::all_of(text.begin(), text.end(), [](char16_t ch) { return ch >= u'0' && ch <= u'9'; })) {
        long value = 0;
        for (const char16_t ch : text) value = value * 10 + (ch - u'0');
        const std::optional<std::int16_t> expected =
            value <= 32767 ? std::optional<std::int16_t>(static_cast<std::int16_t>(value)) : std::nullopt;
        FUZZ_CHECK(reading == expected, "%s read as %s", Show(text).c_str(), Show(reading).c_str());
    }
}

void CheckValue(FuzzedDataProvider& input) {
    // The size a registry wrote back: anything, but mostly around the buffer's length.
    std::uint32_t size = input.ConsumeIntegral<std::uint32_t>();
    if (input.ConsumeBool()) size %= kValueBufferSize + 8;
    const auto bytes = input.ConsumeBytes<std::uint8_t>(kValueBufferSize);

    // Its own heap block of exactly 102 bytes: any read or write past it faults.
    const auto buffer = std::make_unique<ValueBuffer>();
    std::copy(bytes.begin(), bytes.end(), buffer->begin());
    const ValueBuffer before = *buffer;
    const std::int16_t port = PortNumberFromValue(*buffer, size, kCodePage);
    if (Tracing())
        std::fprintf(stderr, "value \"%s\" of size %u: port %d\n",
                     Printable(std::string(before.begin(), before.begin() + std::min<std::uint32_t>(size, 102))).c_str(),
                     size, port);

    FUZZ_CHECK(port == -1 || port >= 0, "value of size %u gave port %d", size, port);
    FUZZ_CHECK(std::all_of(buffer->begin(), buffer->begin() + 3, [](std::uint8_t byte) { return byte == '0'; }),
               "the first three bytes are not zeros");
    FUZZ_CHECK(std::equal(buffer->begin() + 3, buffer->end(), before.begin() + 3), "bytes past the prefix changed");

    // Sizes past the buffer read as the whole buffer.
    auto clamped = std::make_unique<ValueBuffer>(before);
    const auto inside = std::min<std::uint32_t>(size, kValueBufferSize);
    FUZZ_CHECK(PortNumberFromValue(*clamped, inside, kCodePage) == port, "size %u and %u differ", size, inside);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    if (input.ConsumeBool()) {
        CheckValue(input);
        return 0;
    }
    // Text one character per byte (digits and marks come easily) or two bytes per character.
    const bool wide = input.ConsumeBool();
    const auto bytes = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(0, 4096));
    std::u16string text;
    if (wide) {
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
            text.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
    } else {
        text.assign(bytes.begin(), bytes.end());
    }
    CheckReading(input, text);
    return 0;
}
