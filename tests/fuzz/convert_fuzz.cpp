// ConvertToString on any bytes with any claimed length: the text has clamp(length, 0, size)
// characters, each the code page's character for its byte, and goes back to the same bytes.
#include "fuzz_support.h"

#include "scan/convert_to_string.h"

#include <algorithm>
#include <limits>
#include <memory>

namespace {

const WindowsLatin1CodePage kCodePage;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    std::int32_t length = input.ConsumeIntegral<std::int32_t>();
    const bool nearTheSize = input.ConsumeBool();
    const auto bytes = input.ConsumeRemainingBytes<std::uint8_t>();
    // Lengths just around the array's size are where an off-by-one would show.
    if (nearTheSize) length = static_cast<std::int32_t>(bytes.size()) + length % 3;

    // Its own heap block of exactly that many bytes: any read past it faults.
    const auto array = std::make_unique<std::uint8_t[]>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), array.get());
    const std::u16string text = ConvertToString({array.get(), bytes.size()}, length, kCodePage);
    if (Tracing()) std::fprintf(stderr, "%zu bytes, length %d: %zu characters\n", bytes.size(), length, text.size());

    const auto expectedSize = std::clamp<std::int64_t>(length, 0, static_cast<std::int64_t>(bytes.size()));
    FUZZ_CHECK(static_cast<std::int64_t>(text.size()) == expectedSize, "%zu characters for length %d of %zu bytes",
               text.size(), length, bytes.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        FUZZ_CHECK(text[i] == kCodePage.ByteChars()[bytes[i]], "character %zu is U+%04X for byte %02X", i,
                   static_cast<unsigned>(text[i]), bytes[i]);
    const std::string back = kCodePage.ToAnsi(text);
    FUZZ_CHECK(std::equal(back.begin(), back.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(text.size()),
                          [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; }),
               "the text does not go back to its bytes");
    return 0;
}
