#pragma once
// Records of a tree as the timeline, the compare window and the growth sheet read them.
#include <filesystem>
#include <string>
#include <vector>

#include "support/data_folder.h"

namespace tavo::test {

inline const std::string kGrowthTreeId = "26034140509042";

// A card that says only what ages need: acquisition date, age, "O" when estimated.
inline TreeCard acquiredCard(const std::string& date, const std::string& age,
                             bool estimated = false) {
    TreeCard c;
    c.treeName = "Mon érable";
    c.acquisitionDate = date;
    c.age = age;
    c.ageEstimated = estimated ? "O" : "N";
    return c;
}

// One photo record per date, numbered 1, 2, ... in the order given (file order).
inline std::vector<PhotoRecord> datedPhotos(const std::vector<std::string>& dates) {
    std::vector<PhotoRecord> records;
    for (std::size_t i = 0; i < dates.size(); ++i)
        records.push_back({photoFileName(kGrowthTreeId, static_cast<int>(i + 1)), dates[i],
                           "photo " + std::to_string(i + 1)});
    return records;
}

// One works line per date, typed "Taille 1", "Taille 2", ...
inline std::vector<WorksLine> datedWorks(const std::vector<std::string>& dates) {
    std::vector<WorksLine> lines;
    for (std::size_t i = 0; i < dates.size(); ++i)
        lines.push_back({dates[i], "Taille " + std::to_string(i + 1), ""});
    return lines;
}

// A tree on disk in the data folder `root`: its card, its works log and a gallery of one photo
// per date, each photo the same `photo`.
inline void writeGrowthTree(const std::filesystem::path& root, const TreeCard& card,
                            const std::vector<std::string>& photoDates,
                            const std::vector<std::string>& worksDates, const Image& photo) {
    DataFolder(root).galleryPicture(photo).tree(
        {kGrowthTreeId, card, datedWorks(worksDates), datedPhotos(photoDates), false});
}

}  // namespace tavo::test
