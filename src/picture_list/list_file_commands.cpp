#include "picture_list/list_file_commands.h"

#include <commdlg.h>

#include "picture_list/commands.h"
#include "picture_list/list_file.h"
#include "shell/code_page.h"
#include "shell/text_utils.h"
#include "toolkit/application.h"
#include "toolkit/handles.h"

namespace velbrook {

const wchar_t List_File_Filter[] = L"Text Files (*.txt)|*.txt|All Files (*.*)|*.*";

// Far more than a million names; a larger file is refused, not loaded.
constexpr std::uint64_t Max_List_File_Bytes = 256ull * 1024 * 1024;

namespace {

// A surrogate without its other half: UTF-8 cannot hold it, NTFS names can.
bool Has_Lone_Surrogate(const std::wstring& text) {
    for (std::size_t k = 0; k < text.size(); ++k) {
        const wchar_t unit = text[k];
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (k + 1 < text.size() && text[k + 1] >= 0xDC00 && text[k + 1] <= 0xDFFF) {
                ++k;
                continue;
            }
            return true;
        }
        if (unit >= 0xDC00 && unit <= 0xDFFF) return true;
    }
    return false;
}

}  // namespace

std::string Encode_List_File(const std::vector<std::wstring>& entries) {
    // A name that UTF-8 cannot hold exactly makes the whole file UTF-16.
    for (const auto& entry : entries) {
        if (!Has_Lone_Surrogate(entry)) continue;
        std::vector<std::u16string> units;
        units.reserve(entries.size());
        for (const auto& name : entries) units.emplace_back(name.begin(), name.end());
        return Format_Utf16_List_File(units);
    }
    std::vector<std::string> lines;
    lines.reserve(entries.size());
    for (const auto& entry : entries) {
        auto ansi = Ansi_Text(entry);
        if (!ansi) {
            lines.clear();
            for (const auto& again : entries) lines.push_back(Utf8_Text(again));
            return Format_List_File(lines, true);
        }
        lines.push_back(std::move(*ansi));
    }
    return Format_List_File(lines, false);
}

std::optional<std::vector<std::wstring>> Read_List_File(const std::wstring& path) {
    std::vector<std::wstring> entries;
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return entries;
    std::vector<std::uint8_t> whole;
    try {
        whole = Read_Whole_File(path, Max_List_File_Bytes);
    } catch (const File_Failure&) {
        return std::nullopt;
    }
    const std::string_view bytes(reinterpret_cast<const char*>(whole.data()), whole.size());
    if (Is_Utf16_List(bytes)) {
        const std::optional<std::vector<std::u16string>> lines = Parse_Utf16_List_File(bytes);
        if (!lines) return std::nullopt;
        entries.reserve(lines->size());
        for (const auto& line : *lines) entries.emplace_back(line.begin(), line.end());
        return entries;
    }
    List_File_Text text = Parse_List_File(bytes);
    UINT code_page = text.utf8 ? CP_UTF8 : CP_ACP;
    entries.reserve(text.lines.size());
    for (const auto& line : text.lines) entries.push_back(Decode_Text(line, code_page));
    return entries;
}

bool Load_Entries_From_File(List_Window& window, const std::wstring& path) {
    auto entries = Read_List_File(path);
    if (!entries) {
        Error_Box(window.dialogs, L"The file list \"" + path + L"\" could not be read.");
        return false;
    }
    window.list.Replace_All_Entries(std::move(*entries));
    return true;
}

std::wstring Save_Failure_Text(const std::wstring& path) {
    return L"The " + path +
           L" could not be saved !\r\n\r\nPossible reasons for this include :\r\n"
           L"- there may not be enough disk space, \r\n- there may be errors on the disk, \r\n"
           L"- you may be saving to a read only disk (such as a CD-ROM), \r\n"
           L"- the file may already exist and be read-only or write locked, \r\n\r\n"
           L"or there may be some other reason for the failure.";
}

int Save_Entries_To_File(List_Window& window, const std::wstring& path) {
    if (Write_File_Whole(path, Encode_List_File(window.list.Entries()))) return 0;
    Information_Box(window.dialogs, Save_Failure_Text(path));
    return -1;
}

namespace {

void Report_Saved(List_Window& window, const std::wstring& path) {
    window.Set_Status(L"  File list saved to \"" + path + L"\".");
    window.changed.Set_Checked(false);
    window.erased.Set_Checked(false);
}

}  // namespace

void Save_File_List_OptionClick(List_Window& window) {
    std::wstring current = window.file_list_name.Text();
    if (current.empty() || !File_Exists(current) || window.erased.Checked()) {
        Save_File_List_As_OptionClick(window);
        return;
    }
    if (Save_Entries_To_File(window, current) != 0) return;
    Report_Saved(window, current);
}

void Save_File_List_As_OptionClick(List_Window& window) {
    std::wstring current = window.file_list_name.Text();
    File_Dialog& dialog = window.save_dialog;
    if (!current.empty() && File_Exists(current)) {
        dialog.initial_dir = Directory_Of(current);
        dialog.file_name = File_Name_Of(current);
    } else {
        dialog.initial_dir = window.program_folder;
        dialog.file_name.clear();
    }
    dialog.options = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_ENABLESIZING;
    dialog.filter = List_File_Filter;
    auto chosen = dialog.Execute(window.dialogs);
    if (!chosen) return;
    window.file_list_name.Set_Text(*chosen);
    if (Save_Entries_To_File(window, *chosen) != 0) return;
    Report_Saved(window, *chosen);
}

std::exception_ptr Show_Loaded_List(List_Window& window, const std::wstring& path) {
    window.list.Set_List_Scroll_Width();
    window.Set_Status(L"  File list loaded from \"" + path + L"\".");
    window.preview.Clear();
    std::exception_ptr preview_failure;
    if (!window.list.Empty()) {
        Process_Messages();
        window.list.Select_Index(0);
        Guarded([&] { File_ListBoxClick(window); },
                On_Failure{[&](std::exception_ptr failure) { preview_failure = failure; }});
        Process_Messages();
    }
    window.changed.Set_Checked(false);
    return preview_failure;
}

void Load_File_List_OptionClick(List_Window& window) {
    if (window.changed.Checked()) {
        Answer answer = Confirm_Box(window.dialogs,
                                    L"The file list has not been saved.  Do you want to save it before loading "
                                    L"another file list ?");
        if (answer == Answer::Yes) {
            Save_File_List_OptionClick(window);
            if (window.changed.Checked()) return;
        }
    }
    std::wstring current = window.file_list_name.Text();
    File_Dialog& dialog = window.open_dialog;
    dialog.initial_dir = !current.empty() && File_Exists(current) ? Directory_Of(current) : window.program_folder;
    dialog.options = OFN_HIDEREADONLY | OFN_ENABLESIZING;
    dialog.filter = List_File_Filter;
    auto chosen = dialog.Execute(window.dialogs);
    if (!chosen) return;
    // An unreadable file leaves everything as it was, the current name included.
    if (!Load_Entries_From_File(window, *chosen)) return;
    window.file_list_name.Set_Text(*chosen);
    // The list is loaded whatever its first picture does; that picture's
    // failure is told as a click on it would tell it.
    if (std::exception_ptr preview_failure = Show_Loaded_List(window, *chosen)) std::rethrow_exception(preview_failure);
}

}  // namespace velbrook
