#pragma once
// What the tree chooser shows and what a choice means, apart from the window: the reference
// photos it offers, where each thumbnail goes, and the tree a chosen photo names.
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "common/paths.h"
#include "imaging/imaging.h"

namespace tavo {

// The file names in IMGREF that the chooser offers, in the order the folder lists them: every
// file whose extension passes hasJpegExtension (".jpg", ".jpeg", and ".j", ".jp", ".jpe", any
// letter case), each name once. Folders are left out, since no photo can be read from them.
// A missing IMGREF folder offers nothing; IoError when the folder cannot be listed.
std::vector<std::string> listReferencePhotos(const DataPaths& data);

// The tree named by the chosen photo's file name: the first 14 characters of the name (cut to
// 21 characters first, as the thumbnail's hint holds it). RefusedError, naming the file, when
// fewer than 14 characters stand before the extension (such a photo names no tree) or when the
// identifier could not safely name the tree's files (a separator or "..").
std::string chosenTreeId(const std::string& photoName);

// ---- Thumbnail positions -----------------------------------------------------------------

inline constexpr int kChooserGap = 4;                             // between cells and to the edges
inline constexpr int kChooserPitch = kChooserCell + kChooserGap;  // 160
inline constexpr int kChooserScrollBarRoom = 16;

struct CellPosition {
    int left = 0;
    int top = 0;
    friend bool operator==(const CellPosition&, const CellPosition&) = default;
};

// Columns that fit in a box of the given width, room kept for its scroll bar: 3 for 505.
// Always at least 1, so a narrow box stacks its thumbnails in one column.
int chooserColumns(int boxWidth);

// Where thumbnail number `index` (0-based, in list order) stands in the box: filled row by
// row, left = (c - 1) x 156 + c x 4 and top = (r - 1) x 156 + r x 4 for column c and row r
// counted from 1. With 3 columns the seventh stands at (4, 324).
CellPosition chooserCellPosition(std::size_t index, int columns);

// Height of the box's content holding `count` thumbnails: the last row's bottom plus the gap.
int chooserContentHeight(std::size_t count, int columns);

// ---- Thumbnail pictures ------------------------------------------------------------------

// The chooser's thumbnail of the photo in `file`: a 156 x 156 cell on `background`, white
// along its top and left edges and black along its bottom and right edges, the photo stretched
// into thumbnailPhotoRect(full size, 156, 150). The photo is decoded reduced (DCT scaling) to
// the smallest size that still covers the drawn rectangle. IoError or CodecError (naming the
// file) when the photo cannot be read.
Image chooserThumbnail(const std::filesystem::path& file, Rgb background);

// The empty framed cell shown for a photo that could not be read.
Image emptyChooserThumbnail(Rgb background);

// The photo of a chooser thumbnail compressed as JPEG, and where it goes in the cell: drawn over
// the empty thumbnail, it gives chooserThumbnail. A chooser of a thousand trees keeps a few
// kilobytes per tree this way instead of a whole cell of pixels.
struct CompactThumbnail {
    std::vector<std::uint8_t> jpeg;
    Rect at;
};
CompactThumbnail compactChooserThumbnail(const std::filesystem::path& file, Rgb background);

}  // namespace tavo
