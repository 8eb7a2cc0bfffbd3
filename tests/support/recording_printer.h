#pragma once
// A printer for tests and benchmarks: every page is drawn, scaled down, into a
// bitmap of its own that stays readable after the run, and any step can be
// told to fail the way a real printer does.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "printing/printer.h"
#include "toolkit/handles.h"

namespace velbrook {

struct Recorded_Page {
    int width = 0, height = 0;                     // in recorded pixels
    std::vector<std::uint32_t> pixels;             // 0x00RRGGBB, top row first; white where nothing was drawn
    std::vector<RECT> drawn;                       // each Draw's rectangle, in device pixels
    std::vector<Placement> placed;                 // each Draw_Placed's placement, in device pixels
    std::vector<std::wstring> captions;            // each caption's text
    std::vector<Box> caption_strips;               // and its strip, in device pixels
    std::vector<std::vector<std::uint8_t>> jpegs;  // JPEG files taken as they are (see accept_jpeg)
    std::vector<std::string> postscript;           // each picture's PostScript as sent (see accept_postscript)
};

// What a recording printer saw; shared, so that it outlives the printer that
// the run discards at its end.
struct Print_Recording {
    std::wstring title;
    int documents_begun = 0;
    int documents_ended = 0;
    std::vector<Recorded_Page> pages;  // a page is recorded when it ends
    std::size_t largest_postscript_piece = 0;
    int postscript_refused = 0;  // pieces refused (see refuse_postscript)
    bool Open() const { return documents_begun > documents_ended; }
};

struct Recording_Options {
    SIZE page{2479, 3508};  // A4 at 300 dpi, as the PDF queue reports it
    int scale = 8;          // device pixels per recorded pixel
    bool fail_begin = false;
    int fail_at_page = 0;  // starting this page number fails; 0: never
    bool fail_draw = false;
    int pixels_per_inch = 300;       // down the page
    int pixels_per_inch_across = 0;  // 0: as down the page
    // Where the printable area lies on the paper, and the paper itself
    // (0: the printable area and the same edge again on the far side).
    POINT offset{0, 0};
    SIZE paper{0, 0};
    // Takes JPEG itself, as a driver that accepts CHECKJPEGFORMAT does: a
    // JPEG that needs no turn, flip or cut is recorded as the file it is
    // (and drawn from it, as such a printer would).
    bool accept_jpeg = false;
    // Takes PostScript through its passthrough, as a PostScript printer's
    // driver does: what a picture sends is recorded (and the picture drawn,
    // as such a printer would), or every piece is refused.
    bool accept_postscript = false;
    bool refuse_postscript = false;
    Postscript_Data postscript_data = Postscript_Data::Binary;
};

class Recording_Printer final : public Printer {
public:
    Recording_Printer(std::shared_ptr<Print_Recording> recording, Recording_Options options);
    ~Recording_Printer() override;

    SIZE Page_Size() const override { return options_.page; }
    void Begin_Document(const std::wstring& title) override;
    void New_Page() override;
    int Page_Number() const override { return page_; }
    void Draw(const Picture& picture, const RECT& rect) override;
    int Pixels_Per_Inch() const override { return options_.pixels_per_inch; }
    Sheet_Paper Paper() const override;
    void Draw_Placed(const Picture& picture, const Placement& placement) override;
    void Draw_Caption(const std::wstring& text, const Box& strip, int font_height) override;
    void End_Document() override;

private:
    void Start_Page();
    void Finish_Page();
    void Take_Jpeg(const Picture& picture, const Placement& placement);
    void Take_Postscript(const Picture& picture, const Placement& placement);

    std::shared_ptr<Print_Recording> recording_;
    Recording_Options options_;
    int page_ = 0;
    bool open_ = false;
    Dc_Handle dc_;
    Bitmap_Handle surface_;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
    std::vector<RECT> drawn_;
    std::vector<Placement> placed_;
    std::vector<std::wstring> captions_;
    std::vector<Box> caption_strips_;
    std::vector<std::vector<std::uint8_t>> jpegs_;
    std::optional<Postscript_Jpegs> postscript_;
    std::string sending_;
    std::vector<std::string> postscript_sent_;
};

// The colour of device pixel (x, y) of a recorded page.
std::uint32_t Recorded_Pixel(const Recorded_Page& page, int scale, int x, int y);

}  // namespace velbrook
