#include "app/command_run.h"

#include <shellapi.h>

#include <algorithm>
#include <set>

#include "app/settings_file.h"
#include "pdf/save_pdf_run.h"
#include "picture/file_type.h"
#include "picture_list/list_file_commands.h"
#include "shell/code_page.h"
#include "shell/file_utils.h"
#include "shell/text_utils.h"
#include "toolkit/application.h"

namespace velbrook {

namespace {

// What a box would have said, on one line.
std::wstring One_Line(const std::wstring& text) {
    return Replace_All(Replace_All(text, L"\r\n\r\n", L" "), L"\r\n", L" ");
}

// The host of a run without a window: the gathered pictures are its list,
// its boxes are lines, and its file and printer dialogs answer what the
// command line chose.
class Command_Host final : public Windowless_Print_Host, public Dialogs {
public:
    using Write_Line = std::function<void(const std::wstring&, bool)>;

    Command_Host(std::vector<std::wstring> entries, const Page_Options& options, const Sheet_Layout& layout,
                 Write_Line write_line)
        : entries_(std::move(entries)), options_(options), layout_(layout), write_line_(std::move(write_line)) {}

    std::wstring pdf_target;
    std::optional<Printer_Selection> printer;

    // A box of the kinds that say something went wrong was shown.
    bool Refused() const { return refused_; }
    int Skipped() const { return static_cast<int>(skipped_.size()); }

    int Entry_Count() const override { return static_cast<int>(entries_.size()); }
    std::optional<std::wstring> Entry(int index) const override {
        if (index < 0 || index >= Entry_Count()) return std::nullopt;
        return entries_[static_cast<std::size_t>(index)];
    }
    Page_Options Options() const override { return options_; }
    Sheet_Layout Layout() const override { return layout_; }
    void Picture_Skipped(int index, const std::wstring& reason) override {
        // A multi-page file is told once, at the first page that fails.
        if (!skipped_.insert(index).second) return;
        write_line_(
            Skipped_Line(reason.empty() ? L"\"" + Entry(index).value_or(L"") + L"\" could not be loaded" : reason),
            true);
    }
    Dialogs& Dialogs_() override { return *this; }

    Answer Show_Message(const Message_Request& request) override {
        if (request.kind != Message_Kind::Information && request.kind != Message_Kind::Confirmation) refused_ = true;
        write_line_(One_Line(request.text), true);
        return request.buttons == Buttons::Yes_No ? Answer::No : Answer::Ok;
    }
    std::optional<std::wstring> Show_File_Dialog(const File_Dialog_Request& request) override {
        if (!request.save || pdf_target.empty()) return std::nullopt;
        return pdf_target;
    }
    std::optional<Printer_Selection> Show_Printer_Setup() override { return printer; }

private:
    std::vector<std::wstring> entries_;
    Page_Options options_;
    Sheet_Layout layout_;
    Write_Line write_line_;
    std::set<int> skipped_;
    bool refused_ = false;
};

// The printer of a run without a window: the job begins with the first thing
// drawn, so that a run whose every picture is skipped sends no blank sheet.
class First_Drawing_Job final : public Printer {
public:
    First_Drawing_Job(std::unique_ptr<Printer> printer, bool& begun) : printer_(std::move(printer)), begun_(begun) {}

    SIZE Page_Size() const override { return printer_->Page_Size(); }
    void Begin_Document(const std::wstring& title) override { title_ = title; }
    void New_Page() override {
        Begin();
        printer_->New_Page();
    }
    int Page_Number() const override { return begun_ ? printer_->Page_Number() : 0; }
    void Draw(const Picture& picture, const RECT& rect) override {
        Begin();
        printer_->Draw(picture, rect);
    }
    int Pixels_Per_Inch() const override { return printer_->Pixels_Per_Inch(); }
    Sheet_Paper Paper() const override { return printer_->Paper(); }
    void Draw_Placed(const Picture& picture, const Placement& placement) override {
        Begin();
        printer_->Draw_Placed(picture, placement);
    }
    void Draw_Caption(const std::wstring& text, const Box& strip, int font_height) override {
        Begin();
        printer_->Draw_Caption(text, strip, font_height);
    }
    void End_Document() override {
        if (begun_) printer_->End_Document();
    }

private:
    void Begin() {
        if (begun_) return;
        printer_->Begin_Document(title_);
        begun_ = true;
    }

    std::unique_ptr<Printer> printer_;
    bool& begun_;
    std::wstring title_;
};

std::wstring Folder_Part(const std::wstring& path) {
    const std::size_t last = path.find_last_of(L"\\/:");
    return last == std::wstring::npos ? std::wstring() : path.substr(0, last + 1);
}

// The files a pattern matches, in name order, as a listing by name gives them.
std::vector<std::wstring> Matching_Files(const std::wstring& pattern) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(found.cFileName);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    std::sort(names.begin(), names.end(),
              [](const std::wstring& a, const std::wstring& b) { return ::lstrcmpiW(a.c_str(), b.c_str()) < 0; });
    const std::wstring folder = Folder_Part(pattern);
    for (std::wstring& name : names) name = folder + name;
    return names;
}

std::wstring Full_Path(const std::wstring& path) {
    const DWORD length = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length == 0) return path;
    std::wstring full(length, L'\0');
    const DWORD written = ::GetFullPathNameW(path.c_str(), length, full.data(), nullptr);
    if (written == 0 || written >= length) return path;
    full.resize(written);
    return full;
}

int Run_Pictures(const Command_Line& command, const Command_Environment& environment) {
    const auto write = environment.write_line;
    const std::int64_t start_ms = environment.clock_ms();
    const std::wstring settings = Settings_Path_To_Read(environment.program_path, environment.user_settings_folder);
    const Page_Options options = Read_Page_Options(settings);
    const Sheet_Layout layout = Read_Sheet_Layout(settings);
    int named_skipped = 0;
    std::vector<std::wstring> entries =
        Gather_Pictures(command.sources, options.more_types, [&](const std::wstring& reason) {
            write(Skipped_Line(reason), true);
            ++named_skipped;
        });
    const int pictures = static_cast<int>(entries.size()) + named_skipped;
    const bool printing = command.kind == Command_Kind::Print;

    Command_Host host(std::move(entries), options, layout, write);
    bool done = false;
    if (host.Entry_Count() == 0) {
        write(printing ? L"There are no pictures to print." : L"There are no pictures to save.", true);
    } else if (!printing) {
        host.pdf_target = Full_Path(command.pdf_target);
        Save_Pdf_Environment save;
        save.clock_ms = environment.clock_ms;
        save.fonts_folder = environment.fonts_folder;
        Save_Pdf_Run run(host, std::move(save));
        run.Save_Pictures_as_PDF_OptionClick();
        done = !host.Refused();
    } else {
        host.printer = command.printer.empty() ? environment.default_printer()
                                               : std::optional(Printer_Selection{.device = command.printer});
        if (!host.printer) {
            write(L"There is no default printer: name one with \"/printer\".", true);
        } else {
            bool begun = false;
            Print_Environment print;
            print.open_printer = [&](const Printer_Selection& selection) -> std::unique_ptr<Printer> {
                return std::make_unique<First_Drawing_Job>(environment.open_printer(selection), begun);
            };
            print.clock_ms = environment.clock_ms;
            // No window to keep alive between the sheets.
            print.wait_milliseconds = [](unsigned) {};
            print.taskbar_progress = false;
            Print_Run run(host, std::move(print));
            run.Print_BitBtnClick();
            done = begun && !host.Refused();
        }
    }
    const int pictures_in = done ? host.Entry_Count() - host.Skipped() : 0;
    const double seconds = static_cast<double>(environment.clock_ms() - start_ms) / 1000;
    write(Summary_Line(command.kind, pictures_in, pictures, seconds), false);
    return Exit_Code_For(done, pictures_in, host.Skipped() + named_skipped);
}

}  // namespace

std::vector<std::wstring> Gather_Pictures(const std::vector<Picture_Source>& sources, bool more_types,
                                          const std::function<void(const std::wstring& reason)>& skipped) {
    std::vector<std::wstring> entries;
    std::set<std::wstring> taken;
    // A file joins as a drop takes it: once, and only of an accepted type.
    const auto take = [&](const std::wstring& path) {
        if (!Is_Accepted_Extension(path, more_types)) return false;
        if (taken.insert(path).second) entries.push_back(path);
        return true;
    };
    for (const Picture_Source& source : sources) {
        if (source.list) {
            if (!File_Exists(source.path)) {
                skipped(L"the file list \"" + source.path + L"\" cannot be found");
            } else if (std::optional<std::vector<std::wstring>> listed = Read_List_File(source.path)) {
                // As a loaded list: every entry as it stands, the run skips what does not load.
                for (std::wstring& entry : *listed) {
                    taken.insert(entry);
                    entries.push_back(std::move(entry));
                }
            } else {
                skipped(L"the file list \"" + source.path + L"\" could not be read");
            }
        } else if (Has_Wildcards(source.path)) {
            bool any = false;
            for (const std::wstring& path : Matching_Files(source.path)) any = take(path) || any;
            if (!any) skipped(L"no picture file matches \"" + source.path + L"\"");
        } else if (!File_Exists(source.path)) {
            skipped(L"the file \"" + source.path + L"\" cannot be found");
        } else if (!take(source.path)) {
            skipped(L"\"" + source.path + L"\" is not a kind of picture the program takes");
        }
    }
    return entries;
}

std::optional<int> Run_Command_Line(const std::vector<std::wstring>& words, const Command_Environment& environment) {
    const auto parsed = Parse_Command_Line(words);
    if (const auto* error = std::get_if<Command_Line_Error>(&parsed)) {
        environment.write_line(error->text, true);
        environment.write_line(Usage_Line(environment.program_name), true);
        return Exit_Not_Understood;
    }
    const Command_Line& command = std::get<Command_Line>(parsed);
    switch (command.kind) {
        case Command_Kind::Window:
            return std::nullopt;
        case Command_Kind::Help:
            environment.write_line(Usage_Line(environment.program_name), false);
            return Exit_All_Pictures;
        case Command_Kind::Pdf:
        case Command_Kind::Print:
            break;
    }
    std::optional<int> code;
    Guarded([&] { code = Run_Pictures(command, environment); }, On_Failure{[&](std::exception_ptr failure) {
                environment.write_line(With_Full_Stop(Failure_Text(failure)), true);
                code = Exit_Nothing_Done;
            }});
    return code;
}

namespace {

HANDLE Usable(HANDLE handle) {
    if (!handle || handle == INVALID_HANDLE_VALUE || ::GetFileType(handle) == FILE_TYPE_UNKNOWN) return nullptr;
    return handle;
}

}  // namespace

Console_Output::Console_Output()
    : out_(Usable(::GetStdHandle(STD_OUTPUT_HANDLE))), error_(Usable(::GetStdHandle(STD_ERROR_HANDLE))) {
    if (out_ && error_) return;
    if (::AttachConsole(ATTACH_PARENT_PROCESS))
        console_.reset(::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr));
    HANDLE console = console_ ? console_.get() : nullptr;
    if (!out_) out_ = console ? console : error_;
    if (!error_) error_ = console ? console : out_;
}

void Console_Output::Write_Line(const std::wstring& line, bool error) {
    HANDLE handle = error ? error_ : out_;
    if (!handle) return;
    const std::wstring text = line + L"\r\n";
    DWORD mode = 0, written = 0;
    if (::GetConsoleMode(handle, &mode)) {
        ::WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    const std::string bytes = Utf8_Text(text);
    ::WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::vector<std::wstring> Command_Line_Words() {
    std::vector<std::wstring> words;
    int count = 0;
    LPWSTR* arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!arguments) return words;
    for (int i = 1; i < count; ++i) words.emplace_back(arguments[i]);
    ::LocalFree(arguments);
    return words;
}

}  // namespace velbrook
