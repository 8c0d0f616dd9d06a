#include "collection/collection_settings.h"

#include <algorithm>
#include <string>

#include "common/ini_file.h"

namespace tavo {
namespace {

constexpr const char* kSection = "Collection";

}  // namespace

WindowSettings readWindowSettings(const std::filesystem::path& ini) {
    WindowSettings s;
    const auto side = [&](const char* key, int fallback, int least) {
        const long v = ini::readInt(ini, kSection, key, fallback);
        return v <= 0 ? fallback : static_cast<int>(std::clamp<long>(v, least, kMaxSide));
    };
    s.width = side("Largeur", s.width, kMinWidth);
    s.height = side("Hauteur", s.height, kMinHeight);
    const long column = ini::readInt(ini, kSection, "Colonne", static_cast<long>(s.column));
    if (column >= 0 && column < kColumnCount) s.column = static_cast<Column>(column);
    const std::string order = ini::readString(ini, kSection, "Ordre", "");
    if (order == "D") s.ascending = false;
    return s;
}

void writeWindowSettings(const std::filesystem::path& ini, const WindowSettings& s) {
    ini::writeString(ini, kSection, "Largeur", std::to_string(s.width));
    ini::writeString(ini, kSection, "Hauteur", std::to_string(s.height));
    ini::writeString(ini, kSection, "Colonne", std::to_string(static_cast<int>(s.column)));
    ini::writeString(ini, kSection, "Ordre", s.ascending ? "A" : "D");
}

}  // namespace tavo
