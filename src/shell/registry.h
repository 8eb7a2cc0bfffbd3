#pragma once
// The three routines through which every registry access of the shell
// integration goes.  Writing and deleting check their own effect and tell the
// user in a fixed message when it did not happen; reading never tells anyone
// anything.  None of them ever creates a key.
//
// A failure of the registry layer itself (the system refusing to store data
// in a key it has opened, or a value of another type where a string is read)
// is not a result: it is thrown as Failure and ends the command.

#include <windows.h>

#include <string>

#include "toolkit/dialogs.h"

namespace velbrook {

// True when the value now holds exactly `data`.
bool Write_Registry_Value(Dialogs& dialogs, HKEY root, const std::wstring& key, const std::wstring& name,
                          const std::wstring& data);

// True when the value no longer exists (also when it never did).
bool Delete_Registry_Value(Dialogs& dialogs, HKEY root, const std::wstring& key, const std::wstring& name);

// The stored string up to its first zero; empty when the key or the value is
// missing.
std::wstring Read_Registry_Value(HKEY root, const std::wstring& key, const std::wstring& name);

}  // namespace velbrook
