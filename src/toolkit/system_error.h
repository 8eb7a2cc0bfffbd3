#pragma once
// The system's own words for an error code, for the program's messages.

#include <windows.h>

#include <string>

#include "toolkit/failure.h"

namespace velbrook {

// The system's text for a Win32 error code or an HRESULT, without the line
// break and the full stop it ends in, so that it can stand inside a sentence;
// "system error <code>" when the system has no text for it (an HRESULT's code
// in hexadecimal).
std::wstring System_Error_Text(DWORD code);

// Why a file could not be opened, read or written, in words that follow a
// colon ("it is in use by another program"); the system's words for the
// codes this has none of its own for.
std::wstring File_Error_Text(DWORD error);

// Throws E with the text and the system's words for the code, when the call
// failed.
template <class E = Failure>
void Throw_If_Failed(HRESULT result, const std::wstring& text) {
    if (FAILED(result)) throw E(text + L": " + System_Error_Text(static_cast<DWORD>(result)));
}

}  // namespace velbrook
