#pragma once
// Sheets of a saved PDF: the surface the sheet loop draws on when it saves.
// A JPEG that readers take as it is goes in as its own bytes, once, and is
// placed by matrix in each of its cells; any other picture (every page of a
// multi-page TIFF) is drawn by the picture module and stored as deflated
// pixels, once for each size its cells need.

#include <atomic>
#include <functional>
#include <string>

#include "pdf/check_ahead.h"
#include "pdf/caption_fonts.h"
#include "pdf/pdf_document.h"
#include "pdf/save_pdf_rules.h"
#include "printing/sheet_run.h"

namespace velbrook {

// Whether the JPEG file goes into a PDF as it is: its header reads, its
// markers lead to its end and libjpeg reads its data whole.  Read in blocks,
// never whole; safe on any thread.
Jpeg_Verdict Check_Jpeg_File(const std::wstring& path, const std::atomic<bool>& stop);

class Pdf_Sheet_Surface final : public Sheet_Surface {
public:
    // `sheet_done` is called after each sheet with the sheets written and
    // the sheets expected; `between_bands` between the bands of a drawn
    // picture (it may throw to end the save there).
    Pdf_Sheet_Surface(Pdf_Document& document, Caption_Fonts& fonts, const Pdf_Paper& paper, const Page_Options& options,
                      std::function<void(int sheet, int expected)> sheet_done,
                      std::function<void()> between_bands = nullptr);
    // JPEGs checked ahead on another thread; without it each is checked
    // when it is reached.
    void Check_Ahead_With(Jpeg_Check_Ahead* check_ahead) { check_ahead_ = check_ahead; }

    Sheet_Paper Paper() const override;
    // Skips the file as the print run skips it (an unknown kind, an empty
    // entry, a file that is not a valid picture, cannot be read or does not
    // fit in memory).
    std::unique_ptr<Sheet_Item> Load(const std::wstring& path, const Picture_Request& request) override;
    void Begin_Sheet(int sheet, int expected) override;
    void Draw(Sheet_Item& item, const std::wstring& path, const Box& target, const Cell_Caption& caption) override;
    void End_Sheet(int sheet) override;
    std::wstring Skip_Reason() const override { return skip_reason_; }

private:
    Pdf_Document& document_;
    Caption_Fonts& fonts_;
    Pdf_Paper paper_;
    Page_Options options_;
    std::function<void(int, int)> sheet_done_;
    std::function<void()> between_bands_;
    Jpeg_Check_Ahead* check_ahead_ = nullptr;
    int expected_ = 0;
    std::wstring skip_reason_;
};

}  // namespace velbrook
