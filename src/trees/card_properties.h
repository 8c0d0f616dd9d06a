#pragma once
// What the properties window counts for the open tree. The creation date comes from the card
// itself (read with the card reader); these are the two counts beside it.
#include <cstddef>
#include <string>

#include "common/paths.h"

namespace tavo {

struct CardCounts {
    std::size_t worksLines = 0;  // whole 318-byte records of FICHES/<id>.TRX
    std::size_t photos = 0;      // whole 135-byte records of GALERIES/<id>.GAL
};

// Counts the records of the tree's works file and gallery file, read afresh from disk.
// IoError naming the file when either is missing or cannot be examined.
CardCounts countCardContents(const DataPaths& paths, const std::string& treeId);

}  // namespace tavo
