#pragma once
// Shortcuts to the program in the user's shell folders (the desktop, the
// Start menu, its Programs folder and SendTo), found through the per-user
// "Shell Folders" key that the shell keeps, and their removal.
//
// The program path and the root of the Shell Folders key are parameters: the
// main window passes the running module's path and HKEY_CURRENT_USER.

#include <windows.h>

#include <string>

#include "toolkit/dialogs.h"

namespace velbrook {

// The Shell Folders key, from the root.
extern const wchar_t Shell_Folders_Key_Path[];

// Writes a shell link to `target` named after the target's file with ".lnk",
// into the folder that the Shell Folders value `value_name` ("Desktop",
// "Start Menu" or "SendTo") names, or into its `sub_folder` when that is not
// empty.  An unknown name or a missing value is reported; a save that fails
// is silent.  The link object failing to appear throws Failure.
void Create_Shortcut(Dialogs& dialogs, const std::wstring& target, const std::wstring& value_name,
                     const std::wstring& sub_folder, HKEY root = HKEY_CURRENT_USER);

// Deletes the program's link from the folder of `value_name` (never from a
// sub-folder); true when the link was there and is gone.  A link held open
// elsewhere stays and counts as not found.
bool Delete_Shortcut(const std::wstring& value_name, const std::wstring& program_path, HKEY root = HKEY_CURRENT_USER);

// Deletes the links from the desktop, the Start menu and SendTo (not the
// Programs folder) and tells the user whether any was there.
void Delete_All_Shortcuts(Dialogs& dialogs, const std::wstring& target, HKEY root = HKEY_CURRENT_USER);

// The five File menu commands.
void Create_Shortcut_on_Desktop_OptionClick(Dialogs& dialogs, const std::wstring& program_path,
                                            HKEY root = HKEY_CURRENT_USER);
void Create_Shortcut_on_Start_Menu_OptionClick(Dialogs& dialogs, const std::wstring& program_path,
                                               HKEY root = HKEY_CURRENT_USER);
void Create_Shortcut_on_Start_Programs_Menu_OptionClick(Dialogs& dialogs, const std::wstring& program_path,
                                                        HKEY root = HKEY_CURRENT_USER);
void Create_Shortcut_on_SendTo_Menu_OptionClick(Dialogs& dialogs, const std::wstring& program_path,
                                                HKEY root = HKEY_CURRENT_USER);
void Delete_All_Shortcuts_OptionClick(Dialogs& dialogs, const std::wstring& program_path,
                                      HKEY root = HKEY_CURRENT_USER);

}  // namespace velbrook
