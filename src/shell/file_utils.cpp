#include "shell/file_utils.h"

#include <windows.h>
#include <shellapi.h>

#include <cmath>
#include <vector>

#include "shell/text_utils.h"
#include "toolkit/handles.h"

namespace velbrook {

namespace {

// No "insert a disk" box from the system while a probe touches a drive.
class Critical_Errors_Quiet {
public:
    Critical_Errors_Quiet() : previous_(::SetErrorMode(SEM_FAILCRITICALERRORS)) {}
    ~Critical_Errors_Quiet() { ::SetErrorMode(previous_); }
    Critical_Errors_Quiet(const Critical_Errors_Quiet&) = delete;
    Critical_Errors_Quiet& operator=(const Critical_Errors_Quiet&) = delete;

private:
    UINT previous_;
};

const wchar_t* State_Of_Open_Error(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_NOT_READY:
        case ERROR_NOT_DOS_DISK:
        case ERROR_SECTOR_NOT_FOUND:
            return File_Not_Found;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return File_Held_Open;
        default:
            return File_Probe_Error;
    }
}

constexpr DWORD Settable_Attributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

}  // namespace

bool File_Exists(const std::wstring& path) {
    if (path.empty()) return false;
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring File_Open_State(const std::wstring& path) {
    if (path.empty()) return {};
    if (path.size() > Longest_Probed_Path) return File_Closed;
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return {};
    // The system refuses write access to a read-only file, but not every file
    // system behind it enforces that for every user: answer as it would.
    if (attributes & FILE_ATTRIBUTE_READONLY) return State_Of_Open_Error(ERROR_ACCESS_DENIED);
    Critical_Errors_Quiet quiet;
    // Read and write access with no sharing at all: the open succeeds only
    // when nobody else has the file open, whatever they opened it for.
    File_Handle file(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return State_Of_Open_Error(::GetLastError());
    return File_Closed;
}

bool Set_File_Attributes(const std::wstring& path, File_Attributes attributes) {
    if (!File_Exists(path)) return false;
    const DWORD wanted = static_cast<DWORD>(attributes) & Settable_Attributes;
    // Attributes outside the four (compressed, not indexed...) are kept.
    DWORD present = ::GetFileAttributesW(path.c_str());
    DWORD word = (present & ~Settable_Attributes & ~FILE_ATTRIBUTE_NORMAL) | wanted;
    ::SetFileAttributesW(path.c_str(), word ? word : FILE_ATTRIBUTE_NORMAL);
    DWORD read_back = ::GetFileAttributesW(path.c_str());
    // A file without any attribute reads back as "normal": compare the four only.
    return read_back != INVALID_FILE_ATTRIBUTES && (read_back & Settable_Attributes) == wanted;
}

bool Delete_File_Safely(const std::wstring& path) {
    if (!File_Exists(path)) return false;
    Set_File_Attributes(path, File_Attributes::None);
    if (File_Open_State(path) != File_Closed) return false;
    ::DeleteFileW(path.c_str());
    return !File_Exists(path);
}

void Shell_Open(const std::wstring& target, HWND owner) {
    if (target.empty()) return;
    ::ShellExecuteW(owner, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

std::wstring Memory_Percent_Text(std::uint64_t available_physical, std::uint64_t available_page_file,
                                 std::uint64_t total_physical, std::uint64_t total_page_file) {
    double free_kb = static_cast<double>(available_physical / 1024) + static_cast<double>(available_page_file) / 1024.0;
    double total_kb = static_cast<double>(total_physical / 1024) + static_cast<double>(total_page_file) / 1024.0;
    long percent = total_kb > 0 ? std::lround(free_kb / total_kb * 100.0) : 0;
    return std::to_wstring(percent) + L"%";
}

std::wstring Free_Memory_Percent() {
    // The extended status: the old call saturates every figure at 4 GB.
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!::GlobalMemoryStatusEx(&status)) return L"0%";
    return Memory_Percent_Text(status.ullAvailPhys, status.ullAvailPageFile, status.ullTotalPhys,
                               status.ullTotalPageFile);
}

std::wstring Program_Path() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring Program_Folder(const std::wstring& program_path) { return Directory_Of(program_path); }

}  // namespace velbrook
