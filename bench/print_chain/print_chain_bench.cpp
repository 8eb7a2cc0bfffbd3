// The program's own memory while it prints one 50-megapixel JPEG (8660 x
// 5773), or with the argument "bmp" the same picture as a 24-bit bitmap, to
// the "PDF" printer at A4: the picture dropped on the window,
// "Print / PDF", the printer chosen in the real set-up dialog, OK.  The peak
// working set of velbrook.exe is read from this process, before the print
// (idle, with the picture listed) and when the run has ended.
//
//   source scripts/wine-session; cups_pdf_start; wine_session_start build/win64
//   $WINE build/win64/bench/print_chain/bench_print_chain.exe [bmp]
// (VELBROOK_EXE names another velbrook.exe to measure.)

#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <thread>

#include "../common/synthetic_photo.h"
#include "driver.h"

namespace {

using namespace std::chrono_literals;

PROCESS_MEMORY_COUNTERS Counters(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(process, &counters, sizeof counters);
    return counters;
}

// The printer set-up dialog: a #32770 with the printer combo (as the
// end-to-end print test finds it), "PDF" chosen.
bool Choose_Pdf_And_Print(const e2e::Velbrook& program) {
    HWND dialog = program.Wait_Dialog([](HWND window) { return ::GetDlgItem(window, 0x470) != nullptr; });
    if (!dialog) return false;
    HWND combo = ::GetDlgItem(dialog, 0x470);
    DWORD_PTR index = 0, ignored = 0;
    ::SendMessageTimeoutW(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"PDF"),
                          SMTO_ABORTIFHUNG, 5000, &index);
    if (static_cast<LRESULT>(index) == CB_ERR) return false;
    ::SendMessageTimeoutW(dialog, WM_COMMAND, MAKEWPARAM(0x470, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo),
                          SMTO_ABORTIFHUNG, 5000, &ignored);
    ::PostMessageW(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const bool bitmap = argc == 2 && std::strcmp(argv[1], "bmp") == 0;
    e2e::Velbrook program;
    const std::filesystem::path photo = program.Folder() / (bitmap ? L"photo.bmp" : L"photo.jpg");
    {
        const auto bytes =
            bitmap ? velbrook::bench::Synthetic_Bitmap(8660, 5773) : velbrook::bench::Synthetic_Photo(8660, 5773);
        HANDLE file = ::CreateFileW(photo.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        ::CloseHandle(file);
        std::printf("picture 8660 x 5773 (50.0 MP), %s of %.1f MB; %zu-bit build\n", bitmap ? "BMP" : "JPEG",
                    bytes.size() / 1e6, sizeof(void*) * 8);
    }
    HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, program.Process_Id());
    if (!process) {
        std::printf("cannot open the program's process (error %lu)\n", ::GetLastError());
        return 1;
    }
    program.Drop({photo.wstring()});
    if (!e2e::Wait_For([&] { return program.List().size() == 1; })) {
        std::printf("the drop did not fill the list\n");
        return 1;
    }
    std::this_thread::sleep_for(2s);  // the preview is drawn; the program is idle
    const PROCESS_MEMORY_COUNTERS idle = Counters(process);
    program.Click(L"Print / PDF");
    if (!Choose_Pdf_And_Print(program)) {
        std::printf("the printer \"PDF\" could not be chosen\n");
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    const bool over = e2e::Wait_For([&] { return program.Status().starts_with(L"  Success"); }, 300s);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const PROCESS_MEMORY_COUNTERS after = Counters(process);
    std::printf("  idle working set %.1f MB, peak while printing %.1f MB: %+.1f MB; %s in %.1f s\n",
                idle.WorkingSetSize / 1e6, after.PeakWorkingSetSize / 1e6,
                (static_cast<double>(after.PeakWorkingSetSize) - idle.WorkingSetSize) / 1e6,
                over ? "printed" : "NOT printed", seconds);
    ::CloseHandle(process);
    return over ? 0 : 1;
}
