#pragma once
// A PDF document of pictures, one page after another, written as it is
// made: images (a JPEG's own bytes, or pixels deflated), each placed by a
// matrix, and captions as real text.  Only the page tree's list of page
// numbers and the fonts' used glyphs wait for the end.

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "pdf/image_placement.h"
#include "pdf/jpeg_header.h"
#include "pdf/pdf_writer.h"
#include "pdf/truetype_font.h"

namespace velbrook {

struct Pdf_Date {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    // Local time less universal time.
    int utc_offset_minutes = 0;
};
// "D:YYYYMMDDHHmmSS+HH'mm'".
std::string Pdf_Date_String(const Pdf_Date& date);

struct Pdf_Document_Info {
    std::u32string title;
    std::u32string producer;
    Pdf_Date created;
};

struct Pdf_Image {
    Pdf_Object_Id id = 0;
    int width = 0, height = 0;
};

class Flate_Stream;

class Pdf_Document {
public:
    Pdf_Document(Pdf_Output& output, const Pdf_Document_Info& info);
    ~Pdf_Document();

    // A JPEG file's bytes, unchanged, as a DCT-encoded image.
    Pdf_Image Add_Jpeg(std::span<const std::uint8_t> jpeg, const Jpeg_Header& header);
    // The same, `size` bytes read from the file a block at a time.
    Pdf_Image Add_Jpeg(std::uint64_t size, const Jpeg_Header& header, const Pdf_Writer::Block_Reader& read);
    // Pixels asked for a row at a time, top-down, as 8-bit R G B, and
    // deflated as they come.
    using Row_Source = std::function<void(int row, std::span<std::uint8_t> rgb)>;
    Pdf_Image Add_Pixels(int width, int height, const Row_Source& fill_row);

    // Fonts for captions that Windows-1252 cannot hold, in order of
    // preference; a caption takes the first that has all its characters.
    void Add_Font(std::unique_ptr<Truetype_Font> font);
    // True when a caption needs a font of its own (Windows-1252 cannot hold
    // it) and none of the added fonts has all its characters.
    bool Needs_Font_For(std::wstring_view text) const;

    // Pages in points.  Images may be added while a page is open.
    void Begin_Page(double width, double height);
    void Draw_Image(const Pdf_Image& image, const Image_Placement& placement);
    // The text centred in the strip, `size` points high, cut with an
    // ellipsis when wider than the strip.
    void Draw_Caption(std::wstring_view text, const Page_Box& strip, double size);
    void End_Page();

    // The fonts, the page tree, the catalog and the cross-references.
    void Finish();
    int Page_Count() const { return static_cast<int>(pages_.size()); }

private:
    struct Font_Use;
    struct Run {
        int font = -1;  // -1 Helvetica, otherwise an index into fonts_
        std::u32string text;
    };
    Run Choose_Font(const std::u32string& text) const;
    int Text_Width(const Run& run) const;
    std::string Show_Text(Run& run);
    void Write_Truetype(Font_Use& use);
    void End_Deflated_Stream(Flate_Stream& flate, Pdf_Object_Id length);

    Pdf_Writer writer_;
    Pdf_Object_Id info_ = 0;
    Pdf_Object_Id pages_root_ = 0;
    std::vector<Pdf_Object_Id> pages_;
    Pdf_Object_Id helvetica_ = 0;
    std::vector<std::unique_ptr<Font_Use>> fonts_;

    bool in_page_ = false;
    double page_width_ = 0, page_height_ = 0;
    std::string content_;
    std::set<Pdf_Object_Id> page_images_;
    std::set<int> page_fonts_;
};

}  // namespace velbrook
