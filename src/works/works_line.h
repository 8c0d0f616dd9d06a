#pragma once
// One works line: 318 bytes in FICHES/<id>.TRX.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "common/fixed_string.h"

namespace tavo {

struct WorksLine {
    std::string date;     // 0, capacity 10: dd/mm/yyyy as typed
    std::string type;     // 11, capacity 50: intervention type
    std::string comment;  // 62, capacity 255

    static constexpr std::size_t kSize = 318;
    static constexpr std::size_t kDateOffset = 0, kDateCapacity = 10;
    static constexpr std::size_t kTypeOffset = 11, kTypeCapacity = 50;
    static constexpr std::size_t kCommentOffset = 62, kCommentCapacity = 255;
    bool operator==(const WorksLine&) const = default;
};

// The 318-byte record of a line; each text is cut to its field's capacity, the bytes behind it
// are zero.
Bytes encodeWorksLine(const WorksLine& line);

// Reads a line from a record of at least 318 bytes; damaged length bytes are clamped.
WorksLine decodeWorksLine(std::span<const std::uint8_t> record);

}  // namespace tavo
