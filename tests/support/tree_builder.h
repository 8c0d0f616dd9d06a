#pragma once
// Writes whole trees (card, works log, gallery records) into a data folder with the program's
// own writers, so the files are exactly what the program would leave.
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cards/card_file.h"
#include "common/paths.h"
#include "photos/gallery_file.h"
#include "works/works_file.h"

namespace tavo::test {

struct PhotoNote {
    std::string date;
    std::string comment;
};

// A card from "field=value" pairs ("name=Pin noir", "price=150"); unnamed fields stay empty.
inline TreeCard cardOf(std::initializer_list<std::pair<std::string_view, std::string>> fields) {
    TreeCard c;
    for (const auto& [field, value] : fields) {
        std::string* target = field == "name"         ? &c.treeName
                              : field == "botanical"  ? &c.botanicalName
                              : field == "cultivar"   ? &c.cultivar
                              : field == "common"     ? &c.commonName
                              : field == "english"    ? &c.englishName
                              : field == "provenance" ? &c.provenance
                              : field == "acquired"   ? &c.acquisitionDate
                              : field == "age"        ? &c.age
                              : field == "estimated"  ? &c.ageEstimated
                              : field == "state"      ? &c.state
                              : field == "price"      ? &c.price
                              : field == "notes"      ? &c.notes
                                                      : nullptr;
        if (!target) throw std::invalid_argument("no card field " + std::string(field));
        *target = value;
    }
    return c;
}

// Creates tree `id` with `card`, its works lines and its photo records (the photo files
// themselves are not written).
inline void writeTree(const DataPaths& data, const std::string& id, const TreeCard& card,
                      const std::vector<WorksLine>& works = {},
                      const std::vector<PhotoNote>& photos = {}) {
    createCard(data, id, card);
    createEmptyTreeFiles(data, id);
    const WorksFile log(data, id);
    for (const WorksLine& l : works) log.add(l);
    GalleryFile gallery(data, id);
    for (const PhotoNote& p : photos)
        gallery.add({photoFileName(id, gallery.nextPhotoNumber()), p.date, p.comment});
}

// Works lines from (date, type) pairs, in the order given.
inline std::vector<WorksLine> worksLines(
    std::initializer_list<std::pair<const char*, const char*>> dateAndType) {
    std::vector<WorksLine> lines;
    for (const auto& [date, type] : dateAndType) lines.push_back({date, type, ""});
    return lines;
}

// Tree `id` named `name` with `lines` added one by one to its works log, as the works editor
// adds them.
inline void writeTree(const DataPaths& data, const std::string& id, const std::string& name,
                      const std::vector<WorksLine>& lines) {
    TreeCard card;
    card.creationDate = "01/01/2020";
    card.treeName = name;
    card.ageEstimated = "N";
    writeTree(data, id, card, lines);
}

}  // namespace tavo::test
