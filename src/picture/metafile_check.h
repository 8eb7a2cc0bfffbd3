#pragma once
// Enhanced and Windows metafiles, checked before the system's players see
// them.  Those players trust the sizes written in the file: a record that
// claims more bytes than it has, a header that points outside itself or a
// metafile without its end record makes them read past the bytes they were
// given.  Portable, so that the checks are fuzzed and tested natively.

#include <cstdint>
#include <optional>
#include <span>

namespace velbrook {

// An enhanced metafile (".emf"): the 88-byte header or a longer one, its
// signature, device and frame sizes, a description and pixel format inside
// the header record; then every record at least 8 bytes, a multiple of 4 and
// inside the size the header claims (which the file must hold), as many as
// the header counts, the last one the end-of-file record with its palette
// inside it; every record that names an entry of the object table names one
// inside the table the header announces (or a stock object, where one may
// stand).  Returns the metafile's own bytes (the file may hold more after
// them); throws Invalid_Picture, with the reason, for anything else.
std::span<const std::uint8_t> Check_Emf(std::span<const std::uint8_t> file);

// The placeable header's picture frame, in its own units per inch.
struct Wmf_Frame {
    int left = 0, top = 0, right = 0, bottom = 0;
    int units_per_inch = 0;
};

struct Checked_Wmf {
    std::span<const std::uint8_t> metafile;  // from the metafile header on, as the system takes it
    std::optional<Wmf_Frame> frame;          // only for a placeable metafile
};

// A Windows metafile (".wmf"), with or without the 22-byte placeable header
// in front.  A placeable header must give a frame that is not empty and a
// positive number of units per inch; its checksum is not looked at, since
// many writers get it wrong and the system ignores it.  The metafile header
// must have its own size, a known type and version, and a size in words that
// the file holds; every record at least 3 words, no larger than the largest
// record the header announces, inside that size, and the last one the 3-word
// end record, ending exactly where the header says the metafile ends; every
// object a record selects, deletes or paints with lies inside the object
// table the header announces.
// Throws Invalid_Picture, with the reason, for anything else.
Checked_Wmf Check_Wmf(std::span<const std::uint8_t> file);

}  // namespace velbrook
