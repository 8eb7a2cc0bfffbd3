#pragma once
// A fresh folder under the temporary directory for one test, removed with
// everything in it (read-only and hidden files too) when the test ends.

#include <windows.h>

#include <string>
#include <vector>

namespace velbrook::test_files {

class Scratch_Folder {
public:
    Scratch_Folder() {
        wchar_t temp[MAX_PATH + 1];
        DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
        static unsigned counter = 0;
        for (;;) {
            path_ = std::wstring(temp, length) + L"velbrook_" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
                    std::to_wstring(++counter);
            if (::CreateDirectoryW(path_.c_str(), nullptr)) break;
        }
        path_ += L"\\";
    }
    ~Scratch_Folder() { Remove_Tree(path_); }
    Scratch_Folder(const Scratch_Folder&) = delete;
    Scratch_Folder& operator=(const Scratch_Folder&) = delete;

    // The folder, with its trailing backslash.
    const std::wstring& Path() const { return path_; }
    std::wstring File(const std::wstring& name) const { return path_ + name; }

private:
    static void Remove_Tree(const std::wstring& folder) {
        WIN32_FIND_DATAW found;
        HANDLE search = ::FindFirstFileW((folder + L"*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                std::wstring name = found.cFileName;
                if (name == L"." || name == L"..") continue;
                std::wstring full = folder + name;
                ::SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    Remove_Tree(full + L"\\");
                } else {
                    ::DeleteFileW(full.c_str());
                }
            } while (::FindNextFileW(search, &found));
            ::FindClose(search);
        }
        ::RemoveDirectoryW(folder.c_str());
    }

    std::wstring path_;
};

// UTF-8 for test messages.
inline std::string Narrow(const std::wstring& text) {
    int size =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

inline void Write_Bytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
}

inline std::string Read_Bytes(const std::wstring& path) {
    std::string bytes;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char chunk[4096];
    DWORD got = 0;
    while (::ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
    ::CloseHandle(file);
    return bytes;
}

// Another holder of the file, as a program that has it open would be.
class Held_File {
public:
    explicit Held_File(const std::wstring& path, DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE)
        : handle_(::CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                nullptr)) {}
    ~Held_File() {
        if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
    }
    Held_File(const Held_File&) = delete;
    Held_File& operator=(const Held_File&) = delete;
    bool Holding() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

}  // namespace velbrook::test_files
