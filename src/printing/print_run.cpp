#include "printing/print_run.h"

#include <new>

#include "picture/file_type.h"
#include "printing/print_texts.h"
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

namespace {

// One page of a picture file as the print run holds it: the picture itself.
class Printed_Item final : public Sheet_Item {
public:
    explicit Printed_Item(std::shared_ptr<const Picture> picture) : picture_(std::move(picture)) {}
    int Page_Count() const override { return picture_->Page_Count(); }
    int Orientation_Tag() const override { return picture_->Orientation_Tag(); }
    SIZE Loaded_Size() const override { return picture_->Pixel_Size(); }
    const Picture& Get() const { return *picture_; }

private:
    std::shared_ptr<const Picture> picture_;
};

// Sheets on the chosen printer.  Each sheet shows its number on the status
// line and waits a moment before and after its drawing, so that the
// window stays alive between sheets.
class Printer_Surface final : public Sheet_Surface {
public:
    Printer_Surface(Printer& printer, Print_Host& host, const Print_Environment& environment,
                    const Page_Options& options, std::int64_t start_ms)
        : printer_(printer), host_(host), environment_(environment), options_(options), start_ms_(start_ms) {}

    Sheet_Paper Paper() const override { return printer_.Paper(); }

    std::unique_ptr<Sheet_Item> Load(const std::wstring& path, const Picture_Request& request) override {
        // Let the preview's last picture go first, so that two page-sized
        // pictures are never held at once.
        host_.Set_Preview(nullptr);
        std::shared_ptr<const Picture> picture;
        Skipping_Unloadable(path, [&] {
            picture = Load_Picture_For(path, request);
            host_.Set_Preview(picture);
        });
        if (!picture) return nullptr;
        return std::make_unique<Printed_Item>(std::move(picture));
    }

    void Begin_Sheet(int sheet, int expected) override {
        // The first sheet is the page that beginning the job opened.
        if (sheet > 1) printer_.New_Page();
        host_.Set_Status(
            Progress_Text(printer_.Page_Number(), expected, Elapsed_Seconds(start_ms_, environment_.clock_ms())));
        environment_.process_messages();
        environment_.wait_milliseconds(100);
    }

    void Draw(Sheet_Item& item, const std::wstring& path, const Box& target, const Cell_Caption& caption) override {
        if (Drawing_For(path, options_.more_types) == Page_Drawing::Nothing) return;
        const Picture& picture = static_cast<Printed_Item&>(item).Get();
        const RECT rect{target.left, target.top, target.right, target.bottom};
        try {
            if (options_ == Page_Options{}) {
                printer_.Draw(picture, rect);
            } else {
                const Placement placement = Place_On(picture, options_, rect, caption.strip_height);
                printer_.Draw_Placed(picture, placement);
                if (options_.print_file_names)
                    printer_.Draw_Caption(File_Name_Of(path), placement.caption, caption.font_height);
            }
        } catch (const std::bad_alloc&) {
            throw Failure(L"There is not enough memory to print \"" + path + L"\"");
        }
    }

    void End_Sheet(int) override {
        environment_.wait_milliseconds(100);
        environment_.process_messages();
    }

private:
    Printer& printer_;
    Print_Host& host_;
    const Print_Environment& environment_;
    Page_Options options_;
    std::int64_t start_ms_;
};

}  // namespace

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
    Printer_Surface surface(*printer, host_, environment_, options, start_ms_);
    Run_Sheets({.host = host_,
                .surface = surface,
                .layout = layout,
                .options = options,
                .process_messages = environment_.process_messages,
                .stopping = [this] { return host_.Abort_Requested() || environment_.program_ending(); },
                .entry_done =
                    [&](int index) {
                        if (taskbar) taskbar->Set(index + 1, host_.Entry_Count());
                    }},
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
