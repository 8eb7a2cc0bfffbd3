#include "pdf/pdf_writer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "toolkit/failure.h"

namespace velbrook {

namespace {

// Output is gathered into blocks of this size, so that a file receives a few
// large writes rather than one per token.
constexpr std::size_t Buffer_Size = 256 * 1024;
constexpr std::uint64_t Largest_Table_Offset = 9'999'999'999ull;

}  // namespace

std::string Pdf_Number(double value) {
    if (!std::isfinite(value)) return "0";
    double rounded = std::round(value * 10000.0) / 10000.0;
    if (rounded == 0.0) return "0";
    char text[64];
    auto result = std::to_chars(text, text + sizeof text, rounded, std::chars_format::fixed, 4);
    std::string out(text, result.ptr);
    while (out.back() == '0') out.pop_back();
    if (out.back() == '.') out.pop_back();
    return out;
}

std::string Pdf_Text_String(std::u32string_view text) {
    bool plain = true;
    for (char32_t c : text) plain = plain && c >= 0x20 && c < 0x7F;
    if (plain) {
        std::string out = "(";
        for (char32_t c : text) {
            if (c == '(' || c == ')' || c == '\\') out += '\\';
            out += static_cast<char>(c);
        }
        return out + ")";
    }
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string out = "<FEFF";
    auto unit = [&](std::uint32_t u) {
        for (int shift = 12; shift >= 0; shift -= 4) out += Hex[(u >> shift) & 0xF];
    };
    for (char32_t c : text) {
        if (c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) c = 0xFFFD;
        if (c >= 0x10000) {
            unit(0xD800 + ((c - 0x10000) >> 10));
            unit(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            unit(c);
        }
    }
    return out + ">";
}

Pdf_Writer::Pdf_Writer(Pdf_Output& output) : output_(output) {
    buffer_.reserve(Buffer_Size);
    // The second line's high bytes tell file tools that the file is binary.
    Write("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
}

Pdf_Object_Id Pdf_Writer::Reserve() {
    offsets_.push_back(0);
    return static_cast<Pdf_Object_Id>(offsets_.size());
}

void Pdf_Writer::Begin_Object(Pdf_Object_Id id) {
    if (in_object_ || id == 0 || id > offsets_.size() || offsets_[id - 1] != 0)
        throw Failure(L"PDF objects were written out of order");
    in_object_ = true;
    offsets_[id - 1] = offset_;
    Write(std::to_string(id) + " 0 obj\n");
}

void Pdf_Writer::End_Object() {
    in_object_ = false;
    Write("\nendobj\n");
}

Pdf_Object_Id Pdf_Writer::Add_Object(std::string_view body) {
    Pdf_Object_Id id = Reserve();
    Begin_Object(id);
    Write(body);
    End_Object();
    return id;
}

void Pdf_Writer::Add_Stream(Pdf_Object_Id id, std::string_view dictionary_entries, std::span<const std::uint8_t> data) {
    Begin_Object(id);
    Write("<<");
    Write(dictionary_entries);
    Write("/Length " + std::to_string(data.size()) + ">>\nstream\n");
    Write(data);
    Write("\nendstream");
    End_Object();
}

void Pdf_Writer::Add_Stream(Pdf_Object_Id id, std::string_view dictionary_entries, std::uint64_t size,
                            const Block_Reader& read) {
    Begin_Object(id);
    Write("<<");
    Write(dictionary_entries);
    Write("/Length " + std::to_string(size) + ">>\nstream\n");
    std::vector<std::uint8_t> block(static_cast<std::size_t>(std::min<std::uint64_t>(size, 1u << 20)));
    for (std::uint64_t left = size; left > 0;) {
        const std::span<std::uint8_t> into(block.data(), static_cast<std::size_t>(std::min<std::uint64_t>(left, block.size())));
        std::size_t got = read(into);
        if (got == 0) {
            std::fill(into.begin(), into.end(), std::uint8_t{0});
            got = into.size();
        }
        got = std::min(got, into.size());
        Write(into.first(got));
        left -= got;
    }
    Write("\nendstream");
    End_Object();
}

void Pdf_Writer::Write(std::string_view text) {
    Write(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

void Pdf_Writer::Write(std::span<const std::uint8_t> bytes) {
    offset_ += bytes.size();
    if (buffer_.size() + bytes.size() > Buffer_Size) {
        Flush();
        // A large block (a JPEG) goes straight through rather than being
        // copied into the buffer first.
        if (bytes.size() >= Buffer_Size) {
            output_.Write(bytes);
            return;
        }
    }
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
}

void Pdf_Writer::Flush() {
    if (buffer_.empty()) return;
    output_.Write(buffer_);
    buffer_.clear();
}

void Pdf_Writer::Finish(Pdf_Object_Id root, Pdf_Object_Id info) {
    for (std::uint64_t offset : offsets_)
        if (offset == 0) throw Failure(L"a PDF object was reserved but never written");
    std::uint64_t table = offset_;
    if (table > Largest_Table_Offset) throw Failure(L"the PDF file would be larger than 9.99 GB");
    std::string text = "xref\n0 " + std::to_string(offsets_.size() + 1) + "\n0000000000 65535 f\r\n";
    for (std::uint64_t offset : offsets_) {
        char entry[32];
        std::snprintf(entry, sizeof entry, "%010llu 00000 n\r\n", static_cast<unsigned long long>(offset));
        text += entry;
        // The table can be long (a line per object); it goes out in pieces.
        if (text.size() > Buffer_Size / 2) {
            Write(text);
            text.clear();
        }
    }
    text += "trailer\n<</Size " + std::to_string(offsets_.size() + 1) + "/Root " + std::to_string(root) + " 0 R/Info " +
            std::to_string(info) + " 0 R>>\nstartxref\n" + std::to_string(table) + "\n%%EOF\n";
    Write(text);
    Flush();
}

}  // namespace velbrook
