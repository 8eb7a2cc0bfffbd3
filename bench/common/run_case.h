#pragma once
// Runs this benchmark again as a child process for one case, so that each
// case's peak working set is its own, and waits for it.

#include <windows.h>

#include <cstdio>
#include <string>

namespace velbrook::bench {

inline void Run_Case(const std::wstring& arguments) {
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(self, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        std::printf("  cannot start the case (error %lu)\n", ::GetLastError());
        return;
    }
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(process.hProcess, &code);
    if (code != 0) std::printf("  the case ended with code %lu\n", code);
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
}

}  // namespace velbrook::bench
