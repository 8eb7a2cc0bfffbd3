#include "pdf/pdf_document.h"

#include <algorithm>
#include <cstdio>

#include "pdf/flate_stream.h"
#include "pdf/win_ansi.h"
#include "toolkit/failure.h"

namespace velbrook {

namespace {

// Helvetica's ascent and descent in thousandths, for placing a line.
constexpr int Helvetica_Ascent = 718;
constexpr int Helvetica_Descent = -207;
constexpr char32_t Ellipsis = 0x2026;

std::string Ref(Pdf_Object_Id id) { return std::to_string(id) + " 0 R"; }

std::string Hex4(std::uint32_t v) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(v & 0xFFFF));
    return text;
}

// A character as UTF-16BE hex, for the font's map back to text.
std::string Utf16_Hex(char32_t c) {
    if (c < 0x10000) return Hex4(c);
    return Hex4(0xD800 + ((c - 0x10000) >> 10)) + Hex4(0xDC00 + ((c - 0x10000) & 0x3FF));
}

}  // namespace

struct Pdf_Document::Font_Use {
    std::unique_ptr<Truetype_Font> font;
    Pdf_Object_Id id = 0;  // reserved at the first caption that uses the font
};

std::string Pdf_Date_String(const Pdf_Date& d) {
    int offset = d.utc_offset_minutes;
    char sign = offset < 0 ? '-' : '+';
    offset = std::abs(offset);
    char text[40];
    std::snprintf(text, sizeof text, "D:%04d%02d%02d%02d%02d%02d%c%02d'%02d'", d.year, d.month, d.day, d.hour, d.minute,
                  d.second, sign, offset / 60, offset % 60);
    return text;
}

Pdf_Document::Pdf_Document(Pdf_Output& output, const Pdf_Document_Info& info) : writer_(output) {
    info_ =
        writer_.Add_Object("<</Title " + Pdf_Text_String(info.title) + "/Producer " + Pdf_Text_String(info.producer) +
                           "/CreationDate (" + Pdf_Date_String(info.created) + ")>>");
    pages_root_ = writer_.Reserve();
}

Pdf_Document::~Pdf_Document() = default;

namespace {

std::string Jpeg_Entries(const Jpeg_Header& header) {
    static constexpr const char* Spaces[] = {"", "/DeviceGray", "", "/DeviceRGB", "/DeviceCMYK"};
    std::string entries = "/Type/XObject/Subtype/Image/Width " + std::to_string(header.width) + "/Height " +
                          std::to_string(header.height) + "/ColorSpace" + Spaces[header.components] +
                          "/BitsPerComponent 8/Filter/DCTDecode";
    // Adobe's CMYK JPEGs hold 255 for no ink.
    if (header.adobe && header.components == 4) entries += "/Decode[1 0 1 0 1 0 1 0]";
    if (header.rgb_named) entries += "/DecodeParms<</ColorTransform 0>>";
    return entries;
}

}  // namespace

Pdf_Image Pdf_Document::Add_Jpeg(std::span<const std::uint8_t> jpeg, const Jpeg_Header& header) {
    Pdf_Object_Id id = writer_.Reserve();
    writer_.Add_Stream(id, Jpeg_Entries(header), jpeg);
    return {id, header.width, header.height};
}

Pdf_Image Pdf_Document::Add_Jpeg(std::uint64_t size, const Jpeg_Header& header, const Pdf_Writer::Block_Reader& read) {
    Pdf_Object_Id id = writer_.Reserve();
    writer_.Add_Stream(id, Jpeg_Entries(header), size, read);
    return {id, header.width, header.height};
}

Pdf_Image Pdf_Document::Add_Pixels(int width, int height, const Row_Source& fill_row) {
    if (width <= 0 || height <= 0) throw Failure(L"an empty picture cannot be stored");
    Pdf_Object_Id id = writer_.Reserve();
    Pdf_Object_Id length = writer_.Reserve();
    writer_.Begin_Object(id);
    writer_.Write("<</Type/XObject/Subtype/Image/Width " + std::to_string(width) + "/Height " + std::to_string(height) +
                  "/ColorSpace/DeviceRGB/BitsPerComponent 8/Filter/FlateDecode/DecodeParms<</Predictor 15"
                  "/Colors 3/BitsPerComponent 8/Columns " +
                  std::to_string(width) + ">>/Length " + Ref(length) + ">>\nstream\n");
    std::size_t row_bytes = std::size_t(width) * 3;
    std::vector<std::uint8_t> row(row_bytes), prior(row_bytes, 0), filtered;
    Flate_Stream flate(writer_);
    for (int y = 0; y < height; ++y) {
        fill_row(y, row);
        Predict_Row(row, prior, 3, filtered);
        flate.Write(filtered);
        std::swap(row, prior);
    }
    End_Deflated_Stream(flate, length);
    return {id, width, height};
}

void Pdf_Document::Add_Font(std::unique_ptr<Truetype_Font> font) {
    auto use = std::make_unique<Font_Use>();
    use->font = std::move(font);
    fonts_.push_back(std::move(use));
}

Pdf_Document::Run Pdf_Document::Choose_Font(const std::u32string& text) const {
    bool ansi = std::all_of(text.begin(), text.end(), [](char32_t c) { return Win_Ansi_Code(c).has_value(); });
    if (ansi || fonts_.empty()) return {-1, text};
    // The first font with every character; otherwise the one with most.
    int best = 0;
    std::size_t best_missing = text.size() + 1;
    for (std::size_t f = 0; f < fonts_.size() && best_missing > 0; ++f) {
        std::size_t missing =
            std::count_if(text.begin(), text.end(), [&](char32_t c) { return fonts_[f]->font->Glyph_Of(c) == 0; });
        if (missing < best_missing) best_missing = missing, best = static_cast<int>(f);
    }
    return {best, text};
}

bool Pdf_Document::Needs_Font_For(std::wstring_view text) const {
    std::u32string points = Code_Points(text);
    bool ansi = std::all_of(points.begin(), points.end(), [](char32_t c) { return Win_Ansi_Code(c).has_value(); });
    if (ansi) return false;
    for (const auto& use : fonts_)
        if (std::all_of(points.begin(), points.end(), [&](char32_t c) { return use->font->Glyph_Of(c) != 0; }))
            return false;
    return true;
}

int Pdf_Document::Text_Width(const Run& run) const {
    int width = 0;
    for (char32_t c : run.text) {
        if (run.font < 0)
            width += Helvetica_Width(Win_Ansi_Code(c).value_or('?'));
        else {
            const Truetype_Font& font = *fonts_[run.font]->font;
            width += font.Width_Of(font.Glyph_Of(c));
        }
    }
    return width;
}

// The text-showing operand for a run in its font, noting its glyphs.
std::string Pdf_Document::Show_Text(Run& run) {
    if (run.font < 0) {
        std::string out = "(";
        for (char32_t c : run.text) {
            std::uint8_t code = Win_Ansi_Code(c).value_or('?');
            if (code == '(' || code == ')' || code == '\\') out += '\\';
            if (code >= 0x80) {
                char octal[8];
                std::snprintf(octal, sizeof octal, "\\%03o", code);
                out += octal;
            } else {
                out += static_cast<char>(code);
            }
        }
        return out + ")";
    }
    Truetype_Font& font = *fonts_[run.font]->font;
    std::string out = "<";
    for (char32_t c : run.text) out += Hex4(font.Use(font.Glyph_Of(c), c));
    return out + ">";
}

void Pdf_Document::Begin_Page(double width, double height) {
    if (in_page_) throw Failure(L"a PDF page was begun inside another");
    in_page_ = true;
    page_width_ = width;
    page_height_ = height;
    content_.clear();
    page_images_.clear();
    page_fonts_.clear();
}

void Pdf_Document::Draw_Image(const Pdf_Image& image, const Image_Placement& placement) {
    std::string operators = Image_Operators(placement, page_height_, "Im" + std::to_string(image.id));
    if (operators.empty()) return;
    content_ += operators;
    page_images_.insert(image.id);
}

void Pdf_Document::Draw_Caption(std::wstring_view text, const Page_Box& strip, double size) {
    if (strip.Empty() || size <= 0) return;
    Run run = Choose_Font(Code_Points(text));
    double limit = strip.Width() * 1000 / size;
    if (Text_Width(run) > limit) {
        // Cut at the end and show an ellipsis, as a caption too wide for its
        // strip is shown on paper.
        Run dots = run;
        bool has_ellipsis = run.font < 0 || fonts_[run.font]->font->Glyph_Of(Ellipsis) != 0;
        dots.text = has_ellipsis ? std::u32string(1, Ellipsis) : U"...";
        int dots_width = Text_Width(dots);
        while (!run.text.empty() && Text_Width(run) + dots_width > limit) run.text.pop_back();
        if (dots_width > limit) return;
        run.text += dots.text;
    }
    if (run.text.empty()) return;
    int ascent = Helvetica_Ascent, descent = Helvetica_Descent;
    if (run.font >= 0) {
        ascent = fonts_[run.font]->font->Ascent();
        descent = fonts_[run.font]->font->Descent();
    }
    double x = strip.left + (strip.Width() - Text_Width(run) * size / 1000) / 2;
    double line = (ascent - descent) * size / 1000;
    double baseline = strip.top + (strip.Height() - line) / 2 + ascent * size / 1000;
    // Appended rather than "F" + text: GCC 12's -O3 flags the latter with a
    // false overlap warning in the 32-bit build.
    std::string name = "F";
    name += run.font < 0 ? std::string("0") : std::to_string(run.font + 1);
    if (run.font < 0 && helvetica_ == 0)
        helvetica_ = writer_.Add_Object("<</Type/Font/Subtype/Type1/BaseFont/Helvetica/Encoding/WinAnsiEncoding>>");
    if (run.font >= 0 && fonts_[run.font]->id == 0) fonts_[run.font]->id = writer_.Reserve();
    content_ += "BT /" + name + " " + Pdf_Number(size) + " Tf " + Pdf_Number(x) + " " +
                Pdf_Number(page_height_ - baseline) + " Td " + Show_Text(run) + " Tj ET\n";
    page_fonts_.insert(run.font);
}

void Pdf_Document::End_Page() {
    if (!in_page_) throw Failure(L"a PDF page was ended that was not begun");
    in_page_ = false;
    Pdf_Object_Id contents = writer_.Reserve();
    writer_.Add_Stream(contents, "",
                       std::span(reinterpret_cast<const std::uint8_t*>(content_.data()), content_.size()));
    std::string resources = "<<";
    if (!page_images_.empty()) {
        resources += "/XObject<<";
        for (Pdf_Object_Id id : page_images_) resources += "/Im" + std::to_string(id) + " " + Ref(id);
        resources += ">>";
    }
    if (!page_fonts_.empty()) {
        resources += "/Font<<";
        for (int font : page_fonts_)
            resources +=
                font < 0 ? "/F0 " + Ref(helvetica_) : "/F" + std::to_string(font + 1) + " " + Ref(fonts_[font]->id);
        resources += ">>";
    }
    resources += ">>";
    pages_.push_back(writer_.Add_Object("<</Type/Page/Parent " + Ref(pages_root_) + "/MediaBox[0 0 " +
                                        Pdf_Number(page_width_) + " " + Pdf_Number(page_height_) + "]/Resources" +
                                        resources + "/Contents " + Ref(contents) + ">>"));
}

// Ends a deflated stream's object and writes its length, known only now, into
// the object reserved for it.
void Pdf_Document::End_Deflated_Stream(Flate_Stream& flate, Pdf_Object_Id length) {
    std::uint64_t compressed = flate.Finish();
    writer_.Write("\nendstream");
    writer_.End_Object();
    writer_.Begin_Object(length);
    writer_.Write(std::to_string(compressed));
    writer_.End_Object();
}

void Pdf_Document::Write_Truetype(Font_Use& use) {
    Truetype_Font& font = *use.font;
    std::vector<std::uint8_t> subset = font.Subset();
    // The subset's tag: six capitals that differ with the glyphs it holds.
    std::uint32_t hash = 2166136261u;
    for (const auto& used : font.Used()) hash = (hash ^ used.glyph) * 16777619u;
    std::string name = "";
    for (int i = 0; i < 6; ++i, hash /= 26) name += static_cast<char>('A' + hash % 26);
    name += "+" + font.PostScript_Name();

    Pdf_Object_Id file = writer_.Reserve(), length = writer_.Reserve();
    writer_.Begin_Object(file);
    writer_.Write("<</Length1 " + std::to_string(subset.size()) + "/Filter/FlateDecode/Length " + Ref(length) +
                  ">>\nstream\n");
    Flate_Stream flate(writer_);
    flate.Write(subset);
    End_Deflated_Stream(flate, length);

    auto box = font.Bounding_Box();
    Pdf_Object_Id descriptor = writer_.Add_Object(
        "<</Type/FontDescriptor/FontName/" + name + "/Flags 4/FontBBox[" + std::to_string(box[0]) + " " +
        std::to_string(box[1]) + " " + std::to_string(box[2]) + " " + std::to_string(box[3]) +
        "]/ItalicAngle 0/Ascent " + std::to_string(font.Ascent()) + "/Descent " + std::to_string(font.Descent()) +
        "/CapHeight " + std::to_string(font.Cap_Height()) + "/StemV 80/FontFile2 " + Ref(file) + ">>");
    std::string widths = "[0[";
    for (const auto& used : font.Used()) widths += std::to_string(font.Width_Of(used.glyph)) + " ";
    widths += "]]";
    Pdf_Object_Id descendant =
        writer_.Add_Object("<</Type/Font/Subtype/CIDFontType2/BaseFont/" + name +
                           "/CIDSystemInfo<</Registry(Adobe)/Ordering(Identity)/Supplement 0>>/FontDescriptor " +
                           Ref(descriptor) + "/W" + widths + "/CIDToGIDMap/Identity>>");

    std::string map =
        "/CIDInit/ProcSet findresource begin\n12 dict begin\nbegincmap\n"
        "/CIDSystemInfo<</Registry(Adobe)/Ordering(UCS)/Supplement 0>>def\n/CMapName/Adobe-Identity-UCS def\n"
        "/CMapType 2 def\n1 begincodespacerange\n<0000><FFFF>\nendcodespacerange\n";
    std::vector<std::string> pairs;
    const auto& used = font.Used();
    for (std::size_t number = 0; number < used.size(); ++number)
        if (used[number].character != 0)
            pairs.push_back(std::string("<")
                                .append(Hex4(static_cast<std::uint32_t>(number)))
                                .append("><")
                                .append(Utf16_Hex(used[number].character))
                                .append(">\n"));
    // A block of the map holds at most 100 entries.
    for (std::size_t i = 0; i < pairs.size(); i += 100) {
        std::size_t n = std::min<std::size_t>(100, pairs.size() - i);
        map += std::to_string(n) + " beginbfchar\n";
        for (std::size_t k = i; k < i + n; ++k) map += pairs[k];
        map += "endbfchar\n";
    }
    map += "endcmap\nCMapName currentdict/CMap defineresource pop\nend\nend\n";
    Pdf_Object_Id to_unicode = writer_.Reserve();
    writer_.Add_Stream(to_unicode, "", std::span(reinterpret_cast<const std::uint8_t*>(map.data()), map.size()));

    writer_.Begin_Object(use.id);
    writer_.Write("<</Type/Font/Subtype/Type0/BaseFont/" + name + "/Encoding/Identity-H/DescendantFonts[" +
                  Ref(descendant) + "]/ToUnicode " + Ref(to_unicode) + ">>");
    writer_.End_Object();
}

void Pdf_Document::Finish() {
    if (in_page_) End_Page();
    for (auto& use : fonts_)
        if (use->id != 0) Write_Truetype(*use);
    std::string kids;
    for (Pdf_Object_Id page : pages_) kids += Ref(page) + " ";
    writer_.Begin_Object(pages_root_);
    writer_.Write("<</Type/Pages/Count " + std::to_string(pages_.size()) + "/Kids[" + kids + "]>>");
    writer_.End_Object();
    Pdf_Object_Id catalog = writer_.Add_Object("<</Type/Catalog/Pages " + Ref(pages_root_) + ">>");
    writer_.Finish(catalog, info_);
}

}  // namespace velbrook
