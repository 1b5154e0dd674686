// The ANSI code page: one byte to one text character, and text back to bytes for the registry.
#pragma once

#include <array>
#include <string>
#include <string_view>

class AnsiCodePage {
public:
    virtual ~AnsiCodePage() = default;
    // Every byte's character; a byte the code page cannot map alone still gives one character.
    virtual const std::array<char16_t, 256>& ByteChars() const = 0;
    // Text to the bytes the registry functions take; unmappable characters become '?'.
    virtual std::string ToAnsi(std::u16string_view text) const = 0;
};

// Windows-1252, with its five unassigned bytes mapped to the control characters of the same
// number as Windows maps them, so every byte survives the round trip to text and back.
class WindowsLatin1CodePage final : public AnsiCodePage {
public:
    WindowsLatin1CodePage();
    const std::array<char16_t, 256>& ByteChars() const override { return chars_; }
    std::string ToAnsi(std::u16string_view text) const override;

private:
    std::array<char16_t, 256> chars_{};
};
