#include "photos/gallery_pictures.h"

#include "imaging/picture_decoders.h"

namespace tavo {

namespace fs = std::filesystem;

Image photoPreview(const fs::path& path, Rgb background) {
    const ScaledPicture picture = loadUprightPicture(path, kReferencePhotoSide);
    // The drawn size follows the full picture, not the reduced decoding.
    const Image fitted = stretch(picture.image, boxFitSize(picture.original, kReferencePhotoSide));
    return framedPicture(fitted, background);
}

Bytes storedGalleryPhoto(const fs::path& path) {
    return encodeJpeg(loadFittedPicture(path, kGalleryPhotoStoredSide).image, 90);
}

Image galleryThumbnail(const fs::path& path, Rgb background) {
    if (hasJpegExtension(path.filename().string())) {
        const ScaledPicture picture = loadUprightPicture(path, kGalleryPhotoSide);
        return thumbnail(picture.image, picture.original, kGalleryCell, kGalleryPhotoSide,
                         background);
    }
    const Image bitmap = loadBmp(path);
    return thumbnail(bitmap, bitmap.size(), kGalleryCell, kGalleryPhotoSide, background);
}

Image emptyGalleryThumbnail(Rgb background) {
    return thumbnail(Image(), Size{}, kGalleryCell, kGalleryPhotoSide, background);
}

}  // namespace tavo
