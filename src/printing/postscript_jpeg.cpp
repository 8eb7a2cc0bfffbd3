#include "printing/postscript_jpeg.h"

#include "pdf/pdf_writer.h"

namespace velbrook {
namespace {

constexpr int Ascii85_Line = 76;

Image_Placement Device_Placement(const Placement& placement, std::int32_t held_width, std::int32_t held_height) {
    const Box& s = placement.source;
    const Box& d = placement.destination;
    return {.orientation = placement.orientation,
            .stored_width = double(held_width),
            .stored_height = double(held_height),
            .source = {double(s.left), double(s.top), double(s.right), double(s.bottom)},
            .destination = {double(d.left), double(d.top), double(d.right), double(d.bottom)}};
}

std::string Numbers(std::initializer_list<double> values) {
    std::string out;
    for (double v : values) {
        if (!out.empty()) out += ' ';
        out += Pdf_Number(v);
    }
    return out;
}

// The colour space and the Decode array of the file's components.  Adobe
// stores CMYK inverted (0 full ink), which the Decode array turns back.
std::string Colour_Space(const Jpeg_Header& header) {
    switch (header.components) {
        case 1:
            return "/DeviceGray";
        case 4:
            return "/DeviceCMYK";
        default:
            return "/DeviceRGB";
    }
}

std::string Decode_Array(const Jpeg_Header& header) {
    switch (header.components) {
        case 1:
            return "[0 1]";
        case 4:
            return header.adobe ? "[1 0 1 0 1 0 1 0]" : "[0 1 0 1 0 1 0 1]";
        default:
            return "[0 1 0 1 0 1]";
    }
}

}  // namespace

Pdf_Matrix Postscript_Image_Matrix(const Placement& placement, std::int32_t held_width, std::int32_t held_height) {
    // The PDF matrix for a page of height 0 has y up from the top edge; the
    // device's y runs down, so every y is negated.
    const Pdf_Matrix m = Image_Matrix(Device_Placement(placement, held_width, held_height), 0);
    return {m.a, -m.b, m.c, -m.d, m.e, -m.f};
}

Postscript_Jpeg Postscript_For_Jpeg(const Jpeg_Header& header, const Placement& placement, std::int32_t held_width,
                                    std::int32_t held_height, Postscript_Data data) {
    const Box& d = placement.destination;
    if (d.Empty() || placement.source.Empty() || held_width <= 0 || held_height <= 0) return {};
    const Pdf_Matrix m = Postscript_Image_Matrix(placement, held_width, held_height);
    const std::string w = std::to_string(header.width), h = std::to_string(header.height);
    // Three components named R, G and B without Adobe's marker are stored
    // as RGB, which the decoder would otherwise take for YCbCr.
    const std::string dct = header.rgb_named ? "<< /ColorTransform 0 >> /DCTDecode filter" : "/DCTDecode filter";
    const std::string image = "<< /ImageType 1 /Width " + w + " /Height " + h +
                              " /BitsPerComponent 8 /Decode " + Decode_Array(header) + " /ImageMatrix [" + w +
                              " 0 0 -" + h + " 0 " + h + "] >>";
    Postscript_Jpeg out;
    out.before = "\ngsave\nnewpath " + Numbers({double(d.left), double(d.top)}) + " moveto " +
                 Numbers({double(d.Width())}) + " 0 rlineto 0 " + Numbers({double(d.Height())}) + " rlineto " +
                 Numbers({-double(d.Width())}) + " 0 rlineto closepath clip newpath\n[" +
                 Numbers({m.a, m.b, m.c, m.d, m.e, m.f}) + "] concat\n" + Colour_Space(header) + " setcolorspace\n";
    // The procedure is read whole before it runs, so that the image takes
    // its data from the bytes right after "exec".  Binary data ends with the
    // end marker, where the decoder stops; ASCII85 text ends with "~>",
    // which the decoder leaves unread, so the procedure reads the text to
    // its end before the PostScript after it is read.
    if (data == Postscript_Data::Binary) {
        out.before += "{ currentfile dup " + dct + " " + image + " dup /DataSource 4 -1 roll put image pop } exec\n";
    } else {
        out.before += "{ currentfile /ASCII85Decode filter dup " + dct + " " + image +
                      " dup /DataSource 4 -1 roll put image"
                      " { dup 4096 string readstring exch pop not { exit } if } loop pop } exec\n";
    }
    out.after = "\ngrestore\n";
    return out;
}

void Ascii85_Encoder::Put(const char* digits, int count, std::string& out) {
    if (column_ + count > Ascii85_Line) {
        out += '\n';
        column_ = 0;
    }
    out.append(digits, static_cast<std::size_t>(count));
    column_ += count;
}

void Ascii85_Encoder::Add(std::span<const std::uint8_t> bytes, std::string& out) {
    out.reserve(out.size() + bytes.size() / 4 * 5 + bytes.size() / 60 + 8);
    for (const std::uint8_t byte : bytes) {
        group_ = group_ << 8 | byte;
        if (++count_ < 4) continue;
        if (group_ == 0) {
            Put("z", 1, out);
        } else {
            char digits[5];
            std::uint32_t v = group_;
            for (int k = 4; k >= 0; --k, v /= 85) digits[k] = static_cast<char>('!' + v % 85);
            Put(digits, 5, out);
        }
        group_ = 0;
        count_ = 0;
    }
}

void Ascii85_Encoder::Finish(std::string& out) {
    if (count_ > 0) {
        // A short group is padded with zeros and written one digit longer
        // than its bytes.
        std::uint32_t v = group_ << (8 * (4 - count_));
        char digits[5];
        for (int k = 4; k >= 0; --k, v /= 85) digits[k] = static_cast<char>('!' + v % 85);
        Put(digits, count_ + 1, out);
    }
    group_ = 0;
    count_ = 0;
    Put("~>", 2, out);
    column_ = 0;
}

}  // namespace velbrook
