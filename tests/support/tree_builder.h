#pragma once
// Trees written into a data folder by the program's own writers, and works lines in short form.
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "cards/card_file.h"
#include "works/works_file.h"

namespace tavo::test {

// Works lines from (date, type) pairs, in the order given.
inline std::vector<WorksLine> worksLines(
    std::initializer_list<std::pair<const char*, const char*>> dateAndType) {
    std::vector<WorksLine> lines;
    for (const auto& [date, type] : dateAndType) lines.push_back({date, type, ""});
    return lines;
}

// Writes tree `id` named `name` (card, empty gallery) with `lines` added one by one to its
// works log, as the works editor adds them. The data folder's FICHES and GALERIES must exist.
inline void writeTree(const DataPaths& data, const std::string& id, const std::string& name,
                      const std::vector<WorksLine>& lines) {
    TreeCard card;
    card.creationDate = "01/01/2020";
    card.treeName = name;
    card.ageEstimated = "N";
    createCard(data, id, card);
    createEmptyTreeFiles(data, id);
    const WorksFile log(data, id);
    for (const WorksLine& line : lines) log.add(line);
}

}  // namespace tavo::test
