// File > "Save Pictures as PDF File..." against the print run to the "PDF"
// printer for the same list of camera-sized JPEGs (about 12 megapixels):
// the PDF's size against the JPEGs' sum, the time, and the peak memory above
// the process's idle.  Each run goes in a process of its own, so that each
// peak is its own.  The print run, far slower, is measured on the first few
// pictures and scaled per page.
//
//   wine bench_save_pdf.exe [pictures [printed]]     (defaults 100 and 5)
//
// The same list is then saved as sheets of a 3 x 3 grid with two copies of
// each picture: each JPEG is embedded once and drawn in both its cells, so
// the PDF stays the JPEGs' sum plus a little a sheet.
//
// The pictures are four synthetic photos, each written as many times as the
// list needs (making 100 distinct 12-megapixel JPEGs would take longer than
// the runs); they are kept in the folder for the next run.

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <thread>

#include "../common/synthetic_photo.h"
#include "pdf/save_pdf_run.h"
#include "printing/print_run.h"
#include "toolkit/application.h"
#include "../../tests/support/scripted_dialogs.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace velbrook;

constexpr int Photo_Width = 4240, Photo_Height = 2832;  // 12.0 MP, 3:2
constexpr int Distinct_Photos = 4;
const wchar_t Folder[] = L"Z:\\tmp\\velbrook-bench-save-pdf\\";

std::wstring Picture_Path(int index) { return std::wstring(Folder) + L"photo_" + std::to_wstring(index) + L".jpg"; }
std::wstring Pdf_Path() { return std::wstring(Folder) + L"saved.pdf"; }

std::uint64_t File_Size(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (std::uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

void Write_File(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
}

// The list's pictures, made once and kept; returns the sum of their sizes.
std::uint64_t Make_Pictures(int count) {
    ::CreateDirectoryW(L"Z:\\tmp", nullptr);
    ::CreateDirectoryW(Folder, nullptr);
    std::uint64_t sum = 0;
    for (int i = 0; i < count; ++i) {
        const std::wstring path = Picture_Path(i);
        if (File_Size(path) == 0) {
            if (i < Distinct_Photos) {
                // Each photo a little different, so that no two are alike.
                Write_File(path, bench::Synthetic_Photo(Photo_Width - 16 * i, Photo_Height));
            } else {
                ::CopyFileW(Picture_Path(i % Distinct_Photos).c_str(), path.c_str(), FALSE);
            }
        }
        sum += File_Size(path);
    }
    return sum;
}

// The working set sampled every few milliseconds on a thread of its own
// while a run goes (Wine keeps no peak of its own): the highest figure, and
// the figure before the run began, the idle process.
class Memory_Sampler {
public:
    Memory_Sampler() : idle_(Working_Set()), peak_(idle_) {
        thread_ = std::thread([this] {
            while (!stop_) {
                peak_ = std::max(peak_.load(), Working_Set());
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        });
    }
    ~Memory_Sampler() { Stop(); }
    void Stop() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        peak_ = std::max(peak_.load(), Working_Set());
    }
    double Idle_Mb() const { return idle_ / 1e6; }
    double Peak_Above_Idle_Mb() const { return (double(peak_) - double(idle_)) / 1e6; }

private:
    static std::size_t Working_Set() {
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof counters;
        ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
        return counters.WorkingSetSize;
    }
    std::size_t idle_;
    std::atomic<std::size_t> peak_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// The list, the status line and the flags as plain values.
class Bench_Host final : public Print_Host {
public:
    explicit Bench_Host(int count) : count_(count) {}
    int Entry_Count() const override { return count_; }
    std::optional<std::wstring> Entry(int index) const override {
        if (index < 0 || index >= count_) return std::nullopt;
        return Picture_Path(index);
    }
    void Select_Index(int) override {}
    void Set_Preview(std::shared_ptr<const Picture>) override {}
    void Set_Status(const std::wstring& text) override { status = text; }
    void Enable_Main_Window(bool) override {}
    void Show_Abort_Panel(bool) override {}
    bool Abort_Requested() const override { return false; }
    void Set_Abort_Requested(bool) override {}
    Sheet_Layout Layout() const override { return layout; }
    Dialogs& Dialogs_() override { return dialogs; }
    HWND Main_Window() const override { return nullptr; }

    Scripted_Dialogs dialogs;
    std::wstring status;
    Sheet_Layout layout;

private:
    int count_;
};

// One line for the parent: seconds, then the peak resident memory above the
// idle process and the idle figure itself, in MB.
void Report(const char* what, double seconds, Memory_Sampler& memory, const std::wstring& status) {
    memory.Stop();
    std::printf("%s %.3f %.1f %.1f\n", what, seconds, memory.Peak_Above_Idle_Mb(), memory.Idle_Mb());
    std::fprintf(stderr, "  status: %ls\n", status.c_str());
}

// The grid of the sheets' figures.
constexpr Sheet_Layout Grid_With_Copies{.kind = Sheet_Kind::Grid, .columns = 3, .rows = 3, .copies = 2};

int Run_Save(int count, bool sheets) {
    Scripted_Dialogs app_dialogs;
    Application application(app_dialogs, L"Velbrook bench");
    Bench_Host host(count);
    if (sheets) host.layout = Grid_With_Copies;
    host.dialogs.file_answers.push_back(Pdf_Path());
    Save_Pdf_Run run(host);
    Memory_Sampler memory;
    const auto start = Clock::now();
    run.Save_Pictures_as_PDF_OptionClick();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    Report("save", seconds, memory, host.status);
    return host.status.find(L"Success") != std::wstring::npos ? 0 : 1;
}

std::set<std::wstring> Pdf_Files(const std::wstring& folder) {
    std::set<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE search = ::FindFirstFileW((folder + L"\\*.pdf").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.insert(data.cFileName);
    while (::FindNextFileW(search, &data));
    ::FindClose(search);
    return names;
}

bool Ends_In_Eof(const std::wstring& path) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char tail[16] = {};
    LARGE_INTEGER size{};
    ::GetFileSizeEx(file, &size);
    bool done = false;
    if (size.QuadPart > 8) {
        LARGE_INTEGER at{};
        at.QuadPart = size.QuadPart - 8;
        DWORD got = 0;
        ::SetFilePointerEx(file, at, nullptr, FILE_BEGIN);
        ::ReadFile(file, tail, 8, &got, nullptr);
        done = std::string(tail, got).find("%%EOF") != std::string::npos;
    }
    ::CloseHandle(file);
    return done;
}

// The print run to the "PDF" printer, timed until the queue's PDF is whole.
int Run_Print(int count, const std::wstring& queue_folder) {
    Scripted_Dialogs app_dialogs;
    Application application(app_dialogs, L"Velbrook bench");
    Bench_Host host(count);
    host.dialogs.printer_answers.push_back(Printer_Selection{.device = L"PDF"});
    Print_Environment environment;
    environment.taskbar_progress = false;
    Print_Run run(host, environment);
    const std::set<std::wstring> before_files = Pdf_Files(queue_folder);
    Memory_Sampler memory;
    const auto start = Clock::now();
    run.Print_BitBtnClick();
    memory.Stop();
    // The queue's folder is shared: ours is the new "Orvel Pics" file of at
    // least a megabyte a page (other runs print small samples).
    std::wstring made;
    while (made.empty() && Clock::now() - start < std::chrono::minutes(30)) {
        for (const auto& name : Pdf_Files(queue_folder)) {
            const std::wstring path = queue_folder + L"\\" + name;
            if (!before_files.count(name) && name.find(L"Orvel") != std::wstring::npos &&
                File_Size(path) > 1000000ull * count && Ends_In_Eof(path))
                made = name;
        }
        if (made.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    Report("print", seconds, memory, host.status);
    std::printf("print_pdf %llu\n",
                static_cast<unsigned long long>(made.empty() ? 0 : File_Size(queue_folder + L"\\" + made)));
    return made.empty() ? 1 : 0;
}

// Runs this program again with `arguments`; what the child printed.
std::string Spawn(const std::wstring& arguments) {
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    ::CreatePipe(&read, &write, &inherit, 0);
    ::SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    std::wstring command = L"\"" + std::wstring(self) + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write;
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    std::string output;
    if (::CreateProcessW(self, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        ::CloseHandle(write);
        char buffer[4096];
        DWORD got = 0;
        while (::ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got > 0) output.append(buffer, got);
        ::WaitForSingleObject(process.hProcess, INFINITE);
        ::CloseHandle(process.hProcess);
        ::CloseHandle(process.hThread);
    } else {
        ::CloseHandle(write);
    }
    ::CloseHandle(read);
    return output;
}

struct Figures {
    double seconds = -1, peak = -1, idle = -1;  // MB
};
Figures Parse(const std::string& output, const char* what) {
    Figures f;
    const std::size_t at = output.find(std::string(what) + " ");
    if (at != std::string::npos)
        std::sscanf(output.c_str() + at + std::strlen(what), "%lf %lf %lf", &f.seconds, &f.peak, &f.idle);
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        if (argc == 3 && std::strcmp(argv[1], "--save") == 0) return Run_Save(std::atoi(argv[2]), false);
        if (argc == 3 && std::strcmp(argv[1], "--save-sheets") == 0) return Run_Save(std::atoi(argv[2]), true);
        if (argc == 3 && std::strcmp(argv[1], "--print") == 0) {
            const char* queue = std::getenv("VELBROOK_PDF_DIR");
            std::string unix_folder = queue ? queue : "";
            std::wstring folder = L"Z:" + std::wstring(unix_folder.begin(), unix_folder.end());
            for (auto& c : folder)
                if (c == L'/') c = L'\\';
            return Run_Print(std::atoi(argv[2]), folder);
        }
    } catch (const std::exception& failure) {
        std::printf("failed: %s\n", failure.what());
        return 1;
    }

    const int count = argc > 1 ? std::atoi(argv[1]) : 100;
    const int printed = argc > 2 ? std::atoi(argv[2]) : 5;
    const auto made = Clock::now();
    const std::uint64_t sum = Make_Pictures(count);
    std::printf("%d JPEGs of %d x %d (%.1f MP), %.1f MB in all (%.1f s to make or find)\n", count, Photo_Width,
                Photo_Height, Photo_Width * double(Photo_Height) / 1e6, sum / 1e6,
                std::chrono::duration<double>(Clock::now() - made).count());
    std::fflush(stdout);

    ::DeleteFileW(Pdf_Path().c_str());
    const Figures save = Parse(Spawn(L"--save " + std::to_wstring(count)), "save");
    const std::uint64_t pdf = File_Size(Pdf_Path());
    const double limit = 1.01 * sum + 3072.0 * count;
    std::printf("\nSave Pictures as PDF File, %d pages:\n", count);
    std::printf(
        "  PDF %.2f MB = %.4f x the JPEGs' sum; overhead %.0f bytes a page (goal: <= 1.01 x sum + 3 KB a page = %.2f "
        "MB: %s)\n",
        pdf / 1e6, double(pdf) / sum, (double(pdf) - double(sum)) / count, limit / 1e6,
        pdf > 0 && pdf <= limit ? "met" : "NOT met");
    std::printf("  time %.2f s (%.1f ms a page); peak working set +%.1f MB above the idle %.1f MB (goal < 64 MB)\n",
                save.seconds, 1000 * save.seconds / count, save.peak, save.idle);
    std::fflush(stdout);

    ::DeleteFileW(Pdf_Path().c_str());
    const Figures sheets_save = Parse(Spawn(L"--save-sheets " + std::to_wstring(count)), "save");
    const std::uint64_t sheets_pdf = File_Size(Pdf_Path());
    const int cells = Grid_With_Copies.columns * Grid_With_Copies.rows;
    const int sheets = (count * Grid_With_Copies.copies + cells - 1) / cells;
    const double sheets_limit = 1.01 * sum + 3072.0 * sheets;
    std::printf("\nThe same as sheets of a 3 x 3 grid, two copies of each, %d sheets:\n", sheets);
    std::printf("  PDF %.2f MB = %.4f x the JPEGs' sum (goal: <= 1.01 x sum + 3 KB a sheet = %.2f MB: %s)\n",
                sheets_pdf / 1e6, double(sheets_pdf) / sum, sheets_limit / 1e6,
                sheets_pdf > 0 && sheets_pdf <= sheets_limit ? "met" : "NOT met");
    std::printf("  time %.2f s (%.1f ms a picture); peak working set +%.1f MB above the idle %.1f MB\n",
                sheets_save.seconds, 1000 * sheets_save.seconds / count, sheets_save.peak, sheets_save.idle);
    std::fflush(stdout);

    if (printed <= 0 || !std::getenv("VELBROOK_PDF_DIR")) {
        std::printf("\nPrint run not measured (no VELBROOK_PDF_DIR: run cups_pdf_start first)\n");
        return 0;
    }
    const std::string print_output = Spawn(L"--print " + std::to_wstring(printed));
    const Figures print = Parse(print_output, "print");
    unsigned long long print_pdf = 0;
    if (auto at = print_output.find("print_pdf "); at != std::string::npos)
        print_pdf = std::strtoull(print_output.c_str() + at + 10, nullptr, 10);
    const double per_page = print.seconds / printed;
    std::printf("\nPrint run to the \"PDF\" printer, first %d pictures (until cups-pdf's file is whole):\n", printed);
    std::printf(
        "  time %.2f s (%.0f ms a page; %.0f s for %d pages at that rate); PDF %.2f MB (%.2f MB a page, %.0f MB for %d "
        "pages)\n",
        print.seconds, 1000 * per_page, per_page * count, count, print_pdf / 1e6, print_pdf / 1e6 / printed,
        print_pdf / 1e6 / printed * count, count);
    std::printf("  peak working set +%.1f MB above the idle %.1f MB (the program's side only)\n", print.peak,
                print.idle);
    std::printf("\nSaving is %.1f x faster per page than printing (goal >= 20 x)\n", per_page / (save.seconds / count));
    return 0;
}
