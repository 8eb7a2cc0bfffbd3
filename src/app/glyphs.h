#pragma once
// The small pictures beside the captions of the main window's buttons.
// Each is drawn once, 16 by 16 in the classic 16 colours; the picture a
// disabled button shows is derived from it, so the two never drift apart.
// Portable: the button turns these pixels into a bitmap of its own.

#include <array>
#include <cstdint>
#include <string_view>

namespace velbrook {

enum class Glyph_Id { Print, Exit, Move_Up, Move_Down, Remove, Reset, Sort_List, Abort, Load, Save, Save_As };

inline constexpr std::array<Glyph_Id, 11> All_Glyph_Ids{
    Glyph_Id::Print,     Glyph_Id::Exit,  Glyph_Id::Move_Up, Glyph_Id::Move_Down, Glyph_Id::Remove, Glyph_Id::Reset,
    Glyph_Id::Sort_List, Glyph_Id::Abort, Glyph_Id::Load,    Glyph_Id::Save,      Glyph_Id::Save_As};

inline constexpr int Glyph_Size = 16;

// 16 rows of 16, top row first; 0xAARRGGBB with alpha 0 (transparent) or 0xFF.
struct Glyph_Image {
    std::array<std::uint32_t, 256> argb;
};

// A glyph as drawn: 16 rows of 16 hex digits, top row first, each digit an
// index into Classic_Palette.  The colour of the bottom-left pixel is the
// transparent one throughout the glyph.
using Glyph_Pattern = std::array<std::string_view, 16>;
const Glyph_Pattern& Button_Glyph_Pattern(Glyph_Id id);

// black, maroon, green, olive, navy, purple, teal, silver,
// grey, red, lime, yellow, blue, fuchsia, aqua, white (0xRRGGBB).
inline constexpr std::array<std::uint32_t, 16> Classic_Palette{
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

// The glyph as pixels.  Disabled, every opaque pixel turns dark grey and casts
// a white highlight one pixel down and to the right wherever that spot is
// transparent: the engraved look of a button that cannot be pressed.
Glyph_Image Button_Glyph(Glyph_Id id, bool disabled);

// The same derivations, for any pattern (throws Failure on a malformed one).
Glyph_Image Glyph_From_Pattern(const Glyph_Pattern& pattern);
Glyph_Image Disabled_Glyph(const Glyph_Image& normal);

}  // namespace velbrook
