#pragma once
// The file list file at byte level: one entry per line.  Lines stay bytes
// (the ANSI code page, or UTF-8 when the file starts with its byte-order
// mark); the Windows side turns them into text.

#include <optional>
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

// A list written in UTF-16 with its byte-order mark (Notepad's "Unicode"),
// little- or big-endian: the mark leads the bytes.
bool Is_Utf16_List(std::string_view bytes);
// Its lines as UTF-16 code units, by the rules of Parse_List_File (a zero
// unit ends the text); a lone surrogate stays as it is, so that a name NTFS
// allows comes back whole.  Nothing when the bytes after the mark do not
// make whole units: the file is damaged.
std::optional<std::vector<std::u16string>> Parse_Utf16_List_File(std::string_view bytes);
// Little-endian, the mark first, every line followed by CR LF; an empty list
// is 0 bytes.
std::string Format_Utf16_List_File(const std::vector<std::u16string>& lines);

}  // namespace velbrook
