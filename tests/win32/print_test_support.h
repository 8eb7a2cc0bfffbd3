#pragma once
// A main window stand-in for the print run: it keeps the list, the flags and
// the status line as plain values and writes every call into a log, so that
// tests can see the order of the run's steps.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "picture_test_support.h"
#include "printing/print_run.h"
#include "recording_printer.h"
#include "../support/scripted_dialogs.h"

namespace velbrook::testing {

class Fake_Print_Host : public Print_Host {
public:
    std::vector<std::wstring> entries;
    std::wstring status = L"  before the run";
    std::vector<std::wstring> statuses;
    std::vector<std::wstring> log;
    std::shared_ptr<const Picture> preview;
    bool enabled = true;
    bool panel_shown = false;
    bool abort_requested = false;
    Page_Options options;
    Sheet_Layout layout;
    Scripted_Dialogs dialogs;
    std::function<void(int)> on_select;
    std::function<void(const std::wstring&)> on_status;

    int Entry_Count() const override { return static_cast<int>(entries.size()); }
    std::optional<std::wstring> Entry(int index) const override {
        if (index < 0 || index >= Entry_Count()) return std::nullopt;
        return entries[static_cast<std::size_t>(index)];
    }
    void Select_Index(int index) override {
        log.push_back(L"select " + std::to_wstring(index));
        if (on_select) on_select(index);
    }
    void Set_Preview(std::shared_ptr<const Picture> picture) override {
        if (picture) log.push_back(L"preview");
        preview = std::move(picture);
    }
    void Set_Status(const std::wstring& text) override {
        status = text;
        statuses.push_back(text);
        log.push_back(L"status");
        if (on_status) on_status(text);
    }
    void Enable_Main_Window(bool enabled_now) override {
        enabled = enabled_now;
        log.push_back(enabled_now ? L"normal" : L"busy");
    }
    void Show_Abort_Panel(bool shown) override {
        panel_shown = shown;
        log.push_back(shown ? L"panel shown" : L"panel hidden");
    }
    bool Abort_Requested() const override { return abort_requested; }
    void Set_Abort_Requested(bool requested) override { abort_requested = requested; }
    Page_Options Options() const override { return options; }
    Sheet_Layout Layout() const override { return layout; }
    Dialogs& Dialogs_() override { return dialogs; }
    HWND Main_Window() const override { return nullptr; }

    int Count(const std::wstring& entry) const {
        int n = 0;
        for (const auto& e : log) n += e == entry;
        return n;
    }
    std::size_t Index_Of(const std::wstring& entry, std::size_t from = 0) const {
        for (std::size_t k = from; k < log.size(); ++k)
            if (log[k] == entry) return k;
        return log.size();
    }
};

// One run's world: the host, a recording printer behind the factory, and a
// clock the test sets.
struct Print_Bench {
    Fake_Print_Host host;
    std::shared_ptr<Print_Recording> recording = std::make_shared<Print_Recording>();
    Recording_Options options;
    std::int64_t now_ms = 0;
    int printers_opened = 0;
    bool real_waits = false;
    std::unique_ptr<Print_Run> run;

    Print_Bench() {
        host.dialogs.printer_answers.push_back(Printer_Selection{.device = L"Test"});
        Print_Environment environment;
        environment.open_printer = [this](const Printer_Selection&) -> std::unique_ptr<Printer> {
            ++printers_opened;
            return std::make_unique<Recording_Printer>(recording, options);
        };
        environment.clock_ms = [this] { return now_ms; };
        environment.wait_milliseconds = [this](unsigned ms) {
            host.log.push_back(L"wait " + std::to_wstring(ms));
            if (real_waits)
                Print_Environment::Default_Wait_Milliseconds(ms);
            else
                Print_Environment::Default_Process_Messages();
        };
        environment.taskbar_progress = false;
        run = std::make_unique<Print_Run>(host, std::move(environment));
    }
    void Another_Printer_Answer() { host.dialogs.printer_answers.push_back(Printer_Selection{.device = L"Test"}); }

    const Recorded_Page& Page(std::size_t k) const { return recording->pages.at(k); }
    Rgb At(std::size_t page, int x, int y) const {
        const std::uint32_t p = Recorded_Pixel(Page(page), options.scale, x, y);
        return {static_cast<int>(p >> 16 & 0xFF), static_cast<int>(p >> 8 & 0xFF), static_cast<int>(p & 0xFF)};
    }
    bool Blank(std::size_t page) const {
        for (std::uint32_t p : Page(page).pixels)
            if (p != 0xFFFFFF) return false;
        return true;
    }
};

}  // namespace velbrook::testing
