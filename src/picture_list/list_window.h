#pragma once
// What the picture-list commands need of the main window: the list, the
// status line, the hidden flags, the preview and the dialogs.  The main
// window fills this in once; nothing here knows the window's class.

#include <functional>
#include <memory>
#include <string>

#include "picture/placement.h"
#include "picture_list/picture_list.h"
#include "toolkit/application.h"
#include "toolkit/controls.h"
#include "toolkit/dialogs.h"

namespace velbrook {

// Loads a picture for a box of the given size, to be shown there as the
// options place it; throws Invalid_Picture for a file that is not a valid
// picture of its kind.
using Picture_Loader =
    std::function<std::shared_ptr<const Drawable>(const std::wstring& path, SIZE target, const Page_Options& options)>;

struct List_Window {
    Picture_List& list;
    Status_Bar& status_bar;
    Check_Box& changed;  // the list differs from the last saved or loaded file
    Check_Box& erased;   // the list was erased with Reset since the last save
    Edit& file_list_name;
    Image_Box& preview;
    File_Dialog& open_dialog;
    File_Dialog& save_dialog;
    Dialogs& dialogs;
    // Whose cursor shows the hourglass while the list is busy; null: nobody's.
    Application* application = nullptr;
    std::wstring program_folder;  // with its trailing backslash
    Picture_Loader load_picture;
    // The Options menu as it stands.
    std::function<Page_Options()> page_options = [] { return Page_Options{}; };

    void Set_Status(const std::wstring& text) { status_bar.Set_Panel_Text(text); }
    std::wstring Status() const { return status_bar.Panel_Text(); }
};

}  // namespace velbrook
