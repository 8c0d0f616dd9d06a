#pragma once
// What the collection window remembers between showings, in Tavo.ini, section [Collection]:
// its size and the column its table is sorted by, with the order.
#include <filesystem>

#include "collection/collection_table.h"

namespace tavo {

struct WindowSettings {
    int width = 900;
    int height = 560;
    Column column = Column::TreeName;
    bool ascending = true;

    bool operator==(const WindowSettings&) const = default;
};

// The smallest and largest window the settings give, whatever the file holds.
inline constexpr int kMinWidth = 400, kMinHeight = 250, kMaxSide = 10000;

// The settings read from `ini`; a missing file, key or unusable value gives the default, and a
// size is kept between the limits above.
WindowSettings readWindowSettings(const std::filesystem::path& ini);

// Writes the four keys; a key already holding its value is not written again.
void writeWindowSettings(const std::filesystem::path& ini, const WindowSettings& settings);

}  // namespace tavo
