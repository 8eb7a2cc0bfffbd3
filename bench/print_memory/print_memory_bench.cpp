// Peak memory of printing one big picture, the way the print run does it:
// Load_Picture_For for the page rectangle, then the classic Draw (not
// turned) or Draw_Placed with Fit and Turn to Suit the Page (turned).  A
// 50-megapixel JPEG, the same photo as a PNG and as a 24-bit BMP, and a
// 150-megapixel JPEG, all landscape on a portrait A4 page, at 300 and at
// 600 dpi.  Then the preview of the BMPs (50 and 12 megapixels): loaded for
// the preview's box of 141 x 179 and drawn there.  Every case runs
// in a process of its own, so that each peak working set is its own; the
// figure is the peak above the working set just before the load.
//
// The target is the recording printer (a memory DC at 1/8 of the page's
// device pixels): the figures hold the load, the decode and GDI's stretch,
// not a printer driver's spooling.  Then the time per page of a 12-megapixel
// JPEG, printed classic (stretched over the page), drawn in bands from its
// file and decoded whole.
//
//   wine bench_print_memory.exe [--whole] [NAME]
//
// For the PNG, also what the imaging component's decoder alone costs: the
// file opened, its first frame converted to premultiplied BGRA and one row
// copied out, the least any reader of it through that component pays.
//
// --whole: every picture decoded (or read) whole, as before pictures were
// read from their file in bands; the figures to compare with.  NAME: only
// the pictures whose name holds it ("BMP").
//
// Then a contact sheet: a 5 x 7 grid of 12-megapixel JPEGs on A4 at 600 dpi,
// two sheets printed by the print run itself (without its designed waits),
// its peak working set and time per sheet beside the sum of the decodes its
// cells need.

#include <windows.h>
#include <psapi.h>
#include <wincodec.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "../common/run_case.h"
#include "../common/synthetic_photo.h"
#include "../../tests/support/scripted_dialogs.h"
#include "../../tests/support/wic_encode.h"
#include "picture/jpeg_decode.h"
#include "picture/picture.h"
#include "printing/print_run.h"
#include "printing/sheet_plan.h"
#include "recording_printer.h"
#include "toolkit/handles.h"

namespace {

using Clock = std::chrono::steady_clock;

enum class Kind { Jpeg, Png, Bmp };
struct Photo {
    const char* name;
    int width, height;
    Kind kind;
};
const Photo Photos[] = {
    {"50 MP JPEG", 8660, 5773, Kind::Jpeg}, {"50 MP PNG", 8660, 5773, Kind::Png},
    {"50 MP BMP", 8660, 5773, Kind::Bmp},   {"150 MP JPEG", 15000, 10000, Kind::Jpeg},
    {"12 MP JPEG", 4242, 2828, Kind::Jpeg}, {"12 MP BMP", 4242, 2828, Kind::Bmp},
};
constexpr int Printed_Photos = 4;  // the first ones, printed at each resolution
constexpr int Timed_Photo = 4;
const int Previewed_Photos[] = {2, 5};
constexpr SIZE Preview_Box{141, 179};

struct Resolution {
    const char* name;
    SIZE page;  // A4's printable area in device pixels; the picture goes 10 in from each edge
};
const Resolution Resolutions[] = {{"300 dpi", {2479, 3508}}, {"600 dpi", {4958, 7016}}};

std::wstring Photo_Path(int photo) {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    const Photo& p = Photos[photo];
    return std::wstring(temp) + L"velbrook_bench_memory_" + std::to_wstring(p.width) + L"x" +
           std::to_wstring(p.height) +
           (p.kind == Kind::Png   ? L".png"
            : p.kind == Kind::Bmp ? L".bmp"
                                  : L".jpg");
}

PROCESS_MEMORY_COUNTERS Memory() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

velbrook::Page_Options Options_For(const Photo& photo, bool turned) {
    velbrook::Page_Options options{.more_types = photo.kind == Kind::Png};
    if (turned) options.fit = velbrook::Fit_Mode::Fit, options.turn_to_page = true;
    return options;
}

// Loads and prints the photo `pages` times; the milliseconds per page.
double Print_Pages(velbrook::Recording_Printer& printer, const std::wstring& path, const Photo& photo, const RECT& rect,
                   bool turned, int pages,
                   std::int64_t whole_decode_bytes = velbrook::Picture_Request{}.whole_decode_bytes) {
    const velbrook::Page_Options options = Options_For(photo, turned);
    const SIZE target{rect.right - rect.left, rect.bottom - rect.top};
    const auto start = Clock::now();
    for (int page = 0; page < pages; ++page) {
        if (page > 0) printer.New_Page();
        auto picture = velbrook::Load_Picture_For(
            path, {.target = target, .options = options, .whole_decode_bytes = whole_decode_bytes});
        if (options == velbrook::Page_Options{})
            printer.Draw(*picture, rect);
        else
            printer.Draw_Placed(*picture, velbrook::Place_On(*picture, options, rect, 0));
    }
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count() / pages;
}

// Every picture whole (--whole), or as the program loads it.
std::int64_t Whole_Decode_Bytes(bool whole) {
    return whole ? std::numeric_limits<std::int64_t>::max() : velbrook::Picture_Request{}.whole_decode_bytes;
}

int Run_Memory_Case(int photo, int resolution, bool turned, bool whole) {
    const Resolution& r = Resolutions[resolution];
    const RECT rect{10, 10, r.page.cx - 10, r.page.cy - 10};
    auto recording = std::make_shared<velbrook::Print_Recording>();
    velbrook::Recording_Printer printer(recording, {.page = r.page, .scale = 8});
    printer.Begin_Document(L"Orvel Pics");
    const PROCESS_MEMORY_COUNTERS before = Memory();
    const double ms =
        Print_Pages(printer, Photo_Path(photo), Photos[photo], rect, turned, 1, Whole_Decode_Bytes(whole));
    printer.End_Document();
    const PROCESS_MEMORY_COUNTERS after = Memory();
    std::printf("  %-12s %-8s %-10s peak working set %+7.1f MB   %6.0f ms\n", Photos[photo].name, r.name,
                turned ? "turned" : "not turned",
                (static_cast<double>(after.PeakWorkingSetSize) - before.WorkingSetSize) / 1e6, ms);
    std::fflush(stdout);
    return 0;
}

// The preview: the picture loaded for the preview's box and drawn there, as
// a click on the list does.
int Run_Preview_Case(int photo, bool whole) {
    const velbrook::Dc_Handle dc(::CreateCompatibleDC(nullptr));
    std::uint32_t* pixels = nullptr;
    const velbrook::Bitmap_Handle box = velbrook::Top_Down_Dib_Section(Preview_Box.cx, Preview_Box.cy, &pixels);
    const velbrook::Select_Guard select(dc.get(), box.get());
    const PROCESS_MEMORY_COUNTERS before = Memory();
    const auto start = Clock::now();
    // As Load_Preview loads it with the classic options.
    const auto shown = velbrook::Load_Picture_For(
        Photo_Path(photo), {.target = Preview_Box, .whole_decode_bytes = Whole_Decode_Bytes(whole)});
    shown->Draw(dc.get(), RECT{0, 0, Preview_Box.cx, Preview_Box.cy});
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    const PROCESS_MEMORY_COUNTERS after = Memory();
    std::printf("  %-12s preview %3ld x %3ld        peak working set %+7.1f MB   %6.0f ms\n", Photos[photo].name,
                Preview_Box.cx, Preview_Box.cy,
                (static_cast<double>(after.PeakWorkingSetSize) - before.WorkingSetSize) / 1e6, ms);
    std::fflush(stdout);
    return 0;
}

int Run_Decoder_Case(int photo) {
    const velbrook::Com_Apartment apartment;
    const PROCESS_MEMORY_COUNTERS before = Memory();
    velbrook::Com_Ptr<IWICImagingFactory> factory;
    velbrook::Com_Ptr<IWICBitmapDecoder> decoder;
    velbrook::Com_Ptr<IWICBitmapFrameDecode> frame;
    velbrook::Com_Ptr<IWICFormatConverter> converter;
    UINT width = 0, height = 0;
    if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  factory.put_void())) ||
        FAILED(factory->CreateDecoderFromFilename(Photo_Path(photo).c_str(), nullptr, GENERIC_READ,
                                                  WICDecodeMetadataCacheOnDemand, decoder.put())) ||
        FAILED(decoder->GetFrame(0, frame.put())) || FAILED(frame->GetSize(&width, &height)) ||
        FAILED(factory->CreateFormatConverter(converter.put())) ||
        FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)))
        throw std::runtime_error("the imaging component cannot open the photo");
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * 4);
    const WICRect first{0, 0, static_cast<INT>(width), 1};
    if (FAILED(converter->CopyPixels(&first, width * 4, static_cast<UINT>(row.size()), row.data())))
        throw std::runtime_error("the imaging component cannot read a row");
    const PROCESS_MEMORY_COUNTERS after = Memory();
    std::printf("  %-12s the imaging component's decoder alone, one row read: peak working set %+7.1f MB\n",
                Photos[photo].name, (static_cast<double>(after.PeakWorkingSetSize) - before.WorkingSetSize) / 1e6);
    std::fflush(stdout);
    return 0;
}

int Run_Time_Case() {
    const Resolution& r = Resolutions[0];
    const RECT rect{10, 10, r.page.cx - 10, r.page.cy - 10};
    auto recording = std::make_shared<velbrook::Print_Recording>();
    velbrook::Recording_Printer printer(recording, {.page = r.page, .scale = 8});
    printer.Begin_Document(L"Orvel Pics");
    const std::wstring path = Photo_Path(Timed_Photo);
    const Photo& photo = Photos[Timed_Photo];
    constexpr std::int64_t whole = std::numeric_limits<std::int64_t>::max();
    Print_Pages(printer, path, photo, rect, false, 1);  // the file in the cache
    // Alternated, so that neither gains from the machine's other work.
    double banded_ms = 0, whole_ms = 0;
    for (int round = 0; round < 3; ++round) {
        banded_ms += Print_Pages(printer, path, photo, rect, false, 2) / 3;
        whole_ms += Print_Pages(printer, path, photo, rect, false, 2, whole) / 3;
    }
    printer.End_Document();
    std::printf("  %-12s %-8s classic page: in bands %6.0f ms a page, whole %6.0f ms a page (%+.1f %%)\n", photo.name,
                r.name, banded_ms, whole_ms, 100.0 * (banded_ms - whole_ms) / whole_ms);
    std::fflush(stdout);
    return 0;
}

// The print run's side of the main window, for the contact sheet: the list
// and the flags as plain values, the dialogs answering for the recording
// printer.
class Sheet_Host final : public velbrook::Print_Host {
public:
    std::vector<std::wstring> entries;
    velbrook::Sheet_Layout layout;
    velbrook::Scripted_Dialogs dialogs;
    std::wstring status;

    int Entry_Count() const override { return static_cast<int>(entries.size()); }
    std::optional<std::wstring> Entry(int index) const override {
        if (index < 0 || index >= Entry_Count()) return std::nullopt;
        return entries[static_cast<std::size_t>(index)];
    }
    void Select_Index(int) override {}
    void Set_Preview(std::shared_ptr<const velbrook::Picture>) override {}
    void Set_Status(const std::wstring& text) override { status = text; }
    void Enable_Main_Window(bool) override {}
    void Show_Abort_Panel(bool) override {}
    bool Abort_Requested() const override { return false; }
    void Set_Abort_Requested(bool) override {}
    velbrook::Sheet_Layout Layout() const override { return layout; }
    velbrook::Dialogs& Dialogs_() override { return dialogs; }
    HWND Main_Window() const override { return nullptr; }
};

constexpr int Sheet_Columns = 5, Sheet_Rows = 7, Sheets_Printed = 2;

int Run_Sheet_Case() {
    const Resolution& r = Resolutions[1];
    const velbrook::Recording_Options options{.page = r.page, .scale = 8, .pixels_per_inch = 600};
    auto recording = std::make_shared<velbrook::Print_Recording>();
    Sheet_Host host;
    host.layout = {.kind = velbrook::Sheet_Kind::Grid, .columns = Sheet_Columns, .rows = Sheet_Rows};
    host.entries.assign(Sheet_Columns * Sheet_Rows * Sheets_Printed, Photo_Path(Timed_Photo));
    host.dialogs.printer_answers.push_back(velbrook::Printer_Selection{.device = L"Bench"});
    velbrook::Print_Environment environment;
    environment.open_printer = [&](const velbrook::Printer_Selection&) -> std::unique_ptr<velbrook::Printer> {
        return std::make_unique<velbrook::Recording_Printer>(recording, options);
    };
    environment.wait_milliseconds = [](unsigned) {};
    environment.taskbar_progress = false;
    velbrook::Print_Run run(host, std::move(environment));

    // The cells' size, as the run plans them, for the decodes alone.
    const velbrook::Recording_Printer planner(std::make_shared<velbrook::Print_Recording>(), options);
    const velbrook::Sheet_Plan plan = velbrook::Plan_Sheet(planner.Paper(), host.layout);
    const SIZE cell{plan.cells.at(0).Width(), plan.cells.at(0).Height()};

    const PROCESS_MEMORY_COUNTERS before = Memory();
    const auto start = Clock::now();
    run.Print_BitBtnClick();
    const double sheet_ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count() / Sheets_Printed;
    const PROCESS_MEMORY_COUNTERS after = Memory();
    if (recording->pages.size() != Sheets_Printed)
        throw std::runtime_error("the run printed " + std::to_string(recording->pages.size()) + " sheets");

    // Each cell's decode, at the scale libjpeg gives for the cell, from the
    // file's bytes already in memory.
    std::vector<std::uint8_t> bytes;
    {
        const velbrook::File_Handle file(::CreateFileW(Photo_Path(Timed_Photo).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                       nullptr, OPEN_EXISTING, 0, nullptr));
        bytes.resize(::GetFileSize(file.get(), nullptr));
        DWORD read = 0;
        ::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    }
    const auto decodes_start = Clock::now();
    for (std::size_t k = 0; k < plan.cells.size(); ++k) velbrook::Decode_Jpeg(bytes, cell.cx, cell.cy);
    const double decodes_ms = std::chrono::duration<double, std::milli>(Clock::now() - decodes_start).count();
    std::printf(
        "  %-12s %d x %d on A4 %s, cells of %ld x %ld: peak working set %+7.1f MB, %6.0f ms a sheet; "
        "its %zu decodes alone %6.0f ms (%.2f x)\n",
        Photos[Timed_Photo].name, Sheet_Columns, Sheet_Rows, r.name, cell.cx, cell.cy,
        (static_cast<double>(after.PeakWorkingSetSize) - before.WorkingSetSize) / 1e6, sheet_ms, plan.cells.size(),
        decodes_ms, sheet_ms / decodes_ms);
    std::fflush(stdout);
    return 0;
}

// The photo again as a PNG, written by the imaging component's encoder.
std::vector<std::uint8_t> Png_Of(const std::vector<std::uint8_t>& jpeg) {
    const velbrook::Decoded_Image image = velbrook::Decode_Jpeg(jpeg, 0, 0);
    return velbrook::testing::Wic_Encode(GUID_ContainerFormatPng, GUID_WICPixelFormat24bppBGR, image.width,
                                         image.height, image.stride, {image.pixels.data()});
}

void Make_Photo(int photo) {
    const std::wstring path = Photo_Path(photo);
    if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return;
    const Photo& p = Photos[photo];
    auto bytes = p.kind == Kind::Bmp ? velbrook::bench::Synthetic_Bitmap(p.width, p.height)
                                     : velbrook::bench::Synthetic_Photo(p.width, p.height);
    if (p.kind == Kind::Png) bytes = Png_Of(bytes);
    const velbrook::File_Handle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void Spawn(const std::wstring& arguments) { velbrook::bench::Run_Case(arguments); }

}  // namespace

int main(int argc, char** argv) {
    try {
        if (argc == 6 && std::strcmp(argv[1], "--memory") == 0)
            return Run_Memory_Case(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]) != 0,
                                   std::atoi(argv[5]) != 0);
        if (argc == 2 && std::strcmp(argv[1], "--time") == 0) return Run_Time_Case();
        if (argc == 2 && std::strcmp(argv[1], "--sheet") == 0) return Run_Sheet_Case();
        if (argc == 3 && std::strcmp(argv[1], "--decoder") == 0) return Run_Decoder_Case(std::atoi(argv[2]));
        if (argc == 4 && std::strcmp(argv[1], "--preview") == 0)
            return Run_Preview_Case(std::atoi(argv[2]), std::atoi(argv[3]) != 0);
    } catch (const std::exception& failure) {
        std::printf("  failed: %s\n", failure.what());
        return 1;
    }
    bool whole = false;
    std::string only;
    for (int k = 1; k < argc; ++k) {
        if (std::strcmp(argv[k], "--whole") == 0)
            whole = true;
        else
            only = argv[k];
    }
    const auto chosen = [&](int photo) { return std::string(Photos[photo].name).find(only) != std::string::npos; };
    const std::wstring mode = whole ? L" 1" : L" 0";
    std::printf("peak working set above idle, one page each, %zu-bit build%s\n", sizeof(void*) * 8,
                whole ? ", every picture whole" : "");
    for (int photo = 0; photo < Printed_Photos; ++photo) {
        if (!chosen(photo)) continue;
        Make_Photo(photo);
        for (int resolution = 0; resolution < 2; ++resolution)
            for (int turned = 0; turned < 2; ++turned)
                Spawn(L"--memory " + std::to_wstring(photo) + L" " + std::to_wstring(resolution) + L" " +
                      std::to_wstring(turned) + mode);
        if (Photos[photo].kind == Kind::Png) Spawn(L"--decoder " + std::to_wstring(photo));
    }
    std::printf("the preview\n");
    for (int photo : Previewed_Photos) {
        if (!chosen(photo)) continue;
        Make_Photo(photo);
        Spawn(L"--preview " + std::to_wstring(photo) + mode);
    }
    if (!chosen(Timed_Photo)) return 0;
    Make_Photo(Timed_Photo);
    std::printf("time per page\n");
    Spawn(L"--time");
    std::printf("a contact sheet, printed by the print run\n");
    Spawn(L"--sheet");
    return 0;
}
