#pragma once
// Drops as the shell builds them: a DROPFILES block of names, each ended by a
// zero, the whole list by another, in a movable global block.

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace velbrook::testing {

template <typename Char>
HDROP Make_Drop_Of(const std::vector<std::basic_string<Char>>& names) {
    size_t characters = 1;
    for (const auto& name : names) characters += name.size() + 1;
    HGLOBAL block = ::GlobalAlloc(GHND, sizeof(DROPFILES) + characters * sizeof(Char));
    auto* header = static_cast<DROPFILES*>(::GlobalLock(block));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = sizeof(Char) == sizeof(wchar_t);
    auto* text = reinterpret_cast<Char*>(header + 1);
    for (const auto& name : names) {
        name.copy(text, name.size());
        text += name.size() + 1;
    }
    ::GlobalUnlock(block);
    return static_cast<HDROP>(block);
}

// Wide names, as the shell sends them today.
inline HDROP Make_Drop(const std::vector<std::wstring>& names) { return Make_Drop_Of(names); }
// ANSI names, as an older program builds the block.
inline HDROP Make_Ansi_Drop(const std::vector<std::string>& names) { return Make_Drop_Of(names); }

}  // namespace velbrook::testing
