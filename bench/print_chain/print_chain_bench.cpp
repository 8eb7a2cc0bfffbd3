// The real chain: velbrook.exe printing to the "PDF" printer at A4, driven
// as a person drives it (the pictures dropped on the window, "Print / PDF",
// the printer chosen in the real set-up dialog, OK).
//
// With no argument: one 50-megapixel JPEG (8660 x 5773); "bmp": the same
// picture as a 24-bit bitmap.  The peak working set of velbrook.exe is read
// from this process, before the print (idle, with the picture listed) and
// when the run has ended; then the size of the PostScript job the queue
// received (CUPS keeps each job's file in /var/spool/cups for a day by
// default, PreserveJobFiles; the largest new one is taken, since other
// programs may print meanwhile) and of the PDF the printer made of it.
//
// "photos": 30 photos of 12 megapixels (4000 x 3000), the seconds from OK
// to the success text per page (the designed waits of 0.2 s a page
// included), and the peak working set.
//
//   source scripts/wine-session; cups_pdf_start; wine_session_start build/win64
//   $WINE build/win64/bench/print_chain/bench_print_chain.exe [bmp|photos]
// (VELBROOK_EXE names another velbrook.exe to measure.)

#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "../../tests/support/pdf_check.h"
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

bool Write_File(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    const bool done = file != INVALID_HANDLE_VALUE &&
                      ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                      written == bytes.size();
    if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
    return done;
}

// The job files the queue keeps, by name.
std::set<std::string> Job_Files() {
    std::istringstream list(velbrook::pdf::Run_Unix("ls /var/spool/cups 2>/dev/null"));
    std::set<std::string> names;
    for (std::string name; list >> name;)
        if (name.size() > 1 && name[0] == 'd') names.insert(name);
    return names;
}

// The size of the largest job file that is not among `before`; 0 when none.
long long Largest_New_Job(const std::set<std::string>& before) {
    long long largest = 0;
    for (const std::string& name : Job_Files()) {
        if (before.count(name)) continue;
        const std::string size = velbrook::pdf::Run_Unix("stat -c %s /var/spool/cups/" + name);
        largest = std::max(largest, std::atoll(size.c_str()));
    }
    return largest;
}

}  // namespace

int main(int argc, char** argv) {
    const bool bitmap = argc == 2 && std::strcmp(argv[1], "bmp") == 0;
    const bool photos = argc == 2 && std::strcmp(argv[1], "photos") == 0;
    e2e::Velbrook program;
    std::vector<std::wstring> pictures;
    long long picture_bytes = 0;
    if (photos) {
        // One camera-like file under thirty names: each is read, checked and
        // sent as its own.
        const auto bytes = velbrook::bench::Synthetic_Photo(4000, 3000);
        for (int k = 0; k < 30; ++k) {
            pictures.push_back((program.Folder() / (L"photo" + std::to_wstring(k) + L".jpg")).wstring());
            Write_File(pictures.back(), bytes);
        }
        picture_bytes = static_cast<long long>(bytes.size());
        std::printf("30 pictures 4000 x 3000 (12.0 MP), JPEG of %.1f MB each; %zu-bit build\n", bytes.size() / 1e6,
                    sizeof(void*) * 8);
    } else {
        const std::filesystem::path photo = program.Folder() / (bitmap ? L"photo.bmp" : L"photo.jpg");
        const auto bytes =
            bitmap ? velbrook::bench::Synthetic_Bitmap(8660, 5773) : velbrook::bench::Synthetic_Photo(8660, 5773);
        Write_File(photo, bytes);
        pictures.push_back(photo.wstring());
        picture_bytes = static_cast<long long>(bytes.size());
        std::printf("picture 8660 x 5773 (50.0 MP), %s of %.1f MB; %zu-bit build\n", bitmap ? "BMP" : "JPEG",
                    bytes.size() / 1e6, sizeof(void*) * 8);
    }
    HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, program.Process_Id());
    if (!process) {
        std::printf("cannot open the program's process (error %lu)\n", ::GetLastError());
        return 1;
    }
    program.Drop(pictures);
    if (!e2e::Wait_For([&] { return program.List().size() == pictures.size(); })) {
        std::printf("the drop did not fill the list\n");
        return 1;
    }
    std::this_thread::sleep_for(2s);  // the preview is drawn; the program is idle
    const PROCESS_MEMORY_COUNTERS idle = Counters(process);
    const char* queue = std::getenv("VELBROOK_PDF_DIR");
    const std::wstring pdf_folder = queue ? velbrook::pdf::Windows_Path(queue) : L"";
    const std::set<std::wstring> pdfs_before = velbrook::pdf::Pdf_Files(pdf_folder);
    const std::set<std::string> jobs_before = Job_Files();
    program.Click(L"Print / PDF");
    if (!Choose_Pdf_And_Print(program)) {
        std::printf("the printer \"PDF\" could not be chosen\n");
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    const bool over = e2e::Wait_For([&] { return program.Status().starts_with(L"  Success"); }, 600s);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const PROCESS_MEMORY_COUNTERS after = Counters(process);
    std::printf("  idle working set %.1f MB, peak while printing %.1f MB: %+.1f MB; %s in %.1f s\n",
                idle.WorkingSetSize / 1e6, after.PeakWorkingSetSize / 1e6,
                (static_cast<double>(after.PeakWorkingSetSize) - idle.WorkingSetSize) / 1e6,
                over ? "printed" : "NOT printed", seconds);
    if (photos) std::printf("  %.2f s a page\n", seconds / static_cast<double>(pictures.size()));
    ::CloseHandle(process);
    if (!over) return 1;
    // The PDF comes a little after the job; the job file is complete by then.
    const std::wstring pdf = queue ? velbrook::pdf::Wait_New_Pdf(pdf_folder, pdfs_before, 300s) : L"";
    const long long job = Largest_New_Job(jobs_before);
    if (job > 0)
        std::printf("  PostScript job %.1f MB, %.2f x the picture files\n", job / 1e6,
                    static_cast<double>(job) / (static_cast<double>(picture_bytes) * pictures.size()));
    if (!pdf.empty()) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        ::GetFileAttributesExW((pdf_folder + L"\\" + pdf).c_str(), GetFileExInfoStandard, &data);
        const double size = (static_cast<double>(data.nFileSizeHigh) * 4294967296.0 + data.nFileSizeLow) / 1e6;
        std::printf("  printed PDF %.1f MB\n", size);
        ::DeleteFileW((pdf_folder + L"\\" + pdf).c_str());
    }
    return 0;
}
