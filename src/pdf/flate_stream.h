#pragma once
// Deflating into a PDF stream as the data comes (zlib), so that a picture's
// pixels go to the file a row at a time and are never held compressed.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "pdf/pdf_writer.h"

namespace velbrook {

class Flate_Stream {
public:
    explicit Flate_Stream(Pdf_Writer& writer);
    ~Flate_Stream();
    Flate_Stream(const Flate_Stream&) = delete;
    Flate_Stream& operator=(const Flate_Stream&) = delete;

    void Write(std::span<const std::uint8_t> data);
    // Ends the data; returns the compressed length written.
    std::uint64_t Finish();

private:
    void Pump(int flush);

    Pdf_Writer& writer_;
    struct State;
    std::unique_ptr<State> state_;
    std::vector<std::uint8_t> out_;
    std::uint64_t written_ = 0;
};

// One row of 8-bit samples with the PNG filter (none, sub, up, average or
// Paeth) that leaves the smallest sum of magnitudes, as PDF's predictor 15
// expects: the filter's number, then the filtered bytes.  `prior` is the row
// above (zeros for the first row).
void Predict_Row(std::span<const std::uint8_t> row, std::span<const std::uint8_t> prior, int bytes_per_pixel,
                 std::vector<std::uint8_t>& out);

}  // namespace velbrook
