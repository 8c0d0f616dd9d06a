#pragma once
// What a record carries beyond its texts. Fixed-string fields hold bytes behind their text that
// readers ignore but that are part of the file; a collection document keeps them so that an
// import rebuilds files identical to the ones exported.
//
// For each field whose bytes behind the text are not all zero, `filler` holds them in hex with
// trailing zero bytes left out. When even texts plus filler cannot rebuild the record (a length
// byte beyond its field's capacity, notes split unevenly between their two fields), `raw` holds
// the whole record in hex.
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/fixed_string.h"

namespace tavo {

// One area of a record: a fixed string (length byte + capacity) or, when `plain`, bytes the
// program never reads (the reserved tail of a botanical name entry).
struct FieldArea {
    const char* name;
    std::size_t offset;
    std::size_t capacity;
    bool plain = false;
};

// The areas of each kind of record, in record order.
std::span<const FieldArea> cardAreas();
std::span<const FieldArea> worksLineAreas();
std::span<const FieldArea> photoAreas();
std::span<const FieldArea> labelAreas();
std::span<const FieldArea> botanicalNameAreas();

struct Fidelity {
    std::vector<std::pair<std::string, std::string>> filler;  // area name -> hex
    std::string raw;                                          // whole record in hex, or empty
};

// What `actual` holds that `rebuilt` (the record encoded from its texts alone) does not.
Fidelity fidelityOf(std::span<const FieldArea> areas, const Bytes& rebuilt, const Bytes& actual);

// `rebuilt` with the filler laid over it. RefusedError naming the area when a filler does not fit.
Bytes applyFiller(std::span<const FieldArea> areas, Bytes rebuilt,
                  const std::vector<std::pair<std::string, std::string>>& filler);

std::string toHex(std::span<const std::uint8_t> bytes);
// False when `hex` is not an even number of lowercase or uppercase hex digits.
bool fromHex(std::string_view hex, Bytes& out);

}  // namespace tavo
