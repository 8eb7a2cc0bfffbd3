#include "toolkit/whole_file.h"

#include <algorithm>

#include "toolkit/system_error.h"

namespace velbrook {

namespace {

// Each call moves at most this much, so that a DWORD count never wraps.
constexpr std::size_t Chunk_Bytes = 1u << 24;

std::wstring Folder_Of(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash + 1);
}

[[noreturn]] void Throw_Unreadable(const std::wstring& path, DWORD error) {
    throw File_Failure(L"The file \"" + path + L"\" cannot be read", error);
}

}  // namespace

File_Handle Open_File_For_Reading(const std::wstring& path) {
    File_Handle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) Throw_Unreadable(path, ::GetLastError());
    return file;
}

std::size_t Read_File_At(HANDLE file, std::uint64_t offset, std::span<std::uint8_t> into) noexcept {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    const auto wanted = static_cast<DWORD>(std::min(into.size(), Chunk_Bytes));
    DWORD got = 0;
    if (!::ReadFile(file, into.data(), wanted, &got, &at)) return 0;
    return got;
}

std::vector<std::uint8_t> Read_Whole_File(const std::wstring& path, std::uint64_t most_bytes) {
    const File_Handle file = Open_File_For_Reading(path);
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size)) Throw_Unreadable(path, ::GetLastError());
    if (size.QuadPart < 0 || static_cast<std::uint64_t>(size.QuadPart) > most_bytes)
        Throw_Unreadable(path, ERROR_FILE_TOO_LARGE);
    std::vector<std::uint8_t> bytes;
    try {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
        Throw_Unreadable(path, ERROR_NOT_ENOUGH_MEMORY);
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const auto wanted = static_cast<DWORD>(std::min(bytes.size() - done, Chunk_Bytes));
        DWORD got = 0;
        if (!::ReadFile(file.get(), bytes.data() + done, wanted, &got, nullptr))
            Throw_Unreadable(path, ::GetLastError());
        if (got == 0) break;  // the file shrank while being read
        done += got;
    }
    bytes.resize(done);
    return bytes;
}

Replacing_File::Replacing_File(std::wstring target) : target_(std::move(target)) {
    const DWORD attributes = ::GetFileAttributesW(target_.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) Fail(ERROR_DIRECTORY);
        if (attributes & FILE_ATTRIBUTE_READONLY) Fail(ERROR_FILE_READ_ONLY);
        // Another program holding the file would only show at the move, after
        // everything was written: ask now.
        File_Handle probe(
            ::CreateFileW(target_.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!probe) Fail(::GetLastError());
    }
    wchar_t temporary[MAX_PATH + 1] = {};
    if (!::GetTempFileNameW(Folder_Of(target_).c_str(), L"vbk", 0, temporary)) Fail(::GetLastError());
    temporary_ = temporary;
    file_.reset(::CreateFileW(temporary_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file_) {
        const DWORD error = ::GetLastError();
        ::DeleteFileW(temporary_.c_str());
        Fail(error);
    }
}

Replacing_File::~Replacing_File() {
    if (committed_ || temporary_.empty()) return;
    file_.reset();
    ::DeleteFileW(temporary_.c_str());
}

void Replacing_File::Fail(DWORD error) const {
    throw File_Failure(L"The file \"" + target_ + L"\" cannot be written", error);
}

void Replacing_File::Write(std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const auto chunk = static_cast<DWORD>(std::min(bytes.size(), Chunk_Bytes));
        DWORD done = 0;
        if (!::WriteFile(file_.get(), bytes.data(), chunk, &done, nullptr)) Fail(::GetLastError());
        if (done == 0) Fail(ERROR_DISK_FULL);
        bytes = bytes.subspan(done);
    }
}

void Replacing_File::Close() { file_.reset(); }

void Replacing_File::Commit() {
    if (!file_) {
        file_.reset(::CreateFileW(temporary_.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                  nullptr));
        if (!file_) Fail(::GetLastError());
    }
    if (!::FlushFileBuffers(file_.get())) Fail(::GetLastError());
    file_.reset();
    if (!::MoveFileExW(temporary_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        Fail(::GetLastError());
    committed_ = true;
}

bool Write_File_Whole(const std::wstring& path, std::span<const std::uint8_t> bytes) {
    try {
        Replacing_File file(path);
        file.Write(bytes);
        file.Commit();
        return true;
    } catch (const File_Failure&) {
        return false;
    }
}

}  // namespace velbrook
