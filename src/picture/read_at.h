#pragma once
// Bytes read at an offset, from a file or from memory alike: the readers of
// a picture's headers ask only for the bytes they need, wherever in the
// file they lie, and never take more than the reader returned.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace velbrook {

// Reads up to into.size() bytes at `offset`; the bytes read (fewer at the end).
using Read_At = std::function<std::size_t(std::uint64_t offset, std::span<std::uint8_t> into)>;

// The bytes in memory as a Read_At; the span must outlive it.
Read_At Read_From(std::span<const std::uint8_t> bytes);

// Fills `into` from `offset`, however many calls the reader takes to hand
// the bytes over; false when it ends first (or claims more than it was
// asked for).
bool Read_Exactly(const Read_At& read, std::uint64_t offset, std::span<std::uint8_t> into);

// `length` bytes from `offset`, or nothing when they are not all there.
// Callers bound `length` themselves: it is what they allocate.
std::optional<std::vector<std::uint8_t>> Read_Bytes(const Read_At& read, std::uint64_t offset, std::uint32_t length);

}  // namespace velbrook
