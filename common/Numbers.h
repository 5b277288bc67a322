#pragma once

#include <charconv>
#include <concepts>
#include <string_view>
#include <type_traits>

namespace qbv {

// A whole number as scripts and settings write it: decimal, or hexadecimal after 0x (leading zeros are
// decimal, never octal). False for anything else, signs and blanks included, and for values above maximum.
template <std::unsigned_integral Number>
bool parseNumber(std::string_view text, std::type_identity_t<Number> maximum, Number& value) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string_view digits = text.substr(hex ? 2 : 0);
    if (digits.empty() || digits.front() == '+' || digits.front() == '-')
        return false;
    Number parsed = 0;
    const auto [end, failure] =
        std::from_chars(digits.data(), digits.data() + digits.size(), parsed, hex ? 16 : 10);
    if (failure != std::errc() || end != digits.data() + digits.size() || parsed > maximum)
        return false;
    value = parsed;
    return true;
}

} // namespace qbv
