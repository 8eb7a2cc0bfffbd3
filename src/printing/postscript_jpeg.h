#pragma once
// A JPEG drawn by a PostScript printer from the file's own bytes: the
// PostScript around them, which places the picture by its matrix alone
// (turns, flips, the visible part) and clips it to its destination, and the
// ASCII85 encoding for a channel that takes text only.  Portable, so that the
// host tests read what a printer would be sent.

#include <cstdint>
#include <span>
#include <string>

#include "pdf/image_placement.h"
#include "pdf/jpeg_header.h"
#include "picture/placement.h"

namespace velbrook {

// How the file's bytes travel: as they are, or as ASCII85 text for a
// channel that would take some bytes for its own controls.
enum class Postscript_Data { Binary, Ascii85 };

// The PostScript before and after a JPEG's bytes (from its start through its
// end marker, nothing after it, encoded as `data` says).  It draws in the
// space a PostScript printer's driver leaves at its passthrough: device
// pixels of the printable area, x to the right and y down from its top-left
// corner.  The placement is in pixels of the picture as held (`held_width` x
// `held_height`, which a scaled decode makes smaller than the file's), the
// image itself at the file's size.  Both empty when nothing is visible.
struct Postscript_Jpeg {
    std::string before;
    std::string after;
};
Postscript_Jpeg Postscript_For_Jpeg(const Jpeg_Header& header, const Placement& placement, std::int32_t held_width,
                                    std::int32_t held_height, Postscript_Data data);

// The matrix that takes the image's unit square (its first row at the top)
// to the destination in that device space: the a b c d e f of `concat`.
Pdf_Matrix Postscript_Image_Matrix(const Placement& placement, std::int32_t held_width, std::int32_t held_height);

// ASCII85 as PostScript's ASCII85Decode reads it, fed in pieces: groups of
// four bytes carried from one piece to the next, lines of at most 76
// characters, "~>" at the end.
class Ascii85_Encoder {
public:
    void Add(std::span<const std::uint8_t> bytes, std::string& out);
    // The last, short group and the end mark.
    void Finish(std::string& out);

private:
    // A group's digits, on a new line when they would make this one too long.
    void Put(const char* digits, int count, std::string& out);

    std::uint32_t group_ = 0;
    int count_ = 0;
    int column_ = 0;
};

}  // namespace velbrook
