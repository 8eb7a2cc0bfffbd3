#pragma once
// File > "Save Pictures as PDF File...": every entry of the picture list, top
// to bottom, one page each, placed as the print run places it, written
// straight into a PDF file without a printer.  Like the print run it stays
// on the user-interface thread and lets the message loop run between pages,
// so that the window repaints and Abort can be pressed.

#include <cstdint>
#include <functional>
#include <string>

#include "pdf/pdf_document.h"
#include "picture/placement.h"
#include "printing/print_run.h"

namespace velbrook {

// What the save takes from the system; tests replace any part.
struct Save_Pdf_Environment {
    std::function<std::int64_t()> clock_ms = Print_Environment::Monotonic_Milliseconds;
    std::function<void()> process_messages = Print_Environment::Default_Process_Messages;
    std::function<bool()> program_ending = Print_Environment::Default_Program_Ending;
    // LOCALE_IPAPERSIZE of the user's locale.
    std::function<int()> paper_size_code = Locale_Paper_Size;
    std::function<Pdf_Date()> now = Local_Pdf_Date;
    std::wstring fonts_folder;  // empty: the system's Fonts folder

    static int Locale_Paper_Size();
    static Pdf_Date Local_Pdf_Date();
};

class Save_Pdf_Run {
public:
    // The run shares the print run's host: the list, the status line, the
    // busy state, the abort panel and its flag, the dialogs.
    explicit Save_Pdf_Run(Print_Host& host, Save_Pdf_Environment environment = {});

    // Pages are placed by the host's options, as the print run places them.
    void Save_Pictures_as_PDF_OptionClick();
    bool Running() const { return running_; }

private:
    // The pages written, or -1 after an abort.
    int Write_Document(const std::wstring& path);
    void Finish() noexcept;

    Print_Host& host_;
    Save_Pdf_Environment environment_;
    bool running_ = false;
    std::int64_t start_ms_ = 0;
};

}  // namespace velbrook
