#pragma once
// The file list file at byte level: one entry per line.  Lines stay bytes
// (the ANSI code page, or UTF-8 when the file starts with its byte-order
// mark); the Windows side turns them into text.

#include <string>
#include <string_view>
#include <vector>

namespace velbrook {

struct List_File_Text {
    bool utf8 = false;  // the file began with the UTF-8 byte-order mark
    std::vector<std::string> lines;
};

// Reading stops at the first zero byte.  A line ends at CR, LF or CR LF; text
// after the last line end is one more entry, a line end at the very end adds
// none, and empty lines are empty entries.
List_File_Text Parse_List_File(std::string_view bytes);

// Every line followed by CR LF; with utf8, the byte-order mark first.  An
// empty list is 0 bytes either way: a lone mark would hold nothing.
std::string Format_List_File(const std::vector<std::string>& lines, bool utf8);

}  // namespace velbrook
