#pragma once
// Reading a picture file whole.  Every loader works from the bytes in memory,
// so that a file is opened once, for reading only, and any reason it cannot
// be read is reported in one way.

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/handles.h"
#include "toolkit/whole_file.h"

namespace velbrook {

// The largest picture file read whole; a 32-bit process cannot hold much
// more beside the decoded pixels.  A larger one is unreadable, and skipped
// as any picture that cannot be read.
inline constexpr std::uint64_t Max_Picture_File_Bytes = 512ull * 1024 * 1024;

// The whole file.  Throws Unreadable_File (naming the file and the reason)
// when it cannot be opened or read, or is too large to hold.
inline std::vector<std::uint8_t> Read_Picture_File(const std::wstring& path) {
    return Read_Whole_File(path, Max_Picture_File_Bytes);
}

// The file opened for reading in order.  Throws Unreadable_File.
inline File_Handle Open_Picture_File(const std::wstring& path) { return Open_File_For_Reading(path); }

}  // namespace velbrook
