#pragma once
// A TrueType font read from its file's bytes, for captions that Windows-1252
// cannot hold: which characters it has, their glyphs and widths, and a copy
// cut down to the glyphs a document used (plus the parts that composite
// glyphs are built from), for embedding.  Glyphs are numbered anew in the
// order of first use, 0 being the missing-glyph box.

#include <array>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace velbrook {

class Truetype_Font {
public:
    // Takes the bytes of a .ttf file, or of a .ttc collection (its first
    // font).  A file without TrueType outlines, or damaged, throws Failure;
    // one without a Unicode character map has no characters.
    explicit Truetype_Font(std::vector<std::uint8_t> bytes);

    // The font's glyph for a character; 0 when it has none.
    std::uint16_t Glyph_Of(char32_t c) const;
    // A glyph's advance in thousandths of the font size.
    int Width_Of(std::uint16_t glyph) const;
    // The subset's number for a glyph, given at its first use.
    std::uint16_t Use(std::uint16_t glyph, char32_t c);

    const std::string& PostScript_Name() const { return postscript_name_; }
    int Ascent() const { return Scaled(ascent_); }
    int Descent() const { return Scaled(descent_); }
    int Cap_Height() const { return Scaled(cap_height_); }
    // xMin yMin xMax yMax in thousandths.
    std::array<int, 4> Bounding_Box() const;

    // The glyphs used so far, by subset number: original glyph and the
    // character it stood for (0 for a part of a composite, and for glyph 0).
    struct Used_Glyph {
        std::uint16_t glyph = 0;
        char32_t character = 0;
    };
    const std::vector<Used_Glyph>& Used() const { return used_; }
    // A font file holding only the used glyphs, numbered by subset number.
    std::vector<std::uint8_t> Subset() const;

private:
    struct Table {
        std::uint32_t offset = 0, length = 0;
    };
    std::uint32_t U32(std::uint64_t at) const;
    std::uint16_t U16(std::uint64_t at) const;
    std::int16_t S16(std::uint64_t at) const { return static_cast<std::int16_t>(U16(at)); }
    const Table& Need(const char* tag) const;
    int Scaled(int units) const { return units * 1000 / units_per_em_; }
    std::span<const std::uint8_t> Glyph_Data(std::uint16_t glyph) const;
    std::vector<std::uint16_t> Components(std::uint16_t glyph) const;
    std::uint16_t Use_Glyph(std::uint16_t glyph, char32_t c, int depth);
    void Read_Character_Map();
    void Read_Name();

    std::vector<std::uint8_t> bytes_;
    std::map<std::string, Table> tables_;
    int units_per_em_ = 1000;
    int glyph_count_ = 0;
    int long_metrics_ = 0;
    bool long_loca_ = false;
    int ascent_ = 0, descent_ = 0, cap_height_ = 0;
    std::string postscript_name_;
    // The chosen character map subtable: format 4 or 12 at this offset; 0
    // for none.
    int cmap_format_ = 0;
    std::uint32_t cmap_offset_ = 0;
    std::map<std::uint16_t, std::uint16_t> subset_numbers_;
    std::vector<Used_Glyph> used_;
};

}  // namespace velbrook
