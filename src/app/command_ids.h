#pragma once
// The menu command identifiers of the main window.  Other
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
    // The Options menu comes between File and Help, but its identifiers come
    // after the classic ones, so that those never move.
    Stretch_to_the_Page,
    Fit_Inside_the_Page,
    Fill_the_Page,
    Turn_to_Suit_the_Page,
    Follow_the_Cameras_Orientation,
    Print_File_Names,
    Accept_PNG_GIF_and_TIFF_Files,
    // In the File menu after Load File List; added later, so it comes last.
    Save_Pictures_as_PDF_File,
    // At the end of the Options menu, after a separator; added later still.
    Page_Layout,
    // In the File menu after Save Pictures as PDF File; added last.
    Print_Preview,
};

}  // namespace velbrook::command
