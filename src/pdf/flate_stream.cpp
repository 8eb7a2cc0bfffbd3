#include "pdf/flate_stream.h"

#include <zlib.h>

#include <cstdlib>

#include "toolkit/failure.h"

namespace velbrook {

namespace {

constexpr std::size_t Chunk = 64 * 1024;

std::uint8_t Paeth(int left, int up, int up_left) {
    int p = left + up - up_left;
    int pa = std::abs(p - left), pb = std::abs(p - up), pc = std::abs(p - up_left);
    return static_cast<std::uint8_t>(pa <= pb && pa <= pc ? left : pb <= pc ? up : up_left);
}

}  // namespace

struct Flate_Stream::State {
    State() {
        if (deflateInit(&z, 6) != Z_OK) throw Failure(L"the compressor could not start");
    }
    ~State() { deflateEnd(&z); }
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    z_stream z{};
};

Flate_Stream::Flate_Stream(Pdf_Writer& writer) : writer_(writer), state_(std::make_unique<State>()), out_(Chunk) {}

Flate_Stream::~Flate_Stream() = default;

void Flate_Stream::Pump(int flush) {
    z_stream& z = state_->z;
    do {
        z.next_out = out_.data();
        z.avail_out = static_cast<uInt>(out_.size());
        int result = deflate(&z, flush);
        if (result == Z_STREAM_ERROR) throw Failure(L"the compressor failed");
        std::size_t made = out_.size() - z.avail_out;
        writer_.Write(std::span(out_.data(), made));
        written_ += made;
    } while (z.avail_out == 0);
}

void Flate_Stream::Write(std::span<const std::uint8_t> data) {
    z_stream& z = state_->z;
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    Pump(Z_NO_FLUSH);
}

std::uint64_t Flate_Stream::Finish() {
    state_->z.avail_in = 0;
    Pump(Z_FINISH);
    return written_;
}

void Predict_Row(std::span<const std::uint8_t> row, std::span<const std::uint8_t> prior, int bytes_per_pixel,
                 std::vector<std::uint8_t>& out) {
    std::size_t n = row.size();
    auto filtered = [&](int filter, std::size_t i) -> std::uint8_t {
        int left = i >= std::size_t(bytes_per_pixel) ? row[i - bytes_per_pixel] : 0;
        int up = prior[i];
        int up_left = i >= std::size_t(bytes_per_pixel) ? prior[i - bytes_per_pixel] : 0;
        switch (filter) {
            case 1:
                return static_cast<std::uint8_t>(row[i] - left);
            case 2:
                return static_cast<std::uint8_t>(row[i] - up);
            case 3:
                return static_cast<std::uint8_t>(row[i] - (left + up) / 2);
            case 4:
                return static_cast<std::uint8_t>(row[i] - Paeth(left, up, up_left));
            default:
                return row[i];
        }
    };
    int best = 0;
    std::uint64_t best_cost = ~0ull;
    for (int filter = 0; filter < 5; ++filter) {
        std::uint64_t cost = 0;
        for (std::size_t i = 0; i < n && cost < best_cost; ++i)
            cost += std::abs(static_cast<std::int8_t>(filtered(filter, i)));
        if (cost < best_cost) best_cost = cost, best = filter;
    }
    out.resize(n + 1);
    out[0] = static_cast<std::uint8_t>(best);
    for (std::size_t i = 0; i < n; ++i) out[i + 1] = filtered(best, i);
}

}  // namespace velbrook
