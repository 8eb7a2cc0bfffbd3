#pragma once
// A fresh folder under the temporary folder, removed (read-only files too)
// at the end: the program's folder of a test, or a benchmark's scratch room.

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace velbrook::testing {

class Scratch_Folder {
public:
    explicit Scratch_Folder(const wchar_t* kind = L"test") {
        wchar_t base[MAX_PATH + 1];
        ::GetTempPathW(MAX_PATH, base);
        static int counter = 0;
        path_ = std::wstring(base) + L"velbrook-" + kind + L"-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                std::to_wstring(++counter) + L"\\";
        std::filesystem::create_directories(path_);
    }
    ~Scratch_Folder() {
        std::error_code ignored;
        for (auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored))
            ::SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        std::filesystem::remove_all(path_, ignored);
    }
    Scratch_Folder(const Scratch_Folder&) = delete;
    Scratch_Folder& operator=(const Scratch_Folder&) = delete;

    const std::wstring& Path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + name; }
    // A file with these bytes.
    std::wstring Write(const std::wstring& name, const std::string& bytes = "x") const {
        std::wstring file = path_ + name;
        std::filesystem::create_directories(std::filesystem::path(file).parent_path());
        std::ofstream(std::filesystem::path(file), std::ios::binary) << bytes;
        return file;
    }

private:
    std::wstring path_;
};

}  // namespace velbrook::testing
