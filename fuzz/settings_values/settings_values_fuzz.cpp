// libFuzzer target: any text (the bytes as UTF-16, as the profile functions
// hand it over) as a settings value.  The integer read, alone and within
// the ranges of the layout's fields, is compared with a second reading
// written here from the rule itself, and every value read must survive
// being written and read again.
#include <cstdint>
#include <optional>
#include <string>

#include "../common/fuzz_support.h"
#include "app/settings_values.h"

using velbrook::fuzz::Require;

namespace {

// The rule, read straight: trimmed of spaces and tabs, "0x"/"0X" and at
// least one more character is hexadecimal, else an optional sign and
// decimal digits; the value must fit an int.
std::optional<int> Reference(std::wstring text) {
    while (!text.empty() && (text.back() == L' ' || text.back() == L'\t')) text.pop_back();
    std::size_t first = 0;
    while (first < text.size() && (text[first] == L' ' || text[first] == L'\t')) ++first;
    text.erase(0, first);
    int base = 10;
    bool negative = false;
    if (text.size() > 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X')) {
        base = 16;
        text.erase(0, 2);
    } else if (!text.empty() && (text[0] == L'-' || text[0] == L'+')) {
        negative = text[0] == L'-';
        text.erase(0, 1);
    }
    if (text.empty()) return std::nullopt;
    std::int64_t value = 0;
    for (wchar_t c : text) {
        int digit;
        if (c >= L'0' && c <= L'9')
            digit = c - L'0';
        else if (base == 16 && c >= L'a' && c <= L'f')
            digit = c - L'a' + 10;
        else if (base == 16 && c >= L'A' && c <= L'F')
            digit = c - L'A' + 10;
        else
            return std::nullopt;
        value = value * base + digit;
        if (value > (std::int64_t{1} << 32)) return std::nullopt;
    }
    if (negative) value = -value;
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<int>(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::wstring text;
    for (std::size_t k = 0; k + 1 < size; k += 2) text.push_back(static_cast<wchar_t>(data[k] | data[k + 1] << 8));
    for (int fallback : {0, -7, INT32_MIN}) {
        const int value = velbrook::Parse_Ini_Integer(text, fallback);
        const std::optional<int> expected = Reference(text);
        Require(value == expected.value_or(fallback), "the integer read follows the rule");
        Require(velbrook::Parse_Ini_Integer(velbrook::Format_Ini_Integer(value), fallback + 1) == value,
                "an integer survives a write and a read");
    }
    // The ranges of the layout's fields, and ranges at the ends of an int.
    const int ranges[][2] = {{1, 10}, {0, 500}, {INT32_MIN, -1}, {INT32_MIN, INT32_MAX}, {5, 4}};
    for (const auto& [least, most] : ranges) {
        const int value = velbrook::Parse_Ini_Integer_In(text, least, most, -3);
        const std::optional<int> expected = Reference(text);
        Require(value == (expected && *expected >= least && *expected <= most ? *expected : -3),
                "a value outside its range gives the default");
    }
    for (bool fallback : {false, true}) {
        const bool value = velbrook::Parse_Ini_Bool(text, fallback);
        const std::optional<int> expected = Reference(text);
        Require(value == (expected ? *expected != 0 : fallback), "the boolean read follows the rule");
        Require(velbrook::Parse_Ini_Bool(velbrook::Format_Ini_Bool(value), !fallback) == value,
                "a boolean survives a write and a read");
    }
    return 0;
}
