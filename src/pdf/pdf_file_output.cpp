#include "pdf/pdf_file_output.h"

#include <algorithm>

#include "shell/text_utils.h"
#include "toolkit/failure.h"
#include "toolkit/system_error.h"

namespace velbrook {

std::wstring Write_Failure_Reason(DWORD error) {
    switch (error) {
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return L"there is not enough space on the disk";
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return L"the file is in use by another program";
        case ERROR_ACCESS_DENIED:
            return L"access is denied (the file or its folder may be read-only)";
        case ERROR_WRITE_PROTECT:
            return L"the disk is write-protected";
        case ERROR_PATH_NOT_FOUND:
            return L"the folder does not exist";
        default:
            return System_Error_Text(error);
    }
}

namespace {

[[noreturn]] void Throw_Last_Error() { throw Failure(Write_Failure_Reason(::GetLastError())); }

}  // namespace

Replacing_File_Output::Replacing_File_Output(std::wstring target) : target_(std::move(target)) {
    DWORD attributes = ::GetFileAttributesW(target_.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) throw Failure(L"it is a folder");
        if (attributes & FILE_ATTRIBUTE_READONLY) throw Failure(L"the file is read-only");
        // Another program holding the file would only show at the end, after
        // every page was written: ask now.
        File_Handle probe(
            ::CreateFileW(target_.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!probe) Throw_Last_Error();
    }
    std::wstring folder = Directory_Of(target_);
    wchar_t temporary[MAX_PATH + 1] = {};
    if (!::GetTempFileNameW(folder.empty() ? L"." : folder.c_str(), L"vbk", 0, temporary)) Throw_Last_Error();
    temporary_ = temporary;
    file_.reset(::CreateFileW(temporary_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file_) {
        DWORD error = ::GetLastError();
        ::DeleteFileW(temporary_.c_str());
        throw Failure(Write_Failure_Reason(error));
    }
}

Replacing_File_Output::~Replacing_File_Output() {
    if (committed_) return;
    file_.reset();
    ::DeleteFileW(temporary_.c_str());
}

void Replacing_File_Output::Write(std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 24));
        DWORD done = 0;
        if (!::WriteFile(file_.get(), bytes.data(), chunk, &done, nullptr)) Throw_Last_Error();
        if (done == 0) throw Failure(Write_Failure_Reason(ERROR_DISK_FULL));
        bytes = bytes.subspan(done);
    }
}

void Replacing_File_Output::Commit() {
    if (!::FlushFileBuffers(file_.get())) Throw_Last_Error();
    file_.reset();
    if (!::MoveFileExW(temporary_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        Throw_Last_Error();
    committed_ = true;
}

}  // namespace velbrook
