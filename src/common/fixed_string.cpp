#include "common/fixed_string.h"

#include <algorithm>
#include <cassert>

#include "common/cp1252.h"

namespace tavo {

std::string readFixed(std::span<const std::uint8_t> record, std::size_t offset,
                      std::size_t capacity) {
    assert(offset + 1 + capacity <= record.size());
    const std::size_t len = std::min<std::size_t>(record[offset], capacity);
    const auto* p = reinterpret_cast<const char*>(record.data() + offset + 1);
    return cp1252::toUtf8(std::string_view(p, len));
}

void writeFixed(std::span<std::uint8_t> record, std::size_t offset, std::size_t capacity,
                std::string_view utf8) {
    assert(capacity <= 255 && offset + 1 + capacity <= record.size());
    std::string bytes = cp1252::fromUtf8(utf8);
    if (bytes.size() > capacity) bytes.resize(capacity);
    record[offset] = static_cast<std::uint8_t>(bytes.size());
    std::fill_n(record.begin() + static_cast<std::ptrdiff_t>(offset + 1), capacity, 0);
    std::copy(bytes.begin(), bytes.end(), record.begin() + static_cast<std::ptrdiff_t>(offset + 1));
}

std::string fitFixed(std::string_view utf8, std::size_t capacity) {
    std::string bytes = cp1252::fromUtf8(utf8);
    if (bytes.size() > capacity) bytes.resize(capacity);
    return cp1252::toUtf8(bytes);
}

}  // namespace tavo
