#include "photos/growth_sources.h"

#include "cards/card_file.h"
#include "photos/gallery_file.h"
#include "works/works_file.h"

namespace tavo {

namespace {

std::filesystem::path photoPathOf(const DataPaths& data, const std::string& treeId,
                                  const PhotoRecord& record) {
    // The gallery's own check keeps a record's name from reaching outside GALERIES.
    return GalleryFile(data, treeId).photoPath(record);
}

}  // namespace

Timeline readTimeline(const DataPaths& data, const std::string& treeId, TreeCard* card) {
    const TreeCard read = readCard(data, treeId);
    if (card) *card = read;
    const auto photos = GalleryFile(data, treeId).readAll();
    const auto works = WorksFile(data, treeId).readAll();
    return buildTimeline(read, photos, works);
}

Image timelineThumbnail(const DataPaths& data, const std::string& treeId, const PhotoRecord& record,
                        int side) {
    const ScaledPicture picture = loadJpegScaled(photoPathOf(data, treeId, record), side);
    return stretch(picture.image, boxFitSize(picture.original, side));
}

Image galleryPhoto(const DataPaths& data, const std::string& treeId, const PhotoRecord& record) {
    return loadJpeg(photoPathOf(data, treeId, record));
}

}  // namespace tavo
