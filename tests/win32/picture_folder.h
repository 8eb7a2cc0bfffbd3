#pragma once
// The picture tests' scratch folder, which remembers each file it names and
// removes it at the end, and copies of the sample pictures in it.  Apart
// from picture_test_support.h, so that a test can use it or the main window
// fixture's folder (support/temp_folder.h), whichever it needs.

#include "picture_test_support.h"

namespace velbrook::testing {

inline std::vector<std::uint8_t> File_Bytes(const std::wstring& path) {
    std::vector<std::uint8_t> bytes;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    DWORD size = ::GetFileSize(file, nullptr), got = 0;
    bytes.resize(size);
    ::ReadFile(file, bytes.data(), size, &got, nullptr);
    ::CloseHandle(file);
    bytes.resize(got);
    return bytes;
}

// A fresh folder under the temporary folder, removed with what it holds.
class Picture_Folder {
public:
    Picture_Folder() {
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        static int counter = 0;
        path_ = std::wstring(temp) + L"velbrook_pictures_" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
                std::to_wstring(++counter);
        ::CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~Picture_Folder() {
        for (const auto& file : files_) {
            ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileW(file.c_str());
        }
        ::RemoveDirectoryW(path_.c_str());
    }
    Picture_Folder(const Picture_Folder&) = delete;
    Picture_Folder& operator=(const Picture_Folder&) = delete;

    std::wstring Path(const std::wstring& name) {
        std::wstring full = path_ + L"\\" + name;
        files_.push_back(full);
        return full;
    }
    std::wstring Write(const std::wstring& name, const std::vector<std::uint8_t>& bytes) {
        std::wstring full = Path(name);
        HANDLE file = ::CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        ::CloseHandle(file);
        return full;
    }
    std::wstring Copy(const std::string& sample, const std::wstring& name) {
        return Write(name, File_Bytes(Sample(sample)));
    }

private:
    std::wstring path_;
    std::vector<std::wstring> files_;
};

}  // namespace velbrook::testing
