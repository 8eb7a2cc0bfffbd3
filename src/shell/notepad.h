#pragma once
// The Help menu's text files, shown in Windows Notepad.

#include <functional>
#include <string>

#include "toolkit/dialogs.h"

namespace velbrook {

inline constexpr wchar_t Notepad_Missing_Text[] = L"Windows Notepad could not be found.";

// Starts a program from a full command line; the outcome is not looked at.
using Process_Launcher = std::function<void(const std::wstring& command_line)>;
void Start_Process(const std::wstring& command_line);

std::wstring Windows_Directory();

// "Notepad.exe" and the file's path in double quotes, so that a path with
// spaces reaches Notepad whole; built to any length.
std::wstring Notepad_Command_Line(const std::wstring& file);

// Shows the file in Notepad, or says that Notepad is missing from the
// Windows folder.
void View_In_Notepad(Dialogs& dialogs, const std::wstring& windows_dir, const std::wstring& file,
                     const Process_Launcher& launch = Start_Process);

// Help > View Readme file: the program's name up to its first dot, plus
// ".txt", from the program's folder.
void View_Readme_file_OptionClick(Dialogs& dialogs, const std::wstring& program_path,
                                  const Process_Launcher& launch = Start_Process);

// Help > View Shareware Catalog: "catalog.txt" from the program's folder.
void View_Shareware_Catalog_OptionClick(Dialogs& dialogs, const std::wstring& program_path,
                                        const Process_Launcher& launch = Start_Process);
std::wstring Catalog_Missing_Text();

}  // namespace velbrook
