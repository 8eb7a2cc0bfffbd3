#include "picture_list/commands.h"

#include "toolkit/application.h"
#include "toolkit/failure.h"

namespace velbrook {

namespace {

const wchar_t no_files_to_move[] = L"There are no files in the list to move.";
const wchar_t none_selected[] = L"None of the files in the list have been selected.";

// The checks the three commands share, in their order.  Returns the selected
// index, or -1 after the error box.
int Selected_For_Command(List_Window& window) {
    if (window.list.Empty()) {
        Error_Box(window.dialogs, no_files_to_move);
        return -1;
    }
    int index = window.list.Selected_Index();
    if (index < 0) Error_Box(window.dialogs, none_selected);
    return index;
}

void Move(List_Window& window, int step) {
    int index = Selected_For_Command(window);
    if (index < 0) return;
    if (step < 0 && index == 0) {
        Error_Box(window.dialogs, L"This file is already at the top of the list.");
        return;
    }
    if (step > 0 && index == window.list.Count() - 1) {
        Error_Box(window.dialogs, L"This file is already at the bottom of the list.");
        return;
    }
    window.list.Swap_Entries(index, index + step);
    window.list.Select_Index(index + step);
    window.Set_Status(step < 0 ? L"  File moved \"up\", as requested !" : L"  File moved \"down\", as requested !");
    window.changed.Set_Checked(true);
}

}  // namespace

void Move_Up_BitBtnClick(List_Window& window) { Move(window, -1); }

void Move_Down_BitBtnClick(List_Window& window) { Move(window, +1); }

void Remove_Item_BitBtnClick(List_Window& window) {
    int index = Selected_For_Command(window);
    if (index < 0) return;
    window.list.Remove(index);
    if (index > window.list.Count() - 1) index = window.list.Count() - 1;
    window.list.Select_Index(index);
    File_ListBoxClick(window);
    window.Set_Status(L"  File removed, as requested !");
    window.changed.Set_Checked(true);
}

void Reset_BitBtnClick(List_Window& window) {
    if (Confirm_Box(window.dialogs, L"Reset the file list ?  Are you sure ?") != Answer::Yes) return;
    window.list.Clear();
    window.Set_Status(L"  File list erased, as requested !");
    window.preview.Clear();
    window.changed.Set_Checked(true);
    window.erased.Set_Checked(true);
}

void Sort_List_BitBtnClick(List_Window& window) {
    window.list.Set_Sorted(true);
    Wait_Milliseconds(200);
    window.list.Set_Sorted(false);
    window.Set_Status(L"  File list sorted, as requested.");
    window.changed.Set_Checked(true);
}

void File_ListBoxClick(List_Window& window) {
    std::wstring path = window.list.Selected_Entry();
    if (path.empty() || path == L"." || path == L".." || !File_Exists(path)) {
        window.preview.Clear();
        return;
    }
    window.Set_Status(L"  " + path);
    const Bounds& box = window.preview.Get_Bounds();
    try {
        window.preview.Set_Picture(window.load_picture(path, SIZE{box.width, box.height}, window.page_options()));
    } catch (const Invalid_Picture&) {
        window.preview.Clear();
    }
}

}  // namespace velbrook
