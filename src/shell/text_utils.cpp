#include "shell/text_utils.h"

#include <cstdint>

#include "toolkit/failure.h"

namespace velbrook {
namespace {

std::wstring Replace_Each_Once(std::wstring_view text, std::wstring_view old_text, std::wstring_view new_text) {
    std::wstring result;
    std::size_t from = 0;
    for (std::size_t found; (found = text.find(old_text, from)) != std::wstring_view::npos;
         from = found + old_text.size()) {
        result.append(text.substr(from, found - from));
        result.append(new_text);
    }
    result.append(text.substr(from));
    return result;
}

std::wstring_view File_Name_Part(std::wstring_view path, const wchar_t* separators) {
    const std::size_t separator = path.find_last_of(separators);
    return separator == std::wstring_view::npos ? path : path.substr(separator + 1);
}

[[noreturn]] void Not_An_Integer(std::wstring_view text) {
    throw Conversion_Error(L"'" + std::wstring(text) + L"' is not a valid integer value");
}

}  // namespace

std::wstring Replace_All(std::wstring_view text, std::wstring_view old_text, std::wstring_view new_text) {
    if (text.empty() || old_text.empty()) return std::wstring(text);
    if (new_text.size() >= old_text.size()) return Replace_Each_Once(text, old_text, new_text);
    std::wstring result(text);
    std::size_t from = 0;
    for (std::size_t found; (found = result.find(old_text, from)) != std::wstring::npos;) {
        result.replace(found, old_text.size(), new_text);
        // Nothing before `found` matched, so a new occurrence must reach into
        // the replacement or past it: no need to search from the very start.
        from = found >= old_text.size() - 1 ? found - (old_text.size() - 1) : 0;
    }
    return result;
}

std::wstring Program_Base_Name(std::wstring_view path) {
    const std::wstring_view name = File_Name_Part(path, L"\\:");
    const std::size_t dot = name.rfind(L'.');
    if (dot == std::wstring_view::npos) return std::wstring(name);
    return Replace_All(name, name.substr(dot), L"");
}

std::wstring Readme_File_Name(std::wstring_view program_file_name) {
    const std::wstring name = File_Name_Of(program_file_name);
    return name.substr(0, name.find(L'.')) + L".txt";
}

std::wstring File_Name_Of(std::wstring_view path) { return std::wstring(File_Name_Part(path, L"\\/:")); }

std::wstring File_Extension(std::wstring_view path) {
    const std::size_t dot = path.rfind(L'.');
    if (dot == std::wstring_view::npos) return {};
    const std::size_t separator = path.find_last_of(L"\\/:");
    if (separator != std::wstring_view::npos && separator > dot) return {};
    return std::wstring(path.substr(dot));
}

std::wstring Lower_Ascii(std::wstring_view text) {
    std::wstring lower(text);
    for (wchar_t& c : lower) {
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return lower;
}

std::wstring Directory_Of(std::wstring_view path) {
    const std::size_t separator = path.find_last_of(L"\\/:");
    if (separator == std::wstring_view::npos) return {};
    return std::wstring(path.substr(0, separator + 1));
}

int Digits_To_Integer(std::wstring_view text) {
    std::wstring kept;
    for (wchar_t c : text) {
        const bool sign = c == L'+' || c == L'-';
        if ((c >= L'0' && c <= L'9') || (sign && kept.empty())) kept.push_back(c);
    }
    if (kept.empty()) return 0;
    const bool negative = kept[0] == L'-';
    const std::size_t first_digit = (kept[0] == L'+' || negative) ? 1 : 0;
    if (first_digit == kept.size()) Not_An_Integer(kept);
    // Accumulate as a magnitude, so that the int's most negative value reads.
    const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
    std::int64_t magnitude = 0;
    for (std::size_t i = first_digit; i < kept.size(); ++i) {
        magnitude = magnitude * 10 + (kept[i] - L'0');
        if (magnitude > limit) Not_An_Integer(kept);
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}

int Field_As_Integer(std::wstring_view text, std::wstring_view delimiter, int n) {
    if (delimiter.empty()) return Digits_To_Integer(text);
    for (int i = 1; i < n; ++i) {
        const std::size_t found = text.find(delimiter);
        if (found == std::wstring_view::npos) break;
        text.remove_prefix(found + delimiter.size());
    }
    return Digits_To_Integer(text.substr(0, text.find(delimiter)));
}

}  // namespace velbrook
