#include "app/settings_file.h"

#include <windows.h>
#include <shlobj.h>

#include <limits>
#include <string>
#include <vector>

#include "app/layout_fields.h"
#include "app/settings_values.h"
#include "shell/code_page.h"
#include "shell/file_utils.h"
#include "toolkit/failure.h"
#include "toolkit/form.h"
#include "toolkit/handles.h"
#include "toolkit/whole_file.h"

namespace velbrook {

namespace {

std::wstring Read_Text(const std::wstring& ini_path, const wchar_t* key, const wchar_t* section = Settings_Section) {
    std::vector<wchar_t> buffer(Longest_Setting_Text + 1);
    DWORD length = ::GetPrivateProfileStringW(section, key, L"", buffer.data(), static_cast<DWORD>(buffer.size()),
                                              ini_path.c_str());
    return std::wstring(buffer.data(), length);
}

[[noreturn]] void Refused(const std::wstring& ini_path) { throw Failure(L"Unable to write to " + ini_path); }

// Far larger than any settings file; a larger one is refused, never cut.
constexpr std::uint64_t Max_Settings_File_Bytes = 16ull * 1024 * 1024;

// The file whole; nothing when it is missing.  A file that is there but
// cannot be read to its end is a failure, never taken for an empty one.
std::vector<std::uint8_t> Read_Bytes(const std::wstring& path) {
    try {
        return Read_Whole_File(path, Max_Settings_File_Bytes);
    } catch (const File_Failure& failure) {
        if (failure.Missing()) return {};
        throw;
    }
}

bool Has_Unicode_Mark(const std::vector<std::uint8_t>& bytes) {
    return bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE;
}

// The same text as UTF-16 LE with its byte-order mark.
std::vector<std::uint8_t> As_Unicode(const std::vector<std::uint8_t>& bytes) {
    UINT code_page = CP_ACP;
    std::size_t start = 0;
    if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        code_page = CP_UTF8;
        start = 3;
    }
    const std::wstring text =
        L"\xFEFF" +
        Decode_Text(std::string_view(reinterpret_cast<const char*>(bytes.data()) + start, bytes.size() - start),
                    code_page);
    const auto* first = reinterpret_cast<const std::uint8_t*>(text.data());
    return {first, first + text.size() * sizeof(wchar_t)};
}

// The keys a change writes, by the profile functions, into the copy of the
// file it is made in.
class Settings_Change {
public:
    Settings_Change(const std::wstring& ini_path, const std::wstring& copy) : ini_path_(ini_path), copy_(copy) {}
    void Put(const wchar_t* section, const wchar_t* key, const std::wstring& value) const {
        if (!::WritePrivateProfileStringW(section, key, value.c_str(), copy_.c_str())) Refused(ini_path_);
    }
    void Remove(const wchar_t* section) const {
        ::WritePrivateProfileStringW(section, nullptr, nullptr, copy_.c_str());
    }

private:
    const std::wstring& ini_path_;
    const std::wstring& copy_;
};

// Every change goes to a copy of the file beside it, made with the same
// profile calls, and the copy replaces the file only when complete: a failed
// or refused write leaves the file as it was, and nothing beside it.  A
// read-only file, one held by another program and a folder that is not
// there refuse it.  `unicode` makes the copy UTF-16 first (the profile
// functions keep a file's encoding).
void Change_Settings(const std::wstring& ini_path, bool unicode,
                     const std::function<void(const Settings_Change&)>& change) {
    try {
        Replacing_File copy(ini_path);
        std::vector<std::uint8_t> bytes = Read_Bytes(ini_path);
        if (unicode && !Has_Unicode_Mark(bytes)) bytes = As_Unicode(bytes);
        copy.Write(bytes);
        copy.Close();
        change(Settings_Change(ini_path, copy.Temporary_Path()));
        // The profile functions may hold the copy's text until told to write it.
        ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, copy.Temporary_Path().c_str());
        copy.Commit();
    } catch (const File_Failure&) {
        Refused(ini_path);
    }
}

// Where a window would stand when restored; for a minimised window GetWindowRect
// tells only where its icon is parked.
Bounds Normal_Bounds(Form& window) {
    if (!::IsIconic(window.Handle())) return window.Window_Bounds();
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!::GetWindowPlacement(window.Handle(), &placement)) return window.Window_Bounds();
    // The placement is in work-area coordinates; the settings hold screen ones.
    POINT offset{0, 0};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (::GetMonitorInfoW(::MonitorFromWindow(window.Handle(), MONITOR_DEFAULTTONEAREST), &monitor)) {
        offset.x = monitor.rcWork.left - monitor.rcMonitor.left;
        offset.y = monitor.rcWork.top - monitor.rcMonitor.top;
    }
    const RECT& r = placement.rcNormalPosition;
    return {r.left + offset.x, r.top + offset.y, r.right - r.left, r.bottom - r.top};
}

// All eight keys in their order, in one change; a name that ANSI cannot hold
// needs the file in UTF-16.
void Write_Window_Settings(const std::wstring& ini_path, const Settings& settings) {
    Change_Settings(ini_path, !Ansi_Can_Hold(settings.file_list_name), [&](const Settings_Change& change) {
        const auto put = [&](const wchar_t* key, const std::wstring& value) {
            change.Put(Settings_Section, key, value);
        };
        put(Key_Maximized, Format_Ini_Bool(settings.maximized));
        put(Key_Top, Format_Ini_Integer(settings.top));
        put(Key_Left, Format_Ini_Integer(settings.left));
        put(Key_Width, Format_Ini_Integer(settings.width));
        put(Key_Height, Format_Ini_Integer(settings.height));
        put(Key_Always_On_Top, Format_Ini_Bool(settings.always_on_top));
        put(Key_Auto_Run, Format_Ini_Bool(settings.auto_run));
        put(Key_File_List_Name, settings.file_list_name);
    });
}

}  // namespace

std::wstring Settings_Path(const std::wstring& program_path) {
    return Program_Folder(program_path) + Settings_File_Name;
}

namespace {

// Whether this program may write the file: it is not marked read-only (the
// profile functions rewrite it whole, which such a mark refuses) and opens
// for writing, or, when there is none, the folder takes a new one (gone again
// when closed).
bool May_Write(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;
    File_Handle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) return true;
    const DWORD error = ::GetLastError();
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) return true;
    if (error != ERROR_FILE_NOT_FOUND) return false;
    File_Handle probe(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    // Another copy of the program may have written it meanwhile.
    return probe || ::GetLastError() == ERROR_FILE_EXISTS;
}

}  // namespace

std::wstring Choose_Settings_Path(const std::wstring& program_path, const std::wstring& user_folder) {
    const std::wstring beside = Settings_Path(program_path);
    if (user_folder.empty() || May_Write(beside)) return beside;
    const std::wstring own = user_folder + L"\\" + Settings_File_Name;
    if (::GetFileAttributesW(own.c_str()) == INVALID_FILE_ATTRIBUTES) {
        ::CreateDirectoryW(user_folder.c_str(), nullptr);
        // The copy must be writable even when the file beside the program is
        // marked read-only.
        if (::CopyFileW(beside.c_str(), own.c_str(), TRUE)) ::SetFileAttributesW(own.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    return own;
}

std::wstring Settings_Path_To_Read(const std::wstring& program_path, const std::wstring& user_folder) {
    const std::wstring beside = Settings_Path(program_path);
    if (user_folder.empty()) return beside;
    const std::wstring own = user_folder + L"\\" + Settings_File_Name;
    // Without a file of the user's own, a first run would start one as a
    // copy of the file beside the program: the same settings.
    if (::GetFileAttributesW(own.c_str()) == INVALID_FILE_ATTRIBUTES) return beside;
    return May_Write(beside) ? beside : own;
}

std::wstring User_Settings_Folder() {
    wchar_t app_data[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, app_data)) || !*app_data)
        return {};
    return std::wstring(app_data) + L"\\Velbrook";
}

Settings Read_Settings(const std::wstring& ini_path) {
    const Settings defaults;
    Settings settings;
    settings.top = Parse_Ini_Integer(Read_Text(ini_path, Key_Top), defaults.top);
    settings.left = Parse_Ini_Integer(Read_Text(ini_path, Key_Left), defaults.left);
    settings.width = Parse_Ini_Integer(Read_Text(ini_path, Key_Width), defaults.width);
    settings.height = Parse_Ini_Integer(Read_Text(ini_path, Key_Height), defaults.height);
    settings.always_on_top = Parse_Ini_Bool(Read_Text(ini_path, Key_Always_On_Top), defaults.always_on_top);
    settings.auto_run = Parse_Ini_Bool(Read_Text(ini_path, Key_Auto_Run), defaults.auto_run);
    settings.maximized = Parse_Ini_Bool(Read_Text(ini_path, Key_Maximized), defaults.maximized);
    settings.file_list_name = Read_Text(ini_path, Key_File_List_Name);
    return settings;
}

void Write_Setting(const std::wstring& ini_path, const wchar_t* key, const std::wstring& value) {
    Change_Settings(ini_path, !Ansi_Can_Hold(value),
                    [&](const Settings_Change& change) { change.Put(Settings_Section, key, value); });
}

Page_Options Read_Page_Options(const std::wstring& ini_path) {
    const Page_Options defaults;
    Page_Options options;
    const auto flag = [&](const wchar_t* key, bool fallback) {
        return Parse_Ini_Bool(Read_Text(ini_path, key, Options_Section), fallback);
    };
    const int placement = Parse_Ini_Integer(Read_Text(ini_path, Key_Placement, Options_Section), 0);
    options.fit = placement == 1 ? Fit_Mode::Fit : placement == 2 ? Fit_Mode::Fill : defaults.fit;
    options.turn_to_page = flag(Key_Turn_To_Page, defaults.turn_to_page);
    options.camera_orientation = flag(Key_Camera_Orientation, defaults.camera_orientation);
    options.print_file_names = flag(Key_File_Names, defaults.print_file_names);
    options.more_types = flag(Key_More_Types, defaults.more_types);
    return options;
}

namespace {

struct Setting {
    const wchar_t* key;
    std::wstring value;
};

// A section of its own: every key written, or the section removed when it
// holds nothing but defaults, so that such a file is what it always was.
void Write_Section(const std::wstring& ini_path, const wchar_t* section, bool at_defaults,
                   const std::vector<Setting>& settings) {
    // Nothing to remove from a file that is not there.
    if (at_defaults && ::GetFileAttributesW(ini_path.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    bool unicode = false;
    for (const Setting& setting : settings) unicode = unicode || (!at_defaults && !Ansi_Can_Hold(setting.value));
    Change_Settings(ini_path, unicode, [&](const Settings_Change& change) {
        if (at_defaults) return change.Remove(section);
        for (const Setting& setting : settings) change.Put(section, setting.key, setting.value);
    });
}

}  // namespace

void Write_Page_Options(const std::wstring& ini_path, const Page_Options& options) {
    Write_Section(ini_path, Options_Section, options == Page_Options{},
                  {{Key_Placement, Format_Ini_Integer(static_cast<int>(options.fit))},
                   {Key_Turn_To_Page, Format_Ini_Bool(options.turn_to_page)},
                   {Key_Camera_Orientation, Format_Ini_Bool(options.camera_orientation)},
                   {Key_File_Names, Format_Ini_Bool(options.print_file_names)},
                   {Key_More_Types, Format_Ini_Bool(options.more_types)}});
}

Sheet_Layout Read_Sheet_Layout(const std::wstring& ini_path) {
    const Sheet_Layout defaults;
    const auto number = [&](const wchar_t* key, int least, int most, int fallback) {
        return Parse_Ini_Integer_In(Read_Text(ini_path, key, Layout_Section), least, most, fallback);
    };
    const auto field = [&](const wchar_t* key, const Layout_Field& rule, int fallback) {
        return number(key, rule.least, rule.most, fallback);
    };
    Sheet_Layout layout;
    layout.kind =
        static_cast<Sheet_Kind>(number(Key_Sheet_Layout, static_cast<int>(Sheet_Kind::One_Per_Page),
                                       static_cast<int>(Sheet_Kind::Actual_Size), static_cast<int>(defaults.kind)));
    layout.columns = field(Key_Columns, Columns_Field, defaults.columns);
    layout.rows = field(Key_Rows, Rows_Field, defaults.rows);
    layout.print_width = field(Key_Print_Width, Width_Field, defaults.print_width);
    layout.print_height = field(Key_Print_Height, Height_Field, defaults.print_height);
    layout.margin = field(Key_Margin, Margin_Field, defaults.margin);
    layout.spacing = field(Key_Spacing, Spacing_Field, defaults.spacing);
    layout.copies = field(Key_Copies, Copies_Field, defaults.copies);
    if (const auto paper = Size_Named(Pdf_Papers(), Read_Text(ini_path, Key_Pdf_Paper, Layout_Section)))
        layout.pdf_paper = std::wstring(paper->name);
    layout.pdf_landscape = number(Key_Pdf_Landscape, 0, 1, defaults.pdf_landscape ? 1 : 0) == 1;
    return layout;
}

void Write_Sheet_Layout(const std::wstring& ini_path, const Sheet_Layout& layout) {
    Write_Section(ini_path, Layout_Section, layout == Sheet_Layout{},
                  {{Key_Sheet_Layout, Format_Ini_Integer(static_cast<int>(layout.kind))},
                   {Key_Columns, Format_Ini_Integer(layout.columns)},
                   {Key_Rows, Format_Ini_Integer(layout.rows)},
                   {Key_Print_Width, Format_Ini_Integer(layout.print_width)},
                   {Key_Print_Height, Format_Ini_Integer(layout.print_height)},
                   {Key_Margin, Format_Ini_Integer(layout.margin)},
                   {Key_Spacing, Format_Ini_Integer(layout.spacing)},
                   {Key_Copies, Format_Ini_Integer(layout.copies)},
                   {Key_Pdf_Paper, layout.pdf_paper},
                   {Key_Pdf_Landscape, Format_Ini_Bool(layout.pdf_landscape)}});
}

std::optional<Bounds> Read_Preview_Bounds(const std::wstring& ini_path) {
    const auto number = [&](const wchar_t* key) -> std::optional<int> {
        const std::wstring text = Read_Text(ini_path, key, Preview_Section);
        if (text.empty()) return std::nullopt;
        const int none = std::numeric_limits<int>::min();
        const int value = Parse_Ini_Integer(text, none);
        if (value == none) return std::nullopt;
        return value;
    };
    const auto left = number(Key_Preview_Left), top = number(Key_Preview_Top);
    const auto width = number(Key_Preview_Width), height = number(Key_Preview_Height);
    if (!left || !top || !width || !height || *width < 200 || *height < 200 || *width > 100000 || *height > 100000)
        return std::nullopt;
    return Bounds{*left, *top, *width, *height};
}

void Write_Preview_Bounds(const std::wstring& ini_path, const Bounds& bounds) {
    Write_Section(ini_path, Preview_Section, false,
                  {{Key_Preview_Left, Format_Ini_Integer(bounds.left)},
                   {Key_Preview_Top, Format_Ini_Integer(bounds.top)},
                   {Key_Preview_Width, Format_Ini_Integer(bounds.width)},
                   {Key_Preview_Height, Format_Ini_Integer(bounds.height)}});
}

void Make_Settings_File_Unicode(const std::wstring& ini_path) {
    try {
        if (Has_Unicode_Mark(Read_Bytes(ini_path))) return;
    } catch (const File_Failure&) {
        Refused(ini_path);
    }
    Change_Settings(ini_path, true, [](const Settings_Change&) {});
}

void Write_Settings(const std::wstring& ini_path, const Settings& settings) {
    Write_Window_Settings(ini_path, settings);
}

void Save_Settings(const std::wstring& ini_path, Form& window, const Saved_Marks& marks) {
    bool maximized = window.Maximized();
    if (maximized) window.Show_Window(SW_RESTORE);
    Bounds bounds = Normal_Bounds(window);
    // The size as at 96 dpi, which the window takes at any resolution; the
    // place stays in the screen's pixels, where the monitors are.
    const SIZE size = window.Design_Outer_Size({bounds.width, bounds.height});
    Write_Window_Settings(ini_path, {.top = bounds.top,
                                     .left = bounds.left,
                                     .width = size.cx,
                                     .height = size.cy,
                                     .always_on_top = marks.always_on_top,
                                     .auto_run = marks.auto_run,
                                     .maximized = maximized,
                                     .file_list_name = marks.file_list_name});
}

const wchar_t Restore_Factory_Defaults_Question[] =
    L"Restoring the factory defaults deletes the settings file and puts\n"
    L"the window back at its first place and size, with Always On Top off.\n"
    L"The pictures in the list stay where they are.\n"
    L"\n"
    L"Do you want to restore the factory defaults ?";

bool Ask_Restore_Factory_Defaults(Dialogs& dialogs) {
    return Warning_Question(dialogs, Restore_Factory_Defaults_Question) != Answer::No;
}

bool Restore_Factory_Defaults(Dialogs& dialogs, const std::wstring& ini_path, Form& window,
                              const std::function<void()>& first_show_steps) {
    if (!Ask_Restore_Factory_Defaults(dialogs)) return false;
    // A settings file that another program holds stays, and its values come back.
    Delete_File_Safely(ini_path);
    window.Show_Window(SW_RESTORE);
    if (first_show_steps) first_show_steps();
    return true;
}

}  // namespace velbrook
