#pragma once
// Reading a picture file whole.  Every loader works from the bytes in memory,
// so that a file is opened once, for reading only, and any reason it cannot
// be read is reported in one way.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "picture/jpeg_rows.h"
#include "toolkit/handles.h"

namespace velbrook {

// The largest picture file read; a 32-bit process cannot hold much more
// beside the decoded pixels.
inline constexpr std::uint64_t Max_Picture_File_Bytes = 512ull * 1024 * 1024;

// The whole file.  Throws Unreadable_File (naming the file and the reason)
// when it cannot be opened or read, and Failure when it is too large to hold.
std::vector<std::uint8_t> Read_Picture_File(const std::wstring& path);

// The file opened for reading in order (others may read and delete it
// meanwhile).  Throws Unreadable_File as Read_Picture_File does.
File_Handle Open_Picture_File(const std::wstring& path);

// The bytes of an opened file read in order, a piece at a time; a file that
// cannot be read (any more) simply ends.
class File_Source final : public Byte_Source {
public:
    explicit File_Source(File_Handle file) : file_(std::move(file)) {}
    std::size_t Read(std::uint8_t* into, std::size_t size) noexcept override;

private:
    File_Handle file_;
};

}  // namespace velbrook
