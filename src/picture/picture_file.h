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

// The bytes of an opened file read in order, a piece at a time; a file that
// cannot be read (any more) simply ends.
class File_Source final : public Byte_Source {
public:
    explicit File_Source(File_Handle file) : file_(std::move(file)) {}
    std::size_t Read(std::uint8_t* into, std::size_t size) noexcept override {
        if (!file_) return 0;
        const std::size_t got = Read_File_At(file_.get(), at_, {into, size});
        at_ += got;
        return got;
    }

private:
    File_Handle file_;
    std::uint64_t at_ = 0;
};

}  // namespace velbrook
