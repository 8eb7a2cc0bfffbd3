#pragma once
// The menu command identifiers of the main window, in menu order, then the
// commands added later, whose items sit elsewhere in the menus.  Other
// programs (the end-to-end driver) post them as WM_COMMAND.

namespace velbrook::command {

enum : unsigned short {
    Save_File_List = 100,
    Save_File_List_As,
    Load_File_List,
    Always_On_Top,
    Auto_Run_at_Windows_Startup,
    Restore_Factory_Defaults,
    Create_Shortcut_on_Desktop,
    Create_Shortcut_on_Start_Menu,
    Create_Shortcut_on_Start_Programs_Menu,
    Create_Shortcut_on_SendTo_Menu,
    Delete_All_Shortcuts,
    Exit,
    View_Readme_file,
    View_Shareware_Catalog,
    About,
    Save_Pictures_as_PDF_File,  // File menu, after Load File List
};

}  // namespace velbrook::command
