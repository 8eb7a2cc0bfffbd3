// seed_metafile_check DIR: writes the metafile fuzzer's seed corpus:
// enhanced metafiles with and without a description and end-record palette,
// Windows metafiles placeable (right and wrong checksum) and not.
#include "../common/fuzz_support.h"
#include "support/metafile_writer.h"

using namespace velbrook::test;

int main(int argc, char** argv) {
    velbrook::fuzz::Seed_Folder seeds(argc, argv, "seed_metafile_check");
    Emf_Spec emf{.records = Emf_Filled_Rectangle(0xFFFF00)};
    seeds.Write("rectangle.emf", Build_Emf(emf));
    emf.description = std::u16string(u"Velbrook\0seed\0\0", 15);
    emf.eof_palette = {0x00102030, 0x00405060, 0x00708090};
    seeds.Write("described.emf", Build_Emf(emf));
    emf.records.clear();
    seeds.Write("empty.emf", Build_Emf(emf));
    Wmf_Spec wmf{.records = Wmf_Filled_Rectangle(0x0080FF)};
    seeds.Write("placeable.wmf", Build_Wmf(wmf));
    wmf.right_checksum = false;
    seeds.Write("wrong-checksum.wmf", Build_Wmf(wmf));
    wmf.placeable = false;
    seeds.Write("plain.wmf", Build_Wmf(wmf));
    wmf.records.clear();
    seeds.Write("empty.wmf", Build_Wmf(wmf));
    return 0;
}
