#pragma once
// Drops as the shell builds them: a DROPFILES block of names, each ended by a
// zero, the whole list by another, in a movable global block.

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "drop_bytes.h"

namespace velbrook::testing {

static_assert(sizeof(DROPFILES) == velbrook::test::Drop_Names_Offset);

template <typename Char>
HDROP Make_Drop_Of(const std::vector<std::basic_string<Char>>& names) {
    const std::vector<std::uint8_t> bytes = velbrook::test::Drop_Block_Bytes(names);
    HGLOBAL block = ::GlobalAlloc(GHND, bytes.size());
    std::memcpy(::GlobalLock(block), bytes.data(), bytes.size());
    ::GlobalUnlock(block);
    return static_cast<HDROP>(block);
}

// Wide names, as the shell sends them today.
inline HDROP Make_Drop(const std::vector<std::wstring>& names) { return Make_Drop_Of(names); }
// ANSI names, as an older program builds the block.
inline HDROP Make_Ansi_Drop(const std::vector<std::string>& names) { return Make_Drop_Of(names); }

}  // namespace velbrook::testing
