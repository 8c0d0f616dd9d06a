#include "trees/card_properties.h"

#include "common/paths.h"
#include "common/record_file.h"
#include "photos/gallery_file.h"
#include "works/works_line.h"

namespace tavo {

CardCounts countCardContents(const DataPaths& paths, const std::string& treeId) {
    CardCounts counts;
    counts.worksLines = countRecords(paths.works(treeId), WorksLine::kSize);
    counts.photos = countRecords(paths.gallery(treeId), PhotoRecord::kSize);
    return counts;
}

}  // namespace tavo
