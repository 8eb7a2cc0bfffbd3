#include "printing/print_run.h"

#include <new>

#include "picture/file_type.h"
#include "printing/print_texts.h"
#include "printing/printer_surface.h"
#include "printing/sheet_run.h"
#include "printing/taskbar_progress.h"
#include "shell/text_utils.h"
#include "toolkit/application.h"

namespace velbrook {

std::int64_t Print_Environment::Monotonic_Milliseconds() { return static_cast<std::int64_t>(::GetTickCount64()); }
void Print_Environment::Default_Process_Messages() { Process_Messages(); }
void Print_Environment::Default_Wait_Milliseconds(unsigned milliseconds) { Wait_Milliseconds(milliseconds); }
bool Print_Environment::Default_Program_Ending() { return Program_Ending(); }

Print_Run::Print_Run(Print_Host& host, Print_Environment environment)
    : host_(host), environment_(std::move(environment)) {}

void Print_Run::Abort_BitBtnClick() {
    host_.Set_Abort_Requested(true);
    host_.Set_Status(Aborting_Text);
    environment_.process_messages();
}

void Print_Run::Print_BitBtnClick() { Print_Sheets(1, std::numeric_limits<int>::max()); }

void Print_Run::Print_Sheets(int first_sheet, int last_sheet) {
    // The messages served during a run could bring a second press (a key, a
    // click queued before the window turned busy): one run at a time.
    if (running_) return;
    first_sheet_ = first_sheet;
    last_sheet_ = last_sheet;
    if (host_.Entry_Count() <= 0) {
        Information_Box(host_.Dialogs_(), Empty_List_Text);
        return;
    }
    const std::optional<Printer_Selection> selection = host_.Dialogs_().Show_Printer_Setup();
    if (selection) last_selection_ = selection;
    running_ = true;
    struct Finally {
        Print_Run& run;
        ~Finally() { run.Finish(); }
    } finally{*this};
    if (!selection) return;

    Enter_Busy_State(host_, environment_.process_messages);
    start_ms_ = environment_.clock_ms();

    std::unique_ptr<Printer> printer;
    std::optional<std::wstring> failure;
    Guarded([&] { Run_Job(*selection, printer); }, On_Failure{[&](std::exception_ptr stopped) {
                const std::wstring reason = With_Full_Stop(Failure_Text(stopped));
                // The pages drawn so far still go out: the job is ended, not
                // cancelled.  The box below already says the printer failed,
                // so a failing end says nothing more.
                if (printer) Guarded([&] { printer->End_Document(); }, On_Failure{[](std::exception_ptr) {}});
                host_.Set_Status(Stopped_Text(reason));
                failure = reason;
            }});
    printer.reset();
    // The box comes once the window is back to normal, so that nothing stays
    // busy behind it.
    Finish();
    if (failure) Error_Box(host_.Dialogs_(), L"Printing has stopped.\r\n\r\n" + *failure);
}

void Print_Run::Run_Job(const Printer_Selection& selection, std::unique_ptr<Printer>& printer) {
    printer = environment_.open_printer(selection);
    const SIZE page = printer->Page_Size();
    const RECT rect{Page_Margin, Page_Margin, page.cx - Page_Margin, page.cy - Page_Margin};
    if (rect.right <= rect.left || rect.bottom <= rect.top)
        throw Failure(L"The page of the printer \"" + selection.device + L"\" is too small to print on (" +
                      std::to_wstring(page.cx) + L" x " + std::to_wstring(page.cy) + L" pixels)");
    // The options and the layout hold for the whole run, as the page size does.
    const Page_Options options = host_.Options();
    const Sheet_Layout layout = host_.Layout();
    const Sheet_Paper paper = printer->Paper();
    if (layout.kind != Sheet_Kind::One_Per_Page && !Paper_Is_Sane(paper))
        throw Failure(L"The printer \"" + selection.device + L"\" reports a sheet that cannot be laid out (" +
                      std::to_wstring(paper.paper_width) + L" x " + std::to_wstring(paper.paper_height) +
                      L" pixels at " + std::to_wstring(paper.dots_x) + L" x " + std::to_wstring(paper.dots_y) +
                      L" dots an inch)");
    const Sheet_Plan plan = Plan_Sheet(paper, layout);
    if (plan.cells.empty())
        throw Failure(L"The margin leaves no room for a picture on the page of the printer \"" + selection.device +
                      L"\"");

    environment_.process_messages();
    printer->Begin_Document(Print_Job_Title);
    std::optional<Taskbar_Progress> taskbar;
    if (environment_.taskbar_progress) taskbar.emplace(host_.Main_Window());
    Printer_Surface surface(*printer, host_, options,
                            Printer_Progress{.process_messages = environment_.process_messages,
                                             .wait_milliseconds = environment_.wait_milliseconds,
                                             .clock_ms = environment_.clock_ms,
                                             .start_ms = start_ms_});
    Run_Sheets({.host = host_,
                .surface = surface,
                .layout = layout,
                .options = options,
                .process_messages = environment_.process_messages,
                .stopping = [this] { return host_.Abort_Requested() || environment_.program_ending(); },
                .entry_done =
                    [&](int index) {
                        if (taskbar) taskbar->Set(index + 1, host_.Entry_Count());
                    },
                .first_sheet = first_sheet_,
                .last_sheet = last_sheet_},
               plan);

    printer->End_Document();
    if (host_.Abort_Requested()) {
        host_.Set_Status(Aborted_Text);
        return;
    }
    host_.Set_Status(Success_Text(host_.Entry_Count(), Elapsed_Seconds(start_ms_, environment_.clock_ms())));
}

void Enter_Busy_State(Print_Host& host, const std::function<void()>& process_messages) {
    host.Enable_Main_Window(false);
    process_messages();
    host.Show_Abort_Panel(true);
    process_messages();
    host.Set_Abort_Requested(false);
}

void Leave_Busy_State(Print_Host& host, const std::function<void()>& process_messages) noexcept {
    Guarded([&] {
        host.Show_Abort_Panel(false);
        host.Enable_Main_Window(true);
        process_messages();
    });
}

void Print_Run::Finish() noexcept {
    if (!running_) return;
    Leave_Busy_State(host_, environment_.process_messages);
    running_ = false;
}

}  // namespace velbrook
