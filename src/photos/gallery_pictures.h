#pragma once
// The pictures the photo editor and the gallery viewer show or store, computed from files:
// the framed preview, the stored 600-pixel photo, the viewer's thumbnail cell, and the photo
// date a picture's EXIF data suggests.
#include <filesystem>
#include <string>
#include <string_view>

#include "common/fixed_string.h"
#include "imaging/imaging.h"

namespace tavo {

// The photo editor's preview of the picture at `path` (any format of picture_decoders.h,
// whatever its name), upright: the 161 x 161 framed picture with the photo box-fitted to 159
// and placed by framedPhotoRect. The file is decoded reduced when the reduction still covers
// the drawn size. IoError or CodecError when the file cannot be read as a picture.
Image photoPreview(const std::filesystem::path& path, Rgb background);

// The gallery photo to store for the picture at `path` (any format, whatever its name): the
// full picture turned upright and box-fitted to 600 without smoothing, encoded as a baseline
// JPEG of quality 90.
Bytes storedGalleryPhoto(const std::filesystem::path& path);

// The viewer's 250 x 250 thumbnail cell of the gallery photo at `path`: a JPEG, shown upright,
// when its extension is one of ".jpg.jpeg", a Windows bitmap otherwise (decoded reduced when
// that still covers the drawn size).
Image galleryThumbnail(const std::filesystem::path& path, Rgb background);
// The same cell with its edges and no picture: what a thumbnail shows before its photo loads.
Image emptyGalleryThumbnail(Rgb background);

}  // namespace tavo
