#pragma once
// The three export formats, each built from the collection as read from disk. They only make
// texts; the export driver writes them and copies the photos.
#include <filesystem>
#include <string>
#include <vector>

#include "exchange/collection_data.h"
#include "exchange/exchange.h"

namespace tavo {

// Where the document and the album put the photos, relative to their own folder.
std::string galleryPhotoLink(const std::string& fileName);  // photos/<name>
std::string referencePhotoLink(const std::string& id);      // references/<id>.JPG

// A gallery record's file name, when it can name a file of GALERIES.
bool isSafePhotoName(const std::string& fileName);

// collection.json. `present` tells for each photo file name whether its file is copied.
std::string collectionJson(const CollectionData& data,
                           const std::function<bool(const std::string&)>& present);

// trees.csv, works.csv, photos.csv, lists.csv (UTF-8 with a byte-order mark, CR LF).
struct CsvFiles {
    std::string trees, works, photos, lists;
};
CsvFiles collectionCsv(const CollectionData& data);

// One field of a CSV file, quoted when it must be.
std::string csvField(const std::string& value);

// The INI text of settings sections, as the settings writer lays it out.
std::string settingsText(
    const std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>>&
        sections);

}  // namespace tavo
