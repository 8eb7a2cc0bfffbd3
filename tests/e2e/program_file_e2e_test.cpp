// What the program file carries, read back from its resource section and
// header the way Windows reads them: the manifest, the icon's sizes, the
// version block, and no link time.  VELBROOK_EXE may name another build of
// the program (the packages' test names the release one).

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "driver.h"
#include "print_samples.h"

namespace e2e {
namespace {

struct Module {
    HMODULE handle;
    explicit Module(const std::wstring& path)
        : handle(::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
    ~Module() {
        if (handle) ::FreeLibrary(handle);
    }
    std::string Resource(const wchar_t* type, int id) const {
        HRSRC found = ::FindResourceW(handle, MAKEINTRESOURCEW(id), type);
        if (!found) return {};
        const char* bytes = static_cast<const char*>(::LockResource(::LoadResource(handle, found)));
        return std::string(bytes, ::SizeofResource(handle, found));
    }
};

TEST(Program_File, Its_Manifest_Names_Windows_Vista_To_11_Is_Aware_Of_Each_Monitors_Dpi_And_Takes_Long_Paths) {
    const Module program(Program_File().wstring());
    ASSERT_NE(program.handle, nullptr);
    const std::string manifest = program.Resource(RT_MANIFEST, 1);
    ASSERT_FALSE(manifest.empty());
    const char* const wanted[] = {
        "<supportedOS Id=\"{e2011457-1546-43c5-a5fe-008deee3d3f0}\"/>",  // Vista
        "<supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>",  // 7
        "<supportedOS Id=\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\"/>",  // 8
        "<supportedOS Id=\"{1f676c76-80e1-4239-95bb-83d0f6d0da78}\"/>",  // 8.1
        "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>",  // 10 and 11
        "WindowsSettings\">true/pm</dpiAware>",
        "WindowsSettings\">PerMonitorV2, PerMonitor</dpiAwareness>",
        "WindowsSettings\">true</longPathAware>",
        "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
        "<requestedExecutionLevel level=\"asInvoker\"",
        "name=\"Orvel.Velbrook\" version=\"1.0.6.0\"",
    };
    for (const char* text : wanted) EXPECT_NE(manifest.find(text), std::string::npos) << text;
    // The program draws for the resolution itself: the system scales none of it.
    EXPECT_EQ(manifest.find("gdiScaling"), std::string::npos);
}

TEST(Program_File, Its_Icon_Has_16_32_48_And_256_Pixel_Images) {
    const Module program(Program_File().wstring());
    ASSERT_NE(program.handle, nullptr);
    std::string group = program.Resource(RT_GROUP_ICON, 1);
    ASSERT_GE(group.size(), 6u);
    const auto word = [&](std::size_t at) {
        return std::uint16_t(std::uint8_t(group[at]) | std::uint8_t(group[at + 1]) << 8);
    };
    const int count = word(4);
    ASSERT_EQ(group.size(), 6u + 14u * count);
    std::set<int> sizes;
    for (int i = 0; i < count; ++i) {
        // A group entry: width, height (0 for 256), colours, reserved, planes, bits, bytes, image id.
        const std::size_t at = 6 + 14 * i;
        const int size = std::uint8_t(group[at]) ? std::uint8_t(group[at]) : 256;
        sizes.insert(size);
        EXPECT_EQ(word(at + 6), 32) << size;
        std::string image = program.Resource(RT_ICON, word(at + 12));
        ASSERT_GE(image.size(), 24u) << size;
        if (size == 256) {
            EXPECT_EQ(image.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
        } else {
            BITMAPINFOHEADER header;
            std::memcpy(&header, image.data(), sizeof header);
            EXPECT_EQ(header.biWidth, size);
            EXPECT_EQ(header.biHeight, 2 * size) << "colour and mask";
        }
        // Windows picks this image for this size, and can make an icon of it.
        EXPECT_EQ(
            ::LookupIconIdFromDirectoryEx(reinterpret_cast<BYTE*>(group.data()), TRUE, size, size, LR_DEFAULTCOLOR),
            word(at + 12))
            << size;
        HICON icon = ::CreateIconFromResourceEx(reinterpret_cast<BYTE*>(image.data()), static_cast<DWORD>(image.size()),
                                                TRUE, 0x00030000, size, size, LR_DEFAULTCOLOR);
        EXPECT_NE(icon, nullptr) << size;
        if (icon) ::DestroyIcon(icon);
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 32, 48, 256}));
}

TEST(Program_File, Its_Version_Block_Names_The_Program_Its_Maker_And_Version) {
    const std::wstring path = Program_File().wstring();
    DWORD ignored = 0;
    std::vector<char> block(::GetFileVersionInfoSizeW(path.c_str(), &ignored));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(::GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    // 1.0f is 1.0.6.0, as in the manifest and the installer.
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00060000u);
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileType, DWORD(VFT_APP));

    const struct {
        const wchar_t* name;
        const wchar_t* value;
    } strings[] = {
        {L"CompanyName", L"Orvel"},
        {L"FileDescription", L"Velbrook: prints a list of pictures, one per page"},
        {L"FileVersion", L"1.0f"},
        {L"InternalName", L"velbrook"},
        {L"LegalCopyright", L"Copyright (C) 2007 Orvel.  All rights reserved."},
        {L"OriginalFilename", L"velbrook.exe"},
        {L"ProductName", L"Velbrook v1.0f"},
        {L"ProductVersion", L"1.0f"},
    };
    for (const auto& string : strings) {
        wchar_t* value = nullptr;
        UINT chars = 0;
        const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + string.name;
        ASSERT_TRUE(::VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &chars))
            << Narrow(string.name);
        EXPECT_EQ(std::wstring(value), string.value) << Narrow(string.name);
    }
}

TEST(Program_File, Its_Header_Carries_No_Link_Time) {
    std::ifstream file(Program_File(), std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    ASSERT_GE(bytes.size(), sizeof(IMAGE_DOS_HEADER));
    IMAGE_DOS_HEADER dos;
    std::memcpy(&dos, bytes.data(), sizeof dos);
    ASSERT_LE(std::size_t(dos.e_lfanew) + sizeof(IMAGE_NT_HEADERS32), bytes.size());
    IMAGE_NT_HEADERS32 nt;
    std::memcpy(&nt, bytes.data() + dos.e_lfanew, sizeof nt);
    ASSERT_EQ(nt.Signature, DWORD(IMAGE_NT_SIGNATURE));
    EXPECT_EQ(nt.FileHeader.TimeDateStamp, 0u) << "two builds of one commit must give the same bytes";
}

}  // namespace
}  // namespace e2e
