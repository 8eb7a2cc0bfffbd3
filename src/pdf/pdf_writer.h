#pragma once
// The object layer of a PDF file written front to back: each object goes to
// the output as soon as it is made, and only its offset stays behind for the
// cross-reference table.  So a document of any length needs memory for one
// picture and a few numbers a page, never for the document.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velbrook {

// Where the bytes go: a file in the program, memory in tests.  A failed write
// throws (Failure with the reason), and the document is then given up.
class Pdf_Output {
public:
    virtual ~Pdf_Output() = default;
    virtual void Write(std::span<const std::uint8_t> bytes) = 0;
};

class Memory_Output : public Pdf_Output {
public:
    void Write(std::span<const std::uint8_t> bytes) override {
        bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    }
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    std::string Text() const { return {bytes_.begin(), bytes_.end()}; }

private:
    std::vector<std::uint8_t> bytes_;
};

using Pdf_Object_Id = std::uint32_t;

// A number as PDF writes it: at most four decimals, no exponent, no "-0",
// the same in every locale.
std::string Pdf_Number(double value);
// A text string: a literal (...) with its specials escaped when it is
// printable ASCII, otherwise UTF-16BE with a byte-order mark as <FEFF...>.
std::string Pdf_Text_String(std::u32string_view text);

class Pdf_Writer {
public:
    // Writes the header at once.
    explicit Pdf_Writer(Pdf_Output& output);
    Pdf_Writer(const Pdf_Writer&) = delete;
    Pdf_Writer& operator=(const Pdf_Writer&) = delete;

    // A number for an object that is written later (a parent that its
    // children name before it exists).
    Pdf_Object_Id Reserve();
    // "n 0 obj": the object's offset is taken here.  Objects do not nest.
    void Begin_Object(Pdf_Object_Id id);
    void End_Object();
    // A whole object in one call; returns its number.
    Pdf_Object_Id Add_Object(std::string_view body);
    // A stream object whose data is known: `dictionary_entries` go inside
    // << >> before /Length.
    void Add_Stream(Pdf_Object_Id id, std::string_view dictionary_entries, std::span<const std::uint8_t> data);
    // The same for `size` bytes that `read` gives in order, a block at a
    // time, never held whole.  Should `read` give out early (0), the rest is
    // zeros, so that the object keeps the length it declared.
    using Block_Reader = std::function<std::size_t(std::span<std::uint8_t> into)>;
    void Add_Stream(Pdf_Object_Id id, std::string_view dictionary_entries, std::uint64_t size,
                    const Block_Reader& read);

    void Write(std::string_view text);
    void Write(std::span<const std::uint8_t> bytes);
    std::uint64_t Offset() const { return offset_; }

    // The cross-reference table and trailer.  Every reserved object must be
    // written by then.  Offsets are held in 64 bits; the table's ten digits
    // take files up to 9,999,999,999 bytes, and a larger one is refused.
    void Finish(Pdf_Object_Id root, Pdf_Object_Id info);

private:
    void Flush();

    Pdf_Output& output_;
    std::vector<std::uint8_t> buffer_;
    std::uint64_t offset_ = 0;
    // Offsets by object number - 1; 0 means reserved but not yet written.
    std::vector<std::uint64_t> offsets_;
    bool in_object_ = false;
};

}  // namespace velbrook
