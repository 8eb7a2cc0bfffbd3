#include "pdf/truetype_font.h"

#include <algorithm>
#include <cstring>

#include "toolkit/failure.h"

namespace velbrook {

namespace {

// Composite glyph flags.
constexpr std::uint16_t Args_Are_Words = 0x0001;
constexpr std::uint16_t Have_Scale = 0x0008;
constexpr std::uint16_t More_Components = 0x0020;
constexpr std::uint16_t Have_XY_Scale = 0x0040;
constexpr std::uint16_t Have_Two_By_Two = 0x0080;
// Composites of composites are allowed, but not without end.
constexpr int Deepest_Composite = 8;

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    Put16(out, v >> 16);
    Put16(out, v & 0xFFFF);
}
void Set16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    out[at] = static_cast<std::uint8_t>(v >> 8);
    out[at + 1] = static_cast<std::uint8_t>(v);
}
void Set32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    Set16(out, at, v >> 16);
    Set16(out, at + 2, v & 0xFFFF);
}
std::uint32_t Check_Sum(std::span<const std::uint8_t> data) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < data.size(); i += 4) {
        std::uint32_t word = 0;
        for (std::size_t k = 0; k < 4; ++k) word = word << 8 | (i + k < data.size() ? data[i + k] : 0);
        sum += word;
    }
    return sum;
}

[[noreturn]] void Damaged() { throw Failure(L"the caption font's file is damaged"); }

}  // namespace

std::uint32_t Truetype_Font::U32(std::uint64_t at) const {
    if (at + 4 > bytes_.size()) Damaged();
    return std::uint32_t(bytes_[at]) << 24 | bytes_[at + 1] << 16 | bytes_[at + 2] << 8 | bytes_[at + 3];
}

std::uint16_t Truetype_Font::U16(std::uint64_t at) const {
    if (at + 2 > bytes_.size()) Damaged();
    return static_cast<std::uint16_t>(bytes_[at] << 8 | bytes_[at + 1]);
}

const Truetype_Font::Table& Truetype_Font::Need(const char* tag) const {
    auto found = tables_.find(tag);
    if (found == tables_.end()) throw Failure(L"the caption font has no TrueType outlines");
    return found->second;
}

Truetype_Font::Truetype_Font(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {
    std::uint32_t start = 0;
    if (U32(0) == 0x74746366) start = U32(12);  // 'ttcf': the collection's first font
    std::uint32_t version = U32(start);
    if (version != 0x00010000 && version != 0x74727565) throw Failure(L"the caption font has no TrueType outlines");
    int count = U16(start + 4);
    for (int i = 0; i < count; ++i) {
        std::uint64_t record = start + 12 + 16ull * i;
        Table table{U32(record + 8), U32(record + 12)};
        if (std::uint64_t(table.offset) + table.length > bytes_.size()) Damaged();
        tables_[std::string(reinterpret_cast<const char*>(&bytes_[record]), 4)] = table;
    }
    for (const char* tag : {"head", "hhea", "maxp", "hmtx", "loca", "glyf"}) Need(tag);
    // The fields read and rewritten lie inside their tables.
    if (Need("head").length < 54 || Need("hhea").length < 36 || Need("maxp").length < 6) Damaged();
    const Table& head = Need("head");
    units_per_em_ = U16(head.offset + 18);
    if (units_per_em_ < 16) Damaged();
    long_loca_ = S16(head.offset + 50) == 1;
    glyph_count_ = U16(Need("maxp").offset + 4);
    const Table& hhea = Need("hhea");
    ascent_ = S16(hhea.offset + 4);
    descent_ = S16(hhea.offset + 6);
    long_metrics_ = U16(hhea.offset + 34);
    if (glyph_count_ == 0 || long_metrics_ == 0 || long_metrics_ > glyph_count_) Damaged();
    if (Need("hmtx").length < 4u * long_metrics_ + 2u * (glyph_count_ - long_metrics_)) Damaged();
    if (Need("loca").length < (long_loca_ ? 4u : 2u) * (glyph_count_ + 1)) Damaged();
    cap_height_ = ascent_;
    if (auto os2 = tables_.find("OS/2");
        os2 != tables_.end() && os2->second.length >= 90 && U16(os2->second.offset) >= 2)
        cap_height_ = S16(os2->second.offset + 88);
    Read_Character_Map();
    Read_Name();
    Use_Glyph(0, 0, 0);
}

void Truetype_Font::Read_Character_Map() {
    // Without a Unicode map the font has no character (an embedded subset
    // has none at all), and no caption chooses it.
    auto found = tables_.find("cmap");
    if (found == tables_.end()) return;
    const Table& cmap = found->second;
    int count = U16(cmap.offset + 2);
    int best = 0;  // 2: full Unicode (format 12), 1: the basic plane (format 4)
    for (int i = 0; i < count; ++i) {
        std::uint64_t record = cmap.offset + 4 + 8ull * i;
        int platform = U16(record), encoding = U16(record + 2);
        std::uint32_t offset = cmap.offset + U32(record + 4);
        bool unicode = platform == 0 || (platform == 3 && (encoding == 1 || encoding == 10));
        if (!unicode) continue;
        int format = U16(offset);
        int rank = format == 12 ? 2 : format == 4 ? 1 : 0;
        if (rank > best) {
            best = rank;
            cmap_format_ = format;
            cmap_offset_ = offset;
        }
    }
}

void Truetype_Font::Read_Name() {
    postscript_name_.clear();
    if (auto name = tables_.find("name"); name != tables_.end()) {
        std::uint32_t base = name->second.offset;
        int count = U16(base + 2);
        std::uint32_t strings = base + U16(base + 4);
        for (int i = 0; i < count && postscript_name_.empty(); ++i) {
            std::uint64_t record = base + 6 + 12ull * i;
            int platform = U16(record), name_id = U16(record + 6);
            int length = U16(record + 8), offset = U16(record + 10);
            if (name_id != 6 || (platform != 1 && platform != 3)) continue;
            int step = platform == 3 ? 2 : 1;
            for (int k = step - 1; k < length; k += step) {
                std::uint64_t at = std::uint64_t(strings) + offset + k;
                if (at >= bytes_.size()) break;
                char c = static_cast<char>(bytes_[at]);
                bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
                if (plain) postscript_name_ += c;
            }
        }
    }
    if (postscript_name_.empty()) postscript_name_ = "CaptionFont";
}

std::uint16_t Truetype_Font::Glyph_Of(char32_t c) const {
    std::uint32_t t = cmap_offset_;
    std::uint32_t glyph = 0;
    if (cmap_format_ == 0) return 0;
    if (cmap_format_ == 12) {
        std::uint32_t groups = U32(t + 12);
        std::uint32_t low = 0, high = groups;
        while (low < high) {
            std::uint32_t mid = (low + high) / 2;
            std::uint64_t group = t + 16 + 12ull * mid;
            if (c < U32(group))
                high = mid;
            else if (c > U32(group + 4))
                low = mid + 1;
            else {
                glyph = U32(group + 8) + (c - U32(group));
                break;
            }
        }
    } else if (c <= 0xFFFF) {
        int segments = U16(t + 6) / 2;
        std::uint64_t ends = t + 14, starts = ends + 2ull * segments + 2;
        std::uint64_t deltas = starts + 2ull * segments, ranges = deltas + 2ull * segments;
        for (int i = 0; i < segments; ++i) {
            if (c > U16(ends + 2ull * i)) continue;
            std::uint16_t first = U16(starts + 2ull * i);
            if (c < first) break;
            std::uint16_t delta = U16(deltas + 2ull * i), range = U16(ranges + 2ull * i);
            if (range == 0) {
                glyph = (c + delta) & 0xFFFF;
            } else {
                std::uint16_t g = U16(ranges + 2ull * i + range + 2ull * (c - first));
                glyph = g == 0 ? 0 : (g + delta) & 0xFFFF;
            }
            break;
        }
    }
    return glyph < static_cast<std::uint32_t>(glyph_count_) ? static_cast<std::uint16_t>(glyph) : 0;
}

int Truetype_Font::Width_Of(std::uint16_t glyph) const {
    int index = std::min<int>(glyph, long_metrics_ - 1);
    return Scaled(U16(Need("hmtx").offset + 4ull * index));
}

std::array<int, 4> Truetype_Font::Bounding_Box() const {
    std::uint32_t head = Need("head").offset;
    return {Scaled(S16(head + 36)), Scaled(S16(head + 38)), Scaled(S16(head + 40)), Scaled(S16(head + 42))};
}

std::span<const std::uint8_t> Truetype_Font::Glyph_Data(std::uint16_t glyph) const {
    const Table& loca = Need("loca");
    const Table& glyf = Need("glyf");
    std::uint32_t from = long_loca_ ? U32(loca.offset + 4ull * glyph) : 2u * U16(loca.offset + 2ull * glyph);
    std::uint32_t to = long_loca_ ? U32(loca.offset + 4ull * glyph + 4) : 2u * U16(loca.offset + 2ull * glyph + 2);
    if (to < from || to > glyf.length) Damaged();
    return std::span(bytes_).subspan(glyf.offset + from, to - from);
}

// The glyphs a composite glyph is built from (none for a simple glyph).
std::vector<std::uint16_t> Truetype_Font::Components(std::uint16_t glyph) const {
    std::vector<std::uint16_t> parts;
    auto data = Glyph_Data(glyph);
    if (data.size() < 10 || static_cast<std::int16_t>(data[0] << 8 | data[1]) >= 0) return parts;
    std::size_t at = 10;
    for (;;) {
        if (at + 4 > data.size()) Damaged();
        std::uint16_t flags = static_cast<std::uint16_t>(data[at] << 8 | data[at + 1]);
        std::uint16_t part = static_cast<std::uint16_t>(data[at + 2] << 8 | data[at + 3]);
        if (part >= glyph_count_) Damaged();
        parts.push_back(part);
        at += 4 + ((flags & Args_Are_Words) ? 4 : 2);
        at += (flags & Have_Scale) ? 2 : (flags & Have_XY_Scale) ? 4 : (flags & Have_Two_By_Two) ? 8 : 0;
        if (!(flags & More_Components)) break;
    }
    return parts;
}

std::uint16_t Truetype_Font::Use(std::uint16_t glyph, char32_t c) { return Use_Glyph(glyph, c, 0); }

std::uint16_t Truetype_Font::Use_Glyph(std::uint16_t glyph, char32_t c, int depth) {
    if (auto found = subset_numbers_.find(glyph); found != subset_numbers_.end()) {
        if (used_[found->second].character == 0 && glyph != 0) used_[found->second].character = c;
        return found->second;
    }
    if (depth > Deepest_Composite) Damaged();
    auto number = static_cast<std::uint16_t>(used_.size());
    subset_numbers_[glyph] = number;
    used_.push_back({glyph, c});
    for (std::uint16_t part : Components(glyph)) Use_Glyph(part, 0, depth + 1);
    return number;
}

std::vector<std::uint8_t> Truetype_Font::Subset() const {
    std::map<std::string, std::vector<std::uint8_t>> out;
    auto copy = [&](const char* tag) {
        const Table& t = Need(tag);
        return std::vector<std::uint8_t>(bytes_.begin() + t.offset, bytes_.begin() + t.offset + t.length);
    };
    std::vector<std::uint8_t>& glyf = out["glyf"];
    std::vector<std::uint8_t>& loca = out["loca"];
    std::vector<std::uint8_t>& hmtx = out["hmtx"];
    const Table& metrics = Need("hmtx");
    for (const Used_Glyph& used : used_) {
        Put32(loca, static_cast<std::uint32_t>(glyf.size()));
        auto data = Glyph_Data(used.glyph);
        std::size_t start = glyf.size();
        glyf.insert(glyf.end(), data.begin(), data.end());
        // A composite names its parts by their new numbers.
        if (data.size() >= 10 && static_cast<std::int16_t>(data[0] << 8 | data[1]) < 0) {
            std::size_t at = start + 10;
            for (;;) {
                std::uint16_t flags = static_cast<std::uint16_t>(glyf[at] << 8 | glyf[at + 1]);
                std::uint16_t part = static_cast<std::uint16_t>(glyf[at + 2] << 8 | glyf[at + 3]);
                Set16(glyf, at + 2, subset_numbers_.at(part));
                at += 4 + ((flags & Args_Are_Words) ? 4 : 2);
                at += (flags & Have_Scale) ? 2 : (flags & Have_XY_Scale) ? 4 : (flags & Have_Two_By_Two) ? 8 : 0;
                if (!(flags & More_Components)) break;
            }
        }
        while (glyf.size() % 4) glyf.push_back(0);
        int index = std::min<int>(used.glyph, long_metrics_ - 1);
        Put16(hmtx, U16(metrics.offset + 4ull * index));
        std::uint64_t side = used.glyph < long_metrics_
                                 ? metrics.offset + 4ull * used.glyph + 2
                                 : metrics.offset + 4ull * long_metrics_ + 2ull * (used.glyph - long_metrics_);
        Put16(hmtx, U16(side));
    }
    Put32(loca, static_cast<std::uint32_t>(glyf.size()));
    auto count = static_cast<std::uint32_t>(used_.size());
    out["head"] = copy("head");
    Set32(out["head"], 8, 0);
    Set16(out["head"], 50, 1);  // long offsets in loca
    out["hhea"] = copy("hhea");
    Set16(out["hhea"], 34, count);
    out["maxp"] = copy("maxp");
    Set16(out["maxp"], 4, count);
    // The hinting programs stay, since the glyphs' instructions call them.
    for (const char* tag : {"cvt ", "fpgm", "prep"})
        if (tables_.count(tag)) out[tag] = copy(tag);

    std::vector<std::uint8_t> file;
    auto tables = static_cast<std::uint16_t>(out.size());
    int power = 1, log = 0;
    while (power * 2 <= tables) power *= 2, ++log;
    Put32(file, 0x00010000);
    Put16(file, tables);
    Put16(file, power * 16);
    Put16(file, log);
    Put16(file, tables * 16 - power * 16);
    std::size_t offset = 12 + 16 * out.size();
    for (auto& [tag, data] : out) {  // std::map keeps the tags in the sorted order the format wants
        file.insert(file.end(), tag.begin(), tag.end());
        Put32(file, Check_Sum(data));
        Put32(file, static_cast<std::uint32_t>(offset));
        Put32(file, static_cast<std::uint32_t>(data.size()));
        offset += (data.size() + 3) / 4 * 4;
    }
    std::size_t head_at = 0;
    for (auto& [tag, data] : out) {
        if (tag == "head") head_at = file.size();
        file.insert(file.end(), data.begin(), data.end());
        while (file.size() % 4) file.push_back(0);
    }
    Set32(file, head_at + 8, 0xB1B0AFBA - Check_Sum(file));
    return file;
}

}  // namespace velbrook
