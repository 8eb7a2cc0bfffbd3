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

}  // namespace velbrook
