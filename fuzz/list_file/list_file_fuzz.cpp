// libFuzzer target: any bytes as a file list file, as bytes and, where they
// start with its mark, as UTF-16.  The entries never hold a line end or a
// zero, together they are no longer than the file, and writing them and
// reading them back gives the same entries.
#include <string>
#include <string_view>

#include "../common/fuzz_support.h"
#include "picture_list/list_file.h"

using velbrook::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const velbrook::List_File_Text text = velbrook::Parse_List_File(bytes);
    const std::string_view read = bytes.substr(0, bytes.find('\0'));
    Require(text.utf8 == read.starts_with("\xEF\xBB\xBF"), "the mark is seen before the first zero byte only");
    std::size_t held = 0;
    for (const std::string& line : text.lines) {
        Require(line.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos, "no line end in an entry");
        held += line.size();
    }
    Require(held + text.lines.size() <= read.size() + 1, "entries come from the file");
    const std::string written = velbrook::Format_List_File(text.lines, text.utf8);
    const velbrook::List_File_Text again = velbrook::Parse_List_File(written);
    Require(again.lines == text.lines, "the entries survive a save and a load");
    Require(again.utf8 == (text.utf8 && !text.lines.empty()), "the mark survives with any entry");
    // The same bytes as a list in UTF-16.
    const bool utf16 = velbrook::Is_Utf16_List(bytes);
    Require(utf16 == (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")), "UTF-16 by its mark");
    const auto units = velbrook::Parse_Utf16_List_File(bytes);
    if (!utf16 || !units) return 0;
    std::size_t units_held = 0;
    for (const std::u16string& line : *units) {
        Require(line.find_first_of(std::u16string_view(u"\r\n\0", 3)) == std::u16string::npos,
                "no line end in an entry");
        units_held += line.size();
    }
    Require(2 * (units_held + units->size()) <= size, "entries come from the file");
    const std::string units_written = velbrook::Format_Utf16_List_File(*units);
    // An empty list is written as no bytes at all, which read as bytes again.
    if (units->empty()) {
        Require(units_written.empty(), "an empty list is no bytes");
        return 0;
    }
    const auto units_again = velbrook::Parse_Utf16_List_File(units_written);
    Require(units_again && *units_again == *units, "the entries survive a save and a load in UTF-16");
    return 0;
}
