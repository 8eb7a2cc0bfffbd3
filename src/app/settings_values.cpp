#include "app/settings_values.h"

#include <cstdint>
#include <optional>

namespace velbrook {
std::wstring_view Trimmed(std::wstring_view text) {
    const std::size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring_view::npos) return {};
    return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

namespace {

int Digit_Value(wchar_t c, int base) {
    int value = -1;
    if (c >= L'0' && c <= L'9')
        value = c - L'0';
    else if (c >= L'a' && c <= L'f')
        value = c - L'a' + 10;
    else if (c >= L'A' && c <= L'F')
        value = c - L'A' + 10;
    return value < base ? value : -1;
}

// The magnitude of a run of digits, or nothing when a character is not a
// digit of the base or the value passes `limit`.
std::optional<std::int64_t> Magnitude(std::wstring_view digits, int base, std::int64_t limit) {
    if (digits.empty()) return std::nullopt;
    std::int64_t value = 0;
    for (wchar_t c : digits) {
        const int digit = Digit_Value(c, base);
        if (digit < 0) return std::nullopt;
        value = value * base + digit;
        if (value > limit) return std::nullopt;
    }
    return value;
}

}  // namespace

int Parse_Ini_Integer(std::wstring_view text, int default_value) {
    text = Trimmed(text);
    if (text.size() > 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X')) {
        const auto value = Magnitude(text.substr(2), 16, INT32_MAX);
        return value ? static_cast<int>(*value) : default_value;
    }
    const bool negative = !text.empty() && text[0] == L'-';
    if (!text.empty() && (negative || text[0] == L'+')) text.remove_prefix(1);
    const auto value = Magnitude(text, 10, negative ? -static_cast<std::int64_t>(INT32_MIN) : INT32_MAX);
    if (!value) return default_value;
    return static_cast<int>(negative ? -*value : *value);
}

int Parse_Ini_Integer_In(std::wstring_view text, int least, int most, int default_value) {
    const int value = Parse_Ini_Integer(text, default_value);
    return value < least || value > most ? default_value : value;
}

bool Parse_Ini_Bool(std::wstring_view text, bool default_value) {
    return Parse_Ini_Integer(text, default_value ? 1 : 0) != 0;
}

std::wstring Format_Ini_Integer(int value) { return std::to_wstring(value); }

std::wstring Format_Ini_Bool(bool value) { return value ? L"1" : L"0"; }

}  // namespace velbrook
