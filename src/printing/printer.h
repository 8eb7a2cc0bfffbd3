#pragma once
// The surface a print run draws on: the GDI printer of the chosen device, or
// a recording printer in the tests.  Page sizes and rectangles are device
// pixels of the printable area.

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "picture/picture.h"
#include "printing/postscript_jpeg.h"
#include "printing/sheet_plan.h"
#include "toolkit/dialogs.h"

namespace velbrook {

class Printer {
public:
    virtual ~Printer() = default;
    // The printable width and height (HORZRES, VERTRES); known before the job.
    virtual SIZE Page_Size() const = 0;
    // Opens the job under `title` and begins page 1.
    virtual void Begin_Document(const std::wstring& title) = 0;
    // Ends the current page and begins the next.
    virtual void New_Page() = 0;
    // The page now being drawn, from 1; 0 outside a job.
    virtual int Page_Number() const = 0;
    // Stretches the whole picture over `rect`, aspect ratio not kept.
    virtual void Draw(const Picture& picture, const RECT& rect) = 0;
    // Pixels per inch down the page (LOGPIXELSY), for the caption's font.
    virtual int Pixels_Per_Inch() const = 0;
    // The whole sheet and the printable area's place on it, with the pixels
    // per inch across and down, so that cells measure true on paper.  By
    // default a device that prints all of its paper, as square as its
    // resolution down.
    virtual Sheet_Paper Paper() const;
    // Draws the picture turned, flipped and cut as placed.
    virtual void Draw_Placed(const Picture& picture, const Placement& placement) = 0;
    // Writes `text` centred in `strip` in a font `font_height` pixels high,
    // cut with an ellipsis when it is too wide.
    virtual void Draw_Caption(const std::wstring& text, const Box& strip, int font_height) = 0;
    // Ends the last page and the job, which then goes to the printer.  Does
    // nothing when no job is open, so that it can always be called once more
    // after a failure.
    virtual void End_Document() = 0;
};

// The classic page inside a printable area of `size`: 10 pixels in from
// each edge.
Box Classic_Page(SIZE size);

// A caption as every printer writes it: black on the page, in Arial, centred
// on one line, an ellipsis where it is cut.
void Draw_Caption_Text(HDC dc, const std::wstring& text, const Box& strip, int font_height);

// The file of a JPEG whose page needs nothing of it but stretching over its
// destination (no turn, no flip, nothing cut off), for a printer that takes
// JPEG itself; empty for every other picture and page.
std::vector<std::uint8_t> Jpeg_For_Printer(const Picture& picture, const Placement& placement);

// A driver that takes PostScript of the program's own (it answers
// QUERYESCSUPPORT for POSTSCRIPT_PASSTHROUGH), as the program hands it over.
struct Postscript_Channel {
    Postscript_Data data = Postscript_Data::Binary;
    // Hands the driver one piece of at most Postscript_Piece_Bytes; false
    // when it refuses.
    std::function<bool(std::span<const std::uint8_t>)> send;
};
// The escape's data begins with its length in a WORD.
inline constexpr std::size_t Postscript_Piece_Bytes = 32 * 1024;

// Draws JPEG pictures on such a printer as PostScript around the file's own
// bytes, which the printer decodes itself: nothing is decoded for the page,
// and the job is the size of the file.  A picture is sent only when it is a
// JPEG file that passes Check_Jpeg_As_It_Is and is not progressive (not
// every interpreter decodes those); the file is read in pieces, never held.
class Postscript_Jpegs {
public:
    explicit Postscript_Jpegs(Postscript_Channel channel) : channel_(std::move(channel)) {}
    // True when the picture went to the printer; false when it must be drawn
    // the other way: it is no such JPEG, nothing of it is visible, or the
    // driver refused it (or an earlier one).
    bool Draw(const Picture& picture, const Placement& placement);

private:
    bool Send(std::string_view text);

    Postscript_Channel channel_;
    // The last file checked and what the check found: a picture in several
    // cells is checked once.
    std::wstring checked_path_;
    std::optional<Jpeg_As_It_Is> checked_;
    bool refused_ = false;  // once refused, the driver is sent no more
};

// The device chosen in the printer set-up dialog, with its settings.  Every
// failure (the device cannot be opened, the job or a page cannot begin, a
// picture cannot be drawn) is a Failure whose text names the printer and what
// failed.
std::unique_ptr<Printer> Open_Gdi_Printer(const Printer_Selection& selection);

// The system's default printer, with its own settings; nothing when there is
// none.
std::optional<Printer_Selection> Default_Printer_Selection();

}  // namespace velbrook
