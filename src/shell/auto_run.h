#pragma once
// Running the program at Windows start-up through a value under the
// machine-wide Run key, named after the program file and holding its path.
//
// The program path is a parameter (the main window passes the running
// module's path; tests pass others), and so is the root under which the Run
// key is looked for (HKEY_LOCAL_MACHINE in the program).

#include <windows.h>

#include <string>

#include "toolkit/dialogs.h"

namespace velbrook {

// The Run key, from the root.
extern const wchar_t Run_Key_Path[];

// The data written for a program path: the path itself, in double quotes when
// it holds a space, so that Windows cannot take "C:\Program" for the program.
std::wstring Run_Entry_For(const std::wstring& program_path);

// True when the Run entry was written and confirmed to the user.
bool Auto_Run_On(Dialogs& dialogs, const std::wstring& program_path, HKEY root = HKEY_LOCAL_MACHINE);

// True when the Run entry is gone (also when there was none).
bool Auto_Run_Off(Dialogs& dialogs, const std::wstring& program_path, HKEY root = HKEY_LOCAL_MACHINE);

// True when a Run entry exists for the program, whether or not it names the
// path the program runs from; when it names another path, the user is asked
// whether to rewrite it.  The result is what the menu check mark shows after
// start-up.
bool Check_Auto_Run_Location(Dialogs& dialogs, const std::wstring& program_path, HKEY root = HKEY_LOCAL_MACHINE);

// The menu command: turns auto-run off when `checked`, on otherwise, and
// returns the check mark it leaves (unchanged when the command failed).
bool Auto_Run_at_Windows_Startup_OptionClick(Dialogs& dialogs, bool checked, const std::wstring& program_path,
                                             HKEY root = HKEY_LOCAL_MACHINE);

}  // namespace velbrook
