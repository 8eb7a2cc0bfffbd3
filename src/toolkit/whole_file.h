#pragma once
// Files read and replaced whole, one way for every file the program reads or
// keeps: pictures, list files, the settings file and the PDF.  A read is
// capped and fails with the file's name and the reason; a replace writes a
// temporary file in the target's folder, flushes it and only then moves it
// over the target, so that a failure leaves the old file as it was.

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "toolkit/failure.h"
#include "toolkit/handles.h"
#include "toolkit/system_error.h"

namespace velbrook {

// A file that could not be opened, read or written: the text is what failed
// ("The file "X" cannot be read"), a colon and the reason in the words of
// File_Error_Text.
class File_Failure : public Failure {
public:
    File_Failure(const std::wstring& what, DWORD error)
        : Failure(what + L": " + File_Error_Text(error)), reason_(File_Error_Text(error)), error_(error) {}
    const std::wstring& Reason() const noexcept { return reason_; }
    DWORD Error() const noexcept { return error_; }
    // The file, or its folder, is not there.
    bool Missing() const noexcept { return error_ == ERROR_FILE_NOT_FOUND || error_ == ERROR_PATH_NOT_FOUND; }

private:
    std::wstring reason_;
    DWORD error_;
};

// The file opened for reading in order (others may read and delete it
// meanwhile).  Throws File_Failure ("The file "X" cannot be read: ...").
File_Handle Open_File_For_Reading(const std::wstring& path);

// Up to into.size() bytes of the file at `offset` (fewer at its end, none
// after a failure), whatever the handle's own position.
std::size_t Read_File_At(HANDLE file, std::uint64_t offset, std::span<std::uint8_t> into) noexcept;

// The whole file, when it holds at most `most_bytes`.  Throws File_Failure
// when it cannot be opened or read, or is larger (ERROR_FILE_TOO_LARGE).
std::vector<std::uint8_t> Read_Whole_File(const std::wstring& path, std::uint64_t most_bytes);

// A file made beside its target under a temporary name.  Commit flushes it
// and moves it over the target; without Commit the temporary file goes.
class Replacing_File {
public:
    // Refuses a target that is a folder, read-only or held open by another
    // program before anything is written.  Throws File_Failure.
    explicit Replacing_File(std::wstring target);
    ~Replacing_File();
    Replacing_File(const Replacing_File&) = delete;
    Replacing_File& operator=(const Replacing_File&) = delete;

    void Write(std::span<const std::uint8_t> bytes);
    // Closes the temporary file, for writers that open it by name (the
    // profile functions); Commit opens it again to flush it.
    void Close();
    void Commit();
    const std::wstring& Target() const { return target_; }
    const std::wstring& Temporary_Path() const { return temporary_; }

private:
    [[noreturn]] void Fail(DWORD error) const;
    std::wstring target_;
    std::wstring temporary_;
    File_Handle file_;
    bool committed_ = false;
};

// The file replaced by `bytes`; false, the old file as it was, on any failure.
bool Write_File_Whole(const std::wstring& path, std::span<const std::uint8_t> bytes);
inline bool Write_File_Whole(const std::wstring& path, const std::string& bytes) {
    return Write_File_Whole(path, std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

}  // namespace velbrook
