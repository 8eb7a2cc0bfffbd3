#pragma once
// The file list file commands: Save File List, Save File List As and Load
// File List, and the routines that write and read the file.

#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/whole_file.h"

#include "picture_list/list_window.h"

namespace velbrook {

extern const wchar_t List_File_Filter[];

// The file's entries, or nothing when the file exists but cannot be read.
// A missing file gives an empty list.
std::optional<std::vector<std::wstring>> Read_List_File(const std::wstring& path);

// The bytes of a file list file for these entries: the ANSI code page when it
// holds every entry exactly, UTF-8 with a byte-order mark otherwise.
std::string Encode_List_File(const std::vector<std::wstring>& entries);

// Clears the list and fills it from the file (empty when the file does not
// exist).  When the file exists but cannot be read, says so in a box and
// leaves the list alone; returns false then.
bool Load_Entries_From_File(List_Window& window, const std::wstring& path);

// 0 on success; -1 after the save-failure box.
int Save_Entries_To_File(List_Window& window, const std::wstring& path);
std::wstring Save_Failure_Text(const std::wstring& path);

void Save_File_List_OptionClick(List_Window& window);
void Save_File_List_As_OptionClick(List_Window& window);
void Load_File_List_OptionClick(List_Window& window);

// Shared by Load File List and the first-show load of the last list: the
// loaded-from text, the preview of the first entry, the flag cleared.  A
// preview that fails (its picture held open by another program) stops none
// of it: the failure comes back for the caller to report where it suits, as
// a click on the entry reports it.
[[nodiscard]] std::exception_ptr Show_Loaded_List(List_Window& window, const std::wstring& path);

}  // namespace velbrook
