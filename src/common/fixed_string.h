#pragma once
// A text field of a data record: one length byte, then `capacity` bytes of Windows-1252.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tavo {

using Bytes = std::vector<std::uint8_t>;

// Reads the field that starts at field[0] (length byte) and spans capacity + 1 bytes.
// A damaged length byte above the capacity is clamped to it.
std::string readFixed(std::span<const std::uint8_t> record, std::size_t offset,
                      std::size_t capacity);

// Writes `utf8` into the field at `offset`: converted to Windows-1252, cut to the capacity in
// characters, the bytes behind the text set to zero.
void writeFixed(std::span<std::uint8_t> record, std::size_t offset, std::size_t capacity,
                std::string_view utf8);

// The text as it will read back from a field of that capacity.
std::string fitFixed(std::string_view utf8, std::size_t capacity);

}  // namespace tavo
