#pragma once
// Small file and shell routines shared by the settings file, the shortcuts and
// the About window.  Each call stands alone and keeps nothing between calls.

#include <windows.h>

#include <cstdint>
#include <string>

namespace velbrook {

// Results of File_Open_State; callers compare them exactly.
inline constexpr wchar_t File_Closed[] = L"CLOSED";
inline constexpr wchar_t File_Not_Found[] = L"NOT FOUND";
inline constexpr wchar_t File_Held_Open[] = L"OPEN";
inline constexpr wchar_t File_Probe_Error[] = L"ERROR";

// Paths this long or longer are reported closed without being probed.
inline constexpr std::size_t Longest_Probed_Path = 127;

// True when a file (not a folder) exists at the path.
bool File_Exists(const std::wstring& path);

// Whether another program holds the file: "" (no path, no file), "CLOSED",
// "NOT FOUND", "OPEN" or "ERROR".
std::wstring File_Open_State(const std::wstring& path);

// The four attributes a file can be given, as flags that combine with |.
enum class File_Attributes : DWORD {
    None = 0,
    Read_Only = FILE_ATTRIBUTE_READONLY,
    Hidden = FILE_ATTRIBUTE_HIDDEN,
    System = FILE_ATTRIBUTE_SYSTEM,
    Archive = FILE_ATTRIBUTE_ARCHIVE,
};
constexpr File_Attributes operator|(File_Attributes a, File_Attributes b) {
    return static_cast<File_Attributes>(static_cast<DWORD>(a) | static_cast<DWORD>(b));
}

// Sets exactly the attributes given, and clears the other three; true when
// they read back as set.
bool Set_File_Attributes(const std::wstring& path, File_Attributes attributes);

// Deletes a file unless another program holds it open, whatever its
// attributes; true when the file existed and is gone.
bool Delete_File_Safely(const std::wstring& path);

// Hands a file, web address or "mailto:" link to the shell's "open" verb;
// a box the shell shows belongs to `owner`.
void Shell_Open(const std::wstring& target, HWND owner);

// Free physical memory and page file as a share of their total, e.g. "57%".
std::wstring Free_Memory_Percent();
// The same figure from the four byte counts.
std::wstring Memory_Percent_Text(std::uint64_t available_physical, std::uint64_t available_page_file,
                                 std::uint64_t total_physical, std::uint64_t total_page_file);

// The running program's full path, of any length.
std::wstring Program_Path();
// The folder of a program path, with its trailing backslash.
std::wstring Program_Folder(const std::wstring& program_path);

}  // namespace velbrook
