#pragma once
// The data files of a collection as they lie on disk, read once for an export. Records are kept
// as bytes so every format can show the texts and the document can rebuild the files exactly.
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/fixed_string.h"
#include "common/paths.h"

namespace tavo {

struct TreeData {
    std::string id;
    Bytes card;                                           // the 1234-byte record
    std::vector<Bytes> works;                             // 318-byte lines in file order
    std::vector<Bytes> photos;                            // 135-byte records in file order
    std::optional<std::filesystem::path> referencePhoto;  // IMGREF/<id>.JPG when present
};

struct CollectionData {
    std::vector<TreeData> trees;  // by identifier
    // A list file that is missing stays empty here (and is left out of the document).
    std::optional<std::vector<Bytes>> types, states, names;
    std::optional<std::string> settings;  // Tavo.ini, Windows-1252 bytes
    // Things the export could not carry whole (a card shorter than a record, a damaged tail).
    std::vector<std::string> warnings;
};

// True when `id` is a tree identifier: 14 decimal digits.
bool isTreeId(const std::string& id);

// Reads the collection of `data`: every tree with a card FICHES/<id>.SIG, or only the trees of
// `only` when it is not empty (RefusedError naming an identifier that has no card). A missing
// works log or gallery reads as empty.
CollectionData readCollection(const DataPaths& data, const std::vector<std::string>& only = {});

}  // namespace tavo
