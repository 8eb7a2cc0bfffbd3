#pragma once
// Options > "Page Layout...": how many pictures go on each sheet, the
// margin, the space between them, the copies of each, and the paper of a
// saved PDF, with a drawing of the first sheet that follows the fields.

#include <functional>
#include <optional>

#include "app/layout_fields.h"
#include "app/sheet_drawing.h"
#include "printing/sheet_plan.h"
#include "toolkit/choice_controls.h"
#include "toolkit/controls.h"
#include "toolkit/dialogs.h"
#include "toolkit/form.h"

namespace velbrook {

struct Page_Layout_Setup {
    Dialogs& dialogs;  // for the box that refuses a value
    Font_Spec font;    // the main window's
    Sheet_Drawing_Source pictures;
    // LOCALE_IPAPERSIZE of the user's locale.
    std::function<int()> paper_size_code;
};

class Page_Layout_Dialog : public Form {
public:
    explicit Page_Layout_Dialog(Page_Layout_Setup setup);

    // Shows `layout` in the fields, modally over `owner`: the layout as OK
    // took it, or nothing when the dialog was cancelled or closed.
    std::optional<Sheet_Layout> Run(HWND owner, const Sheet_Layout& layout);

    // Handlers.
    void OK_ButtonClick();
    void Cancel_ButtonClick();
    void FormKeyDown(WORD& key);

    Group_Box& Sheet_GroupBox;
    Radio_Button& One_Per_Page_RadioButton;
    Radio_Button& Grid_RadioButton;
    Radio_Button& Print_Size_RadioButton;
    Radio_Button& Actual_Size_RadioButton;
    Label& Columns_Label;
    Edit& Columns_Edit;
    Label& Rows_Label;
    Edit& Rows_Edit;
    Combo_Box& Print_Size_ComboBox;  // the print sizes, then "Custom"
    Label& Width_Label;
    Edit& Width_Edit;
    Label& Height_Label;
    Edit& Height_Edit;

    Group_Box& Spacing_GroupBox;
    Label& Margin_Label;
    Edit& Margin_Edit;
    Label& Spacing_Label;
    Edit& Spacing_Edit;
    Label& Copies_Label;
    Edit& Copies_Edit;

    Group_Box& Paper_GroupBox;
    Label& Paper_Label;
    Combo_Box& Paper_ComboBox;
    Radio_Button& Portrait_RadioButton;
    Radio_Button& Landscape_RadioButton;

    Group_Box& Drawing_GroupBox;
    Sheet_Drawing& Sheet_Image;

    Button& OK_Button;
    Button& Cancel_Button;

private:
    // A field that refuses what was typed, and the rule it breaks.
    struct Refusal {
        Edit* field = nullptr;
        const Layout_Field* rule = nullptr;
    };
    void Wire_Handlers();
    void Load(const Sheet_Layout& layout);
    Sheet_Kind Chosen_Kind() const;
    std::optional<Named_Size> Chosen_Print_Size() const;
    Named_Size Chosen_Paper() const;
    // The layout as the fields stand; see the source for which fields count.
    Sheet_Layout Typed_Layout(std::optional<Refusal>* refusal) const;
    void Print_Size_Chosen();
    void Fields_Changed();

    Page_Layout_Setup setup_;
    std::wstring locale_paper_;
    Sheet_Layout opened_;
    std::optional<Sheet_Layout> result_;
    bool loading_ = false;
    bool focus_pending_ = false;
};

}  // namespace velbrook
