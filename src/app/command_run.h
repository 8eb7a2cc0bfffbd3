#pragma once
// A command line that saves the pictures as a PDF or prints them, run
// without a window: the pictures it names are gathered as a drop and a
// loaded list take them, then File > "Save Pictures as PDF File..." or the
// print run does the work, told by a host that has no window and writes
// what happens as lines: one a picture skipped, and a last one with the
// count and the time.  The settings file is read for the options and the
// layout, never written; the list files are only read.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "printing/print_run.h"
#include "printing/printer.h"
#include "toolkit/handles.h"

namespace velbrook {

struct Command_Environment {
    std::wstring program_path;                    // the settings file is read beside it
    std::wstring user_settings_folder;            // or here, as Choose_Settings_Path decides
    std::wstring program_name = L"velbrook.exe";  // as the usage line names it
    // One line of output: `error` for a picture skipped, a failure or the usage.
    std::function<void(const std::wstring& line, bool error)> write_line;
    std::function<std::optional<Printer_Selection>()> default_printer = Default_Printer_Selection;
    std::function<std::unique_ptr<Printer>(const Printer_Selection&)> open_printer = Open_Gdi_Printer;
    std::function<std::int64_t()> clock_ms = Print_Environment::Monotonic_Milliseconds;
    std::wstring fonts_folder;  // empty: the system's Fonts folder
};

// The exit code of a command line that saves, prints or asks how it goes;
// nothing for one that opens the window (plain file names, or none), which
// has written nothing then.
std::optional<int> Run_Command_Line(const std::vector<std::wstring>& words, const Command_Environment& environment);

// The pictures of the command line, in its order: file names as a drop takes
// them (existing, of a type the drop accepts, not taken yet), wildcards
// expanded in name order, and the entries of each list file as a load gives
// them.  Every name that gives no picture is told to `skipped` with the reason.
std::vector<std::wstring> Gather_Pictures(const std::vector<Picture_Source>& sources, bool more_types,
                                          const std::function<void(const std::wstring& reason)>& skipped);

// Where the lines go: the standard output and error a redirection or a pipe
// gave the program (written as UTF-8), else the console of the process that
// started it, else nowhere.
class Console_Output {
public:
    Console_Output();
    Console_Output(const Console_Output&) = delete;
    Console_Output& operator=(const Console_Output&) = delete;
    void Write_Line(const std::wstring& line, bool error);

private:
    HANDLE out_ = nullptr, error_ = nullptr;
    File_Handle console_;
};

// The words of the program's own command line, its name left out.
std::vector<std::wstring> Command_Line_Words();

}  // namespace velbrook
