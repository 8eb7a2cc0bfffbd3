#pragma once
// The print run: every entry of the picture list, top to bottom, one picture
// per page or several to a sheet as the layout says, as one job titled
// "Orvel Pics".  It stays on the user-interface
// thread and lets the message loop run between its steps, so that the window
// repaints, the menu bar works and the Abort button can be pressed.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>

#include "picture/picture.h"
#include "printing/printer.h"
#include "printing/sheet_plan.h"
#include "toolkit/dialogs.h"

namespace velbrook {

// What the run needs of the main window.  Every call comes on the
// user-interface thread, from inside Print_BitBtnClick or Abort_BitBtnClick.
class Print_Host {
public:
    virtual ~Print_Host() = default;

    // The picture list, read anew at every use: the menu bar stays usable
    // during a run and may change the list.
    virtual int Entry_Count() const = 0;
    // The text of entry `index`, or nothing when the list has no such entry.
    virtual std::optional<std::wstring> Entry(int index) const = 0;
    // Selects entry `index` in the list box (the list routine Select_Index).
    virtual void Select_Index(int index) = 0;

    // The preview Image1: shows `picture`, or nothing when it is null.
    virtual void Set_Preview(std::shared_ptr<const Picture> picture) = 0;
    // Panel 0 of the status bar.
    virtual void Set_Status(const std::wstring& text) = 0;

    // The window's normal (true) or busy (false) state.
    virtual void Enable_Main_Window(bool enabled) = 0;
    // true: enable All_GroupBox again, show and enable Halt_Processing_GroupBox
    // and Abort_BitBtn, and bring the panel to the front over the list.
    // false: hide Halt_Processing_GroupBox.
    virtual void Show_Abort_Panel(bool shown) = 0;

    // The abort-request flag (Halt_Processing_CheckBox).
    virtual bool Abort_Requested() const = 0;
    virtual void Set_Abort_Requested(bool requested) = 0;

    // The Options menu: how each picture is placed on its page.
    virtual Page_Options Options() const { return {}; }
    // Options > "Page Layout...": how many pictures go on each sheet.
    virtual Sheet_Layout Layout() const { return {}; }
    // Entry `index` is left out of the run, for `reason` (words that name
    // the file).  The window says nothing of it: a skipped picture simply
    // takes no cell.
    virtual void Picture_Skipped(int /*index*/, const std::wstring& /*reason*/) {}

    virtual Dialogs& Dialogs_() = 0;
    // The main window, whose taskbar button shows the progress; null: none.
    virtual HWND Main_Window() const = 0;
};

// A host without a window (the print preview's counting, the command line,
// benchmarks): nothing is shown, selected or made busy, and nothing asks the
// run to stop.
class Windowless_Print_Host : public Print_Host {
public:
    void Select_Index(int) override {}
    void Set_Preview(std::shared_ptr<const Picture>) override {}
    void Set_Status(const std::wstring&) override {}
    void Enable_Main_Window(bool) override {}
    void Show_Abort_Panel(bool) override {}
    bool Abort_Requested() const override { return false; }
    void Set_Abort_Requested(bool) override {}
    HWND Main_Window() const override { return nullptr; }
};

// What the run takes from the system; tests replace any part.
struct Print_Environment {
    std::function<std::unique_ptr<Printer>(const Printer_Selection&)> open_printer = Open_Gdi_Printer;
    // Milliseconds of a clock that never goes backwards.
    std::function<std::int64_t()> clock_ms = Monotonic_Milliseconds;
    std::function<void()> process_messages = Default_Process_Messages;
    std::function<void(unsigned)> wait_milliseconds = Default_Wait_Milliseconds;
    // True once the program is ending: the run then stops as after an abort.
    std::function<bool()> program_ending = Default_Program_Ending;
    bool taskbar_progress = true;

    static std::int64_t Monotonic_Milliseconds();
    static void Default_Process_Messages();
    static void Default_Wait_Milliseconds(unsigned milliseconds);
    static bool Default_Program_Ending();
};

// The start of a run that prints or saves: the window busy, the abort panel
// shown over it, and no abort asked for yet.
void Enter_Busy_State(Print_Host& host, const std::function<void()>& process_messages);

// The end of a run that printed or saved: the abort panel hidden and the
// window normal again.  A failure here goes to the general failure handler,
// since the run's own box must still come.
void Leave_Busy_State(Print_Host& host, const std::function<void()>& process_messages) noexcept;

class Print_Run {
public:
    explicit Print_Run(Print_Host& host, Print_Environment environment = {});

    // The "Print / PDF" button.  Every outcome is reported in a box or on
    // the status line; nothing is left busy, whatever fails.
    void Print_BitBtnClick();
    // The same for sheets `first_sheet` to `last_sheet` of the list alone,
    // still one job (the print preview's range).
    void Print_Sheets(int first_sheet, int last_sheet);
    // The "Abort" button: the run stops after the current picture.
    void Abort_BitBtnClick();

    bool Running() const { return running_; }
    // The printer chosen in the last set-up dialog of this session.
    const std::optional<Printer_Selection>& Last_Selection() const { return last_selection_; }

private:
    void Run_Job(const Printer_Selection& selection, std::unique_ptr<Printer>& printer);
    void Finish() noexcept;

    Print_Host& host_;
    Print_Environment environment_;
    bool running_ = false;
    std::int64_t start_ms_ = 0;
    int first_sheet_ = 1, last_sheet_ = std::numeric_limits<int>::max();
    std::optional<Printer_Selection> last_selection_;
};

}  // namespace velbrook
