#include "pdf/save_pdf_run.h"

#include <commdlg.h>

#include "pdf/caption_fonts.h"
#include "pdf/pdf_file_output.h"
#include "pdf/picture_pages.h"
#include "pdf/win_ansi.h"
#include "pdf/save_pdf_rules.h"
#include "picture/file_type.h"
#include "printing/print_texts.h"
#include "toolkit/application.h"

namespace velbrook {

int Save_Pdf_Environment::Locale_Paper_Size() {
    DWORD code = 0;
    if (!::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_IPAPERSIZE | LOCALE_RETURN_NUMBER,
                          reinterpret_cast<wchar_t*>(&code), sizeof code / sizeof(wchar_t)))
        return 0;
    return static_cast<int>(code);
}

Pdf_Date Save_Pdf_Environment::Local_Pdf_Date() {
    SYSTEMTIME local{};
    ::GetLocalTime(&local);
    TIME_ZONE_INFORMATION zone{};
    DWORD kind = ::GetTimeZoneInformation(&zone);
    long bias = zone.Bias + (kind == TIME_ZONE_ID_DAYLIGHT   ? zone.DaylightBias
                             : kind == TIME_ZONE_ID_STANDARD ? zone.StandardBias
                                                             : 0);
    return {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond, static_cast<int>(-bias)};
}

Save_Pdf_Run::Save_Pdf_Run(Print_Host& host, Save_Pdf_Environment environment)
    : host_(host), environment_(std::move(environment)) {}

void Save_Pdf_Run::Save_Pictures_as_PDF_OptionClick() {
    if (running_) return;
    if (host_.Entry_Count() <= 0) {
        Information_Box(host_.Dialogs_(), Empty_List_Text);
        return;
    }
    File_Dialog_Request request{.save = true,
                                .file_name = Pdf_Default_File_Name,
                                .filter = Pdf_File_Filter,
                                .flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_ENABLESIZING,
                                .default_extension = L"pdf"};
    const std::optional<std::wstring> path = host_.Dialogs_().Show_File_Dialog(request);
    if (!path) return;

    running_ = true;
    Enter_Busy_State(host_, environment_.process_messages);
    start_ms_ = environment_.clock_ms();

    std::optional<std::wstring> failure;
    Guarded(
        [&] {
            const int pages = Write_Document(*path);
            if (pages < 0)
                host_.Set_Status(Aborted_Text);
            else if (pages == 0)
                failure = L"None of the pictures in the list could be read, so there was nothing to save";
            else
                host_.Set_Status(Saved_Text(pages, *path, Elapsed_Seconds(start_ms_, environment_.clock_ms())));
        },
        On_Failure{[&](std::exception_ptr stopped) { failure = Failure_Text(stopped); }});
    if (failure) host_.Set_Status(Saving_Stopped_Text(With_Full_Stop(*failure)));
    // The box comes once the window is back to normal.
    Finish();
    if (failure) Error_Box(host_.Dialogs_(), Save_Pdf_Failure_Text(*path, With_Full_Stop(*failure)));
}

int Save_Pdf_Run::Write_Document(const std::wstring& path) {
    Replacing_File_Output output(path);
    // The options and the layout hold for the whole run, as they do for the
    // print run.
    const Page_Options options = host_.Options();
    const Sheet_Layout layout = host_.Layout();
    const Pdf_Paper paper = Paper_For_Layout(layout, environment_.paper_size_code());
    const Sheet_Plan plan = Plan_Sheet(Pdf_Sheet_Paper(paper), layout);
    if (plan.cells.empty()) throw Failure(L"The margin leaves no room for a picture on the page");
    Caption_Fonts fonts(environment_.fonts_folder.empty() ? System_Fonts_Folder() : environment_.fonts_folder);
    Pdf_Document document(
        output,
        {.title = Code_Points(Pdf_Title), .producer = Code_Points(Pdf_Producer), .created = environment_.now()});
    auto stopping = [&] { return host_.Abort_Requested() || environment_.program_ending(); };
    // Abort seen inside a large drawn picture ends the save at once.
    struct Abandoned {};
    Pdf_Sheet_Surface surface(
        document, fonts, paper, options,
        [&](int sheet, int expected) {
            host_.Set_Status(
                Saving_Progress_Text(sheet, expected, Elapsed_Seconds(start_ms_, environment_.clock_ms())));
            environment_.process_messages();
        },
        [&] {
            environment_.process_messages();
            if (stopping()) throw Abandoned{};
        });
    // The list's JPEGs are checked on a second core while the pages before
    // them are written.
    std::vector<std::wstring> jpegs;
    for (int index = 0; index < host_.Entry_Count(); ++index)
        if (const std::optional<std::wstring> entry = host_.Entry(index))
            if (Drawing_For(*entry, options.more_types) == Page_Drawing::Jpeg) jpegs.push_back(*entry);
    Jpeg_Check_Ahead check_ahead(std::move(jpegs), Check_Jpeg_File);
    surface.Check_Ahead_With(&check_ahead);
    environment_.process_messages();
    try {
        Run_Sheets({.host = host_,
                    .surface = surface,
                    .layout = layout,
                    .options = options,
                    .process_messages = environment_.process_messages,
                    .stopping = stopping},
                   plan);
    } catch (const Abandoned&) {
        return -1;
    }
    // An abort leaves no file: the temporary one goes with `output`.
    if (stopping()) return -1;
    if (document.Page_Count() == 0) return 0;
    document.Finish();
    output.Commit();
    return document.Page_Count();
}

void Save_Pdf_Run::Finish() noexcept {
    if (!running_) return;
    Leave_Busy_State(host_, environment_.process_messages);
    running_ = false;
}

}  // namespace velbrook
