#include "app/layout_fields.h"

#include "app/settings_values.h"

namespace velbrook {

namespace {

bool Is_Digit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Digits alone, short enough that no range check can overflow.
std::optional<int> Digits_Value(std::wstring_view digits) {
    if (digits.empty() || digits.size() > 6) return std::nullopt;
    int value = 0;
    for (wchar_t c : digits) {
        if (!Is_Digit(c)) return std::nullopt;
        value = value * 10 + (c - L'0');
    }
    return value;
}

std::optional<int> Tenths_Value(std::wstring_view text) {
    const std::size_t mark = text.find_first_of(L".,");
    if (mark == std::wstring_view::npos) {
        const std::optional<int> whole = Digits_Value(text);
        if (!whole) return std::nullopt;
        return *whole * 10;
    }
    const std::wstring_view whole = text.substr(0, mark), decimal = text.substr(mark + 1);
    if (decimal.size() > 1 || (whole.empty() && decimal.empty())) return std::nullopt;
    if (!decimal.empty() && !Is_Digit(decimal[0])) return std::nullopt;
    const std::optional<int> units = whole.empty() ? std::optional<int>(0) : Digits_Value(whole);
    if (!units) return std::nullopt;
    return *units * 10 + (decimal.empty() ? 0 : decimal[0] - L'0');
}

std::wstring Tenths_Text(int tenths) {
    std::wstring text = std::to_wstring(tenths / 10);
    if (tenths % 10 != 0) text += L"." + std::to_wstring(tenths % 10);
    return text;
}

}  // namespace

std::optional<int> Read_Field(const Layout_Field& field, std::wstring_view text) {
    text = Trimmed(text);
    const std::optional<int> value = field.millimetres ? Tenths_Value(text) : Digits_Value(text);
    if (!value || *value < field.least || *value > field.most) return std::nullopt;
    return value;
}

std::wstring Field_Text(const Layout_Field& field, int value) {
    return field.millimetres ? Tenths_Text(value) : std::to_wstring(value);
}

std::wstring Refusal_Text(const Layout_Field& field) {
    const std::wstring name(field.name);
    if (!field.millimetres)
        return name + L" must be a whole number from " + std::to_wstring(field.least) + L" to " +
               std::to_wstring(field.most) + L".";
    return name + L" must be a number of millimetres from " + Tenths_Text(field.least) + L" to " +
           Tenths_Text(field.most) + L", with at most one decimal.";
}

}  // namespace velbrook
