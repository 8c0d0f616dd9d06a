#pragma once
// Pictures as cameras, phones and screen captures make them: JPEG, PNG, WebP, TIFF, Windows
// bitmap and HEIF/HEIC, told apart by their first bytes (not their names), decoded upright (the
// EXIF orientation applied by exact pixel moves) and reduced to the size they are shown or
// stored at. Every picture the windows or the command line take from the user goes through
// loadUprightPicture or loadFittedPicture.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

#include "imaging/exif.h"
#include "imaging/imaging.h"

namespace tavo {

enum class PictureFormat { Unknown, Jpeg, Png, Webp, Tiff, Bmp, Heif };

// The format announced by the first bytes of a file (16 are enough).
PictureFormat pictureFormatOf(std::span<const std::uint8_t> head);

// The name patterns of every format read here, for an open dialog's filter.
inline constexpr const char* kPictureFilePatterns =
    "*.jpg *.jpeg *.png *.webp *.tif *.tiff *.bmp *.heic *.heif";

// The size of a picture of stored size `stored` once turned upright: orientations 5 to 8 swap
// the sides.
Size uprightSize(Size stored, int orientation);

// The picture turned upright for the EXIF orientation (2 mirrored, 3 turned half a turn,
// 4 flipped, 5 transposed, 6 turned a quarter clockwise, 7 transversed, 8 a quarter
// anticlockwise); any other value leaves it as it is. Pixels are moved, never resampled.
Image orientUpright(const Image& stored, int orientation);

// The whole picture at `path`, upright, stretched without smoothing to exactly
// boxFitSize(upright size, side) (side <= 0: the full upright picture). The result is
// boxFit(orientUpright(full picture), side), pixel for pixel, but rows are decoded one at a time
// and only those the fit samples are kept where the format allows it (JPEG, PNG, TIFF), so a
// large photo never needs its full frame in memory. `original` is the full upright size.
// IoError when the file cannot be read; CodecError, naming the file, when it is no picture of
// a known format, is damaged, or is larger than kMaxPicturePixels.
ScaledPicture loadFittedPicture(const std::filesystem::path& path, int side);

// The picture at `path`, upright, decoded reduced where that is cheaper (a JPEG at the smallest
// scale still covering boxFitSize(original, wantedSide)), to be stretched for display over
// boxFitSize(original, ...). `original` is the full upright size. Errors as loadFittedPicture.
ScaledPicture loadUprightPicture(const std::filesystem::path& path, int wantedSide);

// Reads the EXIF data of a JPEG, TIFF or HEIF picture file into `exif` (a fresh one); other
// formats leave it empty and not Valid. Raises as TExif::ReadFromFile does.
void readPictureExif(const std::filesystem::path& path, TExif& exif);

// The date "dd/mm/yyyy" a picture's EXIF data suggests (photoDateFromExif of its date taken;
// "//" for a JPEG whose EXIF segment has none), or nothing when the file has no EXIF data, a
// TIFF or HEIF picture has no date taken, or the EXIF data cannot be read: EXIF trouble never
// makes a picture unusable.
std::optional<std::string> exifPhotoDate(const std::filesystem::path& path);

}  // namespace tavo
