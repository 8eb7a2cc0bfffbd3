#pragma once
// The settings file: "velbrook.ini" beside the program, section "velbrook".
// It keeps the main window's normal placement, whether it was maximised, the
// two menu options and the current file list file between runs.

#include <functional>
#include <optional>
#include <string>

#include "picture/placement.h"
#include "printing/sheet_plan.h"
#include "shell/code_page.h"  // Ansi_Can_Hold decides the file's encoding
#include "toolkit/component.h"
#include "toolkit/dialogs.h"

namespace velbrook {

class Form;

inline constexpr wchar_t Settings_File_Name[] = L"velbrook.ini";
inline constexpr wchar_t Settings_Section[] = L"velbrook";

// Keys, in the order Save_Settings writes them.
inline constexpr wchar_t Key_Maximized[] = L"WindowState_wsMaximized";
inline constexpr wchar_t Key_Top[] = L"window_top_posn";
inline constexpr wchar_t Key_Left[] = L"window_left_posn";
inline constexpr wchar_t Key_Width[] = L"window_Width";
inline constexpr wchar_t Key_Height[] = L"window_Height";
inline constexpr wchar_t Key_Always_On_Top[] = L"Always_on_Top_Option";
inline constexpr wchar_t Key_Auto_Run[] = L"Auto_Run_at_Windows_Startup_Option";
inline constexpr wchar_t Key_File_List_Name[] = L"File_List_Name_Edit";

// The Options menu has a section of its own after the first, so that the
// first section stays exactly as it always was.
inline constexpr wchar_t Options_Section[] = L"Options";
inline constexpr wchar_t Key_Placement[] = L"Placement";  // 0 stretch, 1 fit, 2 fill
inline constexpr wchar_t Key_Turn_To_Page[] = L"Turn_to_Suit_the_Page";
inline constexpr wchar_t Key_Camera_Orientation[] = L"Follow_the_Cameras_Orientation";
inline constexpr wchar_t Key_File_Names[] = L"Print_File_Names";
inline constexpr wchar_t Key_More_Types[] = L"Accept_PNG_GIF_and_TIFF_Files";

// Options > "Page Layout..." has a section of its own after the Options one.
// Lengths are in tenths of a millimetre, the paper by its name in the dialog.
inline constexpr wchar_t Layout_Section[] = L"Layout";
inline constexpr wchar_t Key_Sheet_Layout[] = L"Sheet_Layout";  // 0 one per page, 1 grid, 2 print size, 3 actual size
inline constexpr wchar_t Key_Columns[] = L"Columns";
inline constexpr wchar_t Key_Rows[] = L"Rows";
inline constexpr wchar_t Key_Print_Width[] = L"Print_Width";
inline constexpr wchar_t Key_Print_Height[] = L"Print_Height";
inline constexpr wchar_t Key_Margin[] = L"Margin";
inline constexpr wchar_t Key_Spacing[] = L"Spacing";
inline constexpr wchar_t Key_Copies[] = L"Copies";
inline constexpr wchar_t Key_Pdf_Paper[] = L"Pdf_Paper";
inline constexpr wchar_t Key_Pdf_Landscape[] = L"Pdf_Landscape";

// File > "Print Preview..." keeps its window's place in a section of its
// own, written only once the window has been moved or sized.
inline constexpr wchar_t Preview_Section[] = L"Preview";
inline constexpr wchar_t Key_Preview_Left[] = L"Left";
inline constexpr wchar_t Key_Preview_Top[] = L"Top";
inline constexpr wchar_t Key_Preview_Width[] = L"Width";
inline constexpr wchar_t Key_Preview_Height[] = L"Height";

// Longest text value read back.
inline constexpr int Longest_Setting_Text = 2047;

struct Settings {
    int top = 20, left = 20, width = 576, height = 398;
    bool always_on_top = false, auto_run = false, maximized = false;
    std::wstring file_list_name;
};

// The settings file of a program: its folder + "velbrook.ini", whatever the
// program file is called.
std::wstring Settings_Path(const std::wstring& program_path);

// Where a run keeps its settings.  Beside the program while the program may
// write that file (a copy unpacked anywhere; and a file held open by another
// program still counts as its own).  When it may not (installed for every
// user into Program Files), "velbrook.ini" in `user_folder`, made then with
// the folder, as a copy of the file beside the program when that exists.
// An empty `user_folder` always gives the file beside the program.
std::wstring Choose_Settings_Path(const std::wstring& program_path, const std::wstring& user_folder);
// The file Choose_Settings_Path would give, for a run that only reads it:
// nothing is made or copied.  Where that would copy the file beside the
// program, the file beside the program itself.
std::wstring Settings_Path_To_Read(const std::wstring& program_path, const std::wstring& user_folder);
// The user's own folder for it: %APPDATA%\Velbrook ("" when the system names none).
std::wstring User_Settings_Folder();

// Every key, the default standing in for a missing key or an unreadable value.
Settings Read_Settings(const std::wstring& ini_path);

// Every write below replaces the file whole (a copy beside it written with
// the profile functions, then moved over it), so that a refused write leaves
// the file as it was; it raises Failure "Unable to write to <ini_path>".

// One key.
void Write_Setting(const std::wstring& ini_path, const wchar_t* key, const std::wstring& value);
// All eight keys in their order.
void Write_Settings(const std::wstring& ini_path, const Settings& settings);

// The close's first step: writes the window's present state.  A maximised
// window is recorded as such and restored first, so that the geometry written
// is its normal placement; a minimised one gives its normal placement too.
// A refused write raises Failure and changes nothing.
struct Saved_Marks {
    bool always_on_top = false;  // the menu's marks as they stand
    bool auto_run = false;
    std::wstring file_list_name;
};
void Save_Settings(const std::wstring& ini_path, Form& window, const Saved_Marks& marks);

// The Options section; a missing section or key, or a value that does not
// read, gives the default without a word.
Page_Options Read_Page_Options(const std::wstring& ini_path);
// Writes every key of the section, or, when every option is at its default,
// removes the section, so that such a file is exactly what it always was.
// Raises Failure "Unable to write to <ini_path>" when the write is refused.
void Write_Page_Options(const std::wstring& ini_path, const Page_Options& options);

// The Layout section.  A missing key, or a value that does not read or lies
// outside its field's range, gives the default without a word; a paper the
// dialog does not list gives the locale's.
Sheet_Layout Read_Sheet_Layout(const std::wstring& ini_path);
// Every key of the section, or, at the defaults, no section at all, as with
// the page options.  Raises Failure "Unable to write to <ini_path>".
void Write_Sheet_Layout(const std::wstring& ini_path, const Sheet_Layout& layout);

// The preview window's outer place, when all four keys read and its size is
// at least 200 x 200; nothing otherwise.
std::optional<Bounds> Read_Preview_Bounds(const std::wstring& ini_path);
// Raises Failure "Unable to write to <ini_path>".
void Write_Preview_Bounds(const std::wstring& ini_path, const Bounds& bounds);

// Rewrites the file as UTF-16 LE with a byte-order mark, keeping what it holds
// (creating it when missing); a file that already has the mark is left alone.
void Make_Settings_File_Unicode(const std::wstring& ini_path);

// Restore Factory Defaults: the question and its answer (false only on No).
extern const wchar_t Restore_Factory_Defaults_Question[];
bool Ask_Restore_Factory_Defaults(Dialogs& dialogs);

// The whole command: asks, deletes the settings file (when nobody holds it),
// restores the window from a maximised or minimised state and runs the
// first-show steps again.  Returns false when the answer was No.
bool Restore_Factory_Defaults(Dialogs& dialogs, const std::wstring& ini_path, Form& window,
                              const std::function<void()>& first_show_steps);

}  // namespace velbrook
