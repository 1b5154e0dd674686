// Reading a COM port number out of the text of a "PortName" value.
#include "portlookup/port_number.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace {

bool IsSkipped(char16_t ch) { return ch == u' ' || ch == u'\t' || ch == u'\n'; }
bool IsDigit(char16_t ch) { return ch >= u'0' && ch <= u'9'; }

// Walks the text as one stream of significant characters, the skipped ones left out.
class NumberCursor {
public:
    explicit NumberCursor(std::u16string_view text) : text_(text) { SkipBlanks(); }
    bool AtEnd() const { return pos_ >= text_.size(); }
    char16_t Peek() const { return AtEnd() ? u'\0' : text_[pos_]; }
    // Looks past the current character, for an exponent mark that must be followed by digits.
    char16_t PeekAfter(std::size_t steps) const {
        std::size_t at = pos_;
        for (std::size_t i = 0; i < steps && at < text_.size(); ++i) {
            ++at;
            while (at < text_.size() && IsSkipped(text_[at])) ++at;
        }
        return at < text_.size() ? text_[at] : u'\0';
    }
    char16_t Take() {
        const char16_t ch = text_[pos_++];
        SkipBlanks();
        return ch;
    }

private:
    void SkipBlanks() {
        while (pos_ < text_.size() && IsSkipped(text_[pos_])) ++pos_;
    }
    std::u16string_view text_;
    std::size_t pos_ = 0;
};

// Takes digits; leading zeros are dropped from the integer part so only significant ones count.
void TakeDigits(NumberCursor& cursor, std::string& out, bool dropLeadingZeros) {
    while (IsDigit(cursor.Peek())) {
        const char digit = static_cast<char>(cursor.Take());
        if (dropLeadingZeros && out.empty() && digit == '0') continue;
        out.push_back(digit);
    }
}

}  // namespace

std::optional<std::int16_t> ReadPortNumber(std::u16string_view text) {
    NumberCursor cursor(text);
    bool negative = false;
    if (cursor.Peek() == u'+' || cursor.Peek() == u'-') negative = cursor.Take() == u'-';

    std::string integerDigits;
    std::string fractionDigits;
    TakeDigits(cursor, integerDigits, true);
    if (cursor.Peek() == u'.') {
        cursor.Take();
        TakeDigits(cursor, fractionDigits, false);
    }

    // The exponent, saturated past where the number of digits in the text could still
    // bring the value back into range, so the decisions below stay exact.
    const long long exponentLimit = static_cast<long long>(text.size()) + 11;
    long long exponent = 0;
    const char16_t expMark = cursor.Peek();
    if (expMark == u'E' || expMark == u'e') {
        const char16_t next = cursor.PeekAfter(1);
        const bool signedExp = next == u'+' || next == u'-';
        if (IsDigit(signedExp ? cursor.PeekAfter(2) : next)) {
            cursor.Take();
            const bool negativeExp = signedExp && cursor.Take() == u'-';
            while (IsDigit(cursor.Peek())) {
                const long long digit = cursor.Take() - u'0';
                if (exponent < exponentLimit) exponent = exponent * 10 + digit;
            }
            if (negativeExp) exponent = -exponent;
        }
    }

    if (integerDigits.empty() && fractionDigits.find_first_not_of('0') == std::string::npos) return 0;

    // Where the first significant digit stands once the exponent is applied: far past 5
    // places cannot fit 16 bits, far below the point rounds to zero. Deciding here keeps
    // huge exponents away from the parser.
    const long long leadingFractionZeros =
        integerDigits.empty() ? static_cast<long long>(fractionDigits.find_first_not_of('0')) : 0;
    const long long magnitude = static_cast<long long>(integerDigits.size()) - leadingFractionZeros + exponent;
    if (magnitude > 10) return std::nullopt;
    if (magnitude < -10) return 0;

    std::string number = integerDigits.empty() ? "0" : integerDigits;
    if (!fractionDigits.empty()) number.append(".").append(fractionDigits);
    number.append("e").append(std::to_string(exponent));
    double value = 0;
    const auto parsed = std::from_chars(number.data(), number.data() + number.size(), value);
    if (parsed.ec != std::errc()) return std::nullopt;

    const double rounded = std::nearbyint(negative ? -value : value);  // ties to even
    if (rounded < std::numeric_limits<std::int16_t>::min() || rounded > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}
