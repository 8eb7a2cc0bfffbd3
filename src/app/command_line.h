#pragma once
// The program's command line as words: the file names the window opens
// with, or a command that saves the pictures as a PDF or prints them and
// ends without a window.  The words, the rules and the lines written back;
// portable.

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace velbrook {

enum class Command_Kind {
    Window,  // no switch: the names arrive in the window as a drop
    Pdf,     // /pdf OUT.pdf
    Print,   // /print [/printer NAME]
    Help,    // /?
};

// Where pictures come from, in the order the command line gives them: a file
// name, which may hold wildcards in its last part, or a list file.
struct Picture_Source {
    bool list = false;
    std::wstring path;
    friend bool operator==(const Picture_Source&, const Picture_Source&) = default;
};

struct Command_Line {
    Command_Kind kind = Command_Kind::Window;
    std::wstring pdf_target;  // the file /pdf writes
    std::wstring printer;     // /printer's name; empty: the default printer
    std::vector<Picture_Source> sources;
};

// A command line the program does not understand: what is wrong, in one line.
struct Command_Line_Error {
    std::wstring text;
};

// The words after the program's own name.  A word that begins with "/" is a
// switch, in any letter case; every other word names pictures.
std::variant<Command_Line, Command_Line_Error> Parse_Command_Line(const std::vector<std::wstring>& words);

// How the command line goes, on one line.
std::wstring Usage_Line(std::wstring_view program_name);

// What a command that saves or prints ends with.
inline constexpr int Exit_All_Pictures = 0;     // every picture went in
inline constexpr int Exit_Some_Skipped = 1;     // some were skipped
inline constexpr int Exit_Nothing_Done = 2;     // nothing was written or printed
inline constexpr int Exit_Not_Understood = 64;  // the command line was not understood

// `done`: the file was written or the job went to the printer.
int Exit_Code_For(bool done, int pictures_in, int skipped);

// True when the last part of the path holds "*" or "?".
bool Has_Wildcards(std::wstring_view path);

// The last line of a command: "3 of 4 pictures saved in 1.2 seconds."
std::wstring Summary_Line(Command_Kind kind, int pictures_in, int pictures, double seconds);

// A picture left out, in words that name it and say why.
std::wstring Skipped_Line(std::wstring_view reason);

}  // namespace velbrook
