#pragma once
// The system's own words for an error code, for the program's messages.

#include <windows.h>

#include <string>

namespace velbrook {

// The system's text for a Win32 error code or an HRESULT, without the line
// break and the full stop it ends in, so that it can stand inside a sentence;
// "system error <code>" when the system has no text for it (an HRESULT's code
// in hexadecimal).
std::wstring System_Error_Text(DWORD code);

}  // namespace velbrook
