#include "picture_list/list_file.h"

namespace velbrook {
namespace {

constexpr std::string_view Utf8_Mark = "\xEF\xBB\xBF";

// The position of the next CR or LF from `start`, or the size.  A plain loop:
// find_first_of tests the set byte by byte and costs several times more.
std::size_t Line_End(std::string_view bytes, std::size_t start) {
    const char* p = bytes.data() + start;
    const char* const end = bytes.data() + bytes.size();
    while (p != end && *p != '\r' && *p != '\n') ++p;
    return static_cast<std::size_t>(p - bytes.data());
}

}  // namespace

List_File_Text Parse_List_File(std::string_view bytes) {
    List_File_Text text;
    bytes = bytes.substr(0, bytes.find('\0'));
    if (bytes.starts_with(Utf8_Mark)) {
        text.utf8 = true;
        bytes.remove_prefix(Utf8_Mark.size());
    }
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = Line_End(bytes, start);
        text.lines.emplace_back(bytes.substr(start, end - start));
        if (end == bytes.size()) break;
        start = end + 1;
        if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n') ++start;
    }
    return text;
}

std::string Format_List_File(const std::vector<std::string>& lines, bool utf8) {
    if (lines.empty()) return {};
    // One allocation for the whole file: a list of 100,000 paths is formatted
    // in the time it takes to copy it.
    std::size_t size = utf8 ? Utf8_Mark.size() : 0;
    for (const auto& line : lines) size += line.size() + 2;
    std::string file;
    file.reserve(size);
    if (utf8) file.append(Utf8_Mark);
    for (const auto& line : lines) {
        file.append(line);
        file.append("\r\n");
    }
    return file;
}

bool Is_Utf16_List(std::string_view bytes) { return bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF"); }

std::optional<std::vector<std::u16string>> Parse_Utf16_List_File(std::string_view bytes) {
    if (!Is_Utf16_List(bytes)) return std::nullopt;
    const bool big_endian = bytes[0] == '\xFE';
    bytes.remove_prefix(2);
    if (bytes.size() % 2 != 0) return std::nullopt;
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t at = 0; at < bytes.size(); at += 2) {
        const auto first = static_cast<unsigned char>(bytes[at]), second = static_cast<unsigned char>(bytes[at + 1]);
        const auto unit = static_cast<char16_t>(big_endian ? first << 8 | second : second << 8 | first);
        if (unit == 0) break;
        units.push_back(unit);
    }
    std::vector<std::u16string> lines;
    std::size_t start = 0;
    while (start < units.size()) {
        std::size_t end = start;
        while (end < units.size() && units[end] != u'\r' && units[end] != u'\n') ++end;
        lines.emplace_back(units, start, end - start);
        if (end == units.size()) break;
        start = end + 1;
        if (units[end] == u'\r' && start < units.size() && units[start] == u'\n') ++start;
    }
    return lines;
}

std::string Format_Utf16_List_File(const std::vector<std::u16string>& lines) {
    if (lines.empty()) return {};
    std::string file("\xFF\xFE");
    const auto put = [&](char16_t unit) {
        file.push_back(static_cast<char>(unit & 0xFF));
        file.push_back(static_cast<char>(unit >> 8));
    };
    for (const auto& line : lines) {
        for (char16_t unit : line) put(unit);
        put(u'\r');
        put(u'\n');
    }
    return file;
}

}  // namespace velbrook
