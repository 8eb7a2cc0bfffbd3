#pragma once
// File > "Print Preview...": every sheet of the list drawn as the print run
// will draw it, one at a time, through the same sheet loop and printer
// surface onto a bitmap at the window's scale; and printing from it, all
// the sheets or a range.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "printing/print_run.h"
#include "printing/sheet_plan.h"
#include "toolkit/choice_controls.h"
#include "toolkit/controls.h"
#include "toolkit/form.h"
#include "toolkit/handles.h"

namespace velbrook {

struct Print_Preview_Setup {
    Print_Host& host;  // the list, the options, the layout and the dialogs
    Font_Spec font;
    // The paper of the printer chosen in the last set-up dialog, or of the
    // default printer; nothing without a printer.
    std::function<std::optional<Sheet_Paper>()> printer_paper;
    // The PDF save's paper for a layout.
    std::function<Sheet_Paper(const Sheet_Layout&)> pdf_paper;
    // Where the window's place is kept ("[Preview]").
    std::function<std::wstring()> settings_file;
};

// What the window asked for when it closed: the sheets to print, if any.
struct Preview_Print {
    int first_sheet = 1;
    int last_sheet = std::numeric_limits<int>::max();
};

// Sheets kept drawn, so that going back is instant.
inline constexpr std::int64_t Preview_Cache_Bytes = 64ll * 1024 * 1024;

class Sheet_View;

class Print_Preview : public Form {
public:
    explicit Print_Preview(Print_Preview_Setup setup);
    ~Print_Preview() override;

    // Modal over `owner`; what to print once it is closed.  An empty list
    // gives the print run's box and no window.
    std::optional<Preview_Print> Run(HWND owner);

    int Sheet() const { return wanted_; }
    // The sheets are being counted or one is being drawn.
    bool Busy() const { return counting_ > 0 || drawing_; }
    int Sheet_Count() const { return count_; }
    void Go_To(int sheet);
    // The sheet on screen, as drawn; null while it is being drawn.
    HBITMAP Shown_Sheet() const;
    // Where the paper lies in the view, in the view's pixels.
    RECT Paper_Place() const;

    Button& First_Button;
    Button& Previous_Button;
    Button& Next_Button;
    Button& Last_Button;
    Label& Sheet_Label;
    Label& Paper_Label;
    Combo_Box& Paper_ComboBox;  // "Printer", "PDF file"
    Button& Print_Button;
    Label& From_Label;
    Edit& From_Edit;
    Label& To_Label;
    Edit& To_Edit;
    Button& Print_These_Button;
    Button& Close_Button;
    Sheet_View& View;

protected:
    LRESULT Handle_Message(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    void Wire_Handlers();
    void Arrange();
    // The paper and plan of the choice, the sheets counted.
    void Plan();
    void Draw_Wanted();
    Bitmap_Handle Draw_Sheet(int sheet);
    void Update_Controls();
    void Print_These_Click();
    void Keep(int sheet, Bitmap_Handle bitmap);

    Print_Preview_Setup setup_;
    Sheet_Paper paper_{};  // as shown
    Sheet_Plan plan_;      // in the shown paper's pixels
    bool have_plan_ = false;
    int count_ = 0;
    int wanted_ = 1;
    bool drawing_ = false;
    int counting_ = 0;  // counts under way (a resize may begin another)
    bool placed_by_user_ = false;
    std::map<int, Bitmap_Handle> drawn_;
    std::int64_t drawn_bytes_ = 0;
    std::optional<Preview_Print> result_;
};

}  // namespace velbrook
