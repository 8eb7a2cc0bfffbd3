// libFuzzer target: any bytes as a JPEG whose Exif orientation is read.  The
// answer is always one of the eight orientations, and reading never leaves
// the bytes (AddressSanitizer watches the exact-size copy libFuzzer hands
// over).
#include "../common/fuzz_support.h"
#include "picture/exif_orientation.h"

using velbrook::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const int orientation = velbrook::Read_Exif_Orientation({data, size});
    Require(orientation >= 1 && orientation <= 8, "one of the eight orientations");
    // Nothing but the bytes decides: a second read agrees.
    Require(velbrook::Read_Exif_Orientation({data, size}) == orientation, "the same answer twice");
    return 0;
}
