#pragma once
// What the timeline, the compare window and the growth sheet read from the data folder: the
// tree's card, gallery and works log, and the photos at the size each view draws them.
#include <filesystem>
#include <string>

#include "common/paths.h"
#include "imaging/imaging.h"
#include "photos/growth_timeline.h"

namespace tavo {

// The timeline of tree `treeId`, read from its card, gallery file and works log (each opened,
// read and closed here); `card`, when given, receives the card as read. The readers' errors
// propagate unchanged: IoError for a missing file.
Timeline readTimeline(const DataPaths& data, const std::string& treeId, TreeCard* card = nullptr);

// The gallery photo of tree `treeId` named by `record`, box-fitted to `side` pixels and decoded
// at the smallest reduction that still covers that side: a strip of hundreds of photos decodes
// only what it shows, at a fraction of the cost. RefusedError for a name that is not a bare file
// name; IoError or CodecError when the photo cannot be read.
Image timelineThumbnail(const DataPaths& data, const std::string& treeId, const PhotoRecord& record,
                        int side);

// The gallery photo at full stored size, for the compare window and the growth sheet.
Image galleryPhoto(const DataPaths& data, const std::string& treeId, const PhotoRecord& record);

}  // namespace tavo
