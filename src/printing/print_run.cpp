#include "printing/print_run.h"

#include <new>

#include "picture/file_type.h"
#include "printing/print_texts.h"
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

void Print_Run::Print_BitBtnClick() {
    // The messages served during a run could bring a second press (a key, a
    // click queued before the window turned busy): one run at a time.
    if (running_) return;
    if (host_.Entry_Count() <= 0) {
        Information_Box(host_.Dialogs_(), Empty_List_Text);
        return;
    }
    const std::optional<Printer_Selection> selection = host_.Dialogs_().Show_Printer_Setup();
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
    const SIZE page_box{rect.right - rect.left, rect.bottom - rect.top};

    int printed = 0;
    environment_.process_messages();
    printer->Begin_Document(Print_Job_Title);
    std::optional<Taskbar_Progress> taskbar;
    if (environment_.taskbar_progress) taskbar.emplace(host_.Main_Window());
    // The options hold for the whole run, as the page size does.
    const Page_Options options = host_.Options();
    const int caption_height = options.print_file_names ? Caption_Strip_Height(printer->Pixels_Per_Inch()) : 0;

    for (int index = 0;; ++index) {
        if (index > host_.Entry_Count() - 1 || host_.Abort_Requested() || environment_.program_ending()) break;
        host_.Select_Index(index);
        environment_.process_messages();
        // The list may have shrunk while the messages were served.
        const std::optional<std::wstring> path = host_.Entry(index);
        if (!path) break;
        Picture_Request request{.target = page_box, .options = options, .caption_height = caption_height};
        std::shared_ptr<const Picture> picture = Load_For_Page(*path, request);
        environment_.process_messages();
        // A multi-page TIFF gives every page its own sheet, in order.
        const int pages = picture ? picture->Page_Count() : 0;
        for (int page = 0; picture;) {
            Print_Page(*printer, *picture, *path, rect, options, caption_height, printed);
            if (++page >= pages || host_.Abort_Requested() || environment_.program_ending()) break;
            picture.reset();
            request.page = page;
            picture = Load_For_Page(*path, request);
        }
        if (taskbar) taskbar->Set(index + 1, host_.Entry_Count());
    }

    printer->End_Document();
    if (host_.Abort_Requested()) {
        host_.Set_Status(Aborted_Text);
        return;
    }
    host_.Set_Status(Success_Text(host_.Entry_Count(), Elapsed_Seconds(start_ms_, environment_.clock_ms())));
}

void Print_Run::Print_Page(Printer& printer, const Picture& picture, const std::wstring& path, const RECT& rect,
                           const Page_Options& options, int caption_height, int& printed) {
    if (++printed > 1) printer.New_Page();
    host_.Set_Status(
        Progress_Text(printer.Page_Number(), host_.Entry_Count(), Elapsed_Seconds(start_ms_, environment_.clock_ms())));
    environment_.process_messages();
    environment_.wait_milliseconds(100);
    if (Drawing_For(path, options.more_types) != Page_Drawing::Nothing) {
        try {
            if (options == Page_Options{}) {
                printer.Draw(picture, rect);
            } else {
                const Placement placement = Place_On(picture, options, rect, caption_height);
                printer.Draw_Placed(picture, placement);
                if (options.print_file_names)
                    printer.Draw_Caption(File_Name_Of(path), placement.caption, Caption_Font_Height(caption_height));
            }
        } catch (const std::bad_alloc&) {
            throw Failure(L"There is not enough memory to print \"" + path + L"\"");
        }
    }
    environment_.wait_milliseconds(100);
    environment_.process_messages();
}

std::shared_ptr<const Picture> Print_Run::Load_For_Page(const std::wstring& path, const Picture_Request& request) {
    // Let the preview's last picture go first, so that two page-sized
    // pictures are never held at once.
    host_.Set_Preview(nullptr);
    std::shared_ptr<const Picture> picture;
    Skipping_Unloadable(path, [&] {
        picture = Load_Picture_For(path, request);
        host_.Set_Preview(picture);
    });
    return picture;
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
