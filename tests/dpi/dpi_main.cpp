// Runs the tests at 144 dpi.  Wine gives a process the resolution of its
// prefix's "LogPixels" as it starts, so this process sets it, starts itself
// again for the tests, and then puts the prefix back as it found it.

#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>

namespace {

constexpr wchar_t Desktop_Key[] = L"Control Panel\\Desktop";
constexpr wchar_t Log_Pixels[] = L"LogPixels";
constexpr wchar_t Child_Variable[] = L"VELBROOK_DPI_TESTS_CHILD";
constexpr DWORD Test_Dpi = 144;

std::optional<DWORD> Read_Log_Pixels() {
    DWORD value = 0, size = sizeof value;
    if (::RegGetValueW(HKEY_CURRENT_USER, Desktop_Key, Log_Pixels, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

bool Write_Log_Pixels(std::optional<DWORD> value) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, Desktop_Key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LSTATUS status =
        value ? ::RegSetValueExW(key, Log_Pixels, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&*value), sizeof *value)
              : ::RegDeleteValueW(key, Log_Pixels);
    ::RegCloseKey(key);
    return status == ERROR_SUCCESS || (!value && status == ERROR_FILE_NOT_FOUND);
}

// The same program with the same arguments, as a child that runs the tests.
int Run_Child() {
    ::SetEnvironmentVariableW(Child_Variable, L"1");
    std::wstring command = ::GetCommandLineW();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        std::fprintf(stderr, "The tests could not be started (error %lu)\n", ::GetLastError());
        return 1;
    }
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

}  // namespace

int main(int argc, char** argv) {
    if (::GetEnvironmentVariableW(Child_Variable, nullptr, 0) > 0) {
        ::testing::InitGoogleTest(&argc, argv);
        return RUN_ALL_TESTS();
    }
    const std::optional<DWORD> before = Read_Log_Pixels();
    if (!Write_Log_Pixels(Test_Dpi)) {
        std::fprintf(stderr, "The screen resolution could not be set\n");
        return 1;
    }
    const int code = Run_Child();
    if (!Write_Log_Pixels(before)) {
        std::fprintf(stderr, "The screen resolution could not be put back\n");
        return 1;
    }
    return code;
}
