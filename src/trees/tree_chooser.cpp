#include "trees/tree_chooser.h"

#include <algorithm>
#include <system_error>

#include "cards/card_file.h"
#include "common/cp1252.h"
#include "common/errors.h"

namespace tavo {

namespace fs = std::filesystem;

inline constexpr std::size_t kTreeIdLength = 14;

std::vector<std::string> listReferencePhotos(const DataPaths& data) {
    const fs::path folder = data.imgref();
    std::vector<std::string> names;
    std::error_code ec;
    if (!fs::exists(folder, ec)) return names;
    fs::directory_iterator it(folder, ec);
    if (ec) throw IoError("list", folder, ec.message());
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) break;
        std::error_code typeError;
        if (it->is_directory(typeError)) continue;
        std::string name = it->path().filename().string();
        if (!hasJpegExtension(name)) continue;
        if (std::find(names.begin(), names.end(), name) != names.end()) continue;
        names.push_back(std::move(name));
    }
    if (ec) throw IoError("list", folder, ec.message());
    return names;
}

std::string chosenTreeId(const std::string& photoName) {
    const std::string id = treeIdFromPhotoName(photoName);
    const auto dot = photoName.rfind('.');
    const std::string stem = dot == std::string::npos ? photoName : photoName.substr(0, dot);
    if (cp1252::length(stem) < kTreeIdLength)
        throw RefusedError("The photo \"" + photoName +
                           "\" names no tree: a tree's photo is named by its 14-character "
                           "identifier.");
    if (!isBareFileName(id) || id.find("..") != std::string::npos)
        throw RefusedError("The photo \"" + photoName +
                           "\" names no tree: its name cannot name a tree's files safely.");
    return id;
}

int chooserColumns(int boxWidth) {
    return std::max(1, (boxWidth - kChooserScrollBarRoom) / kChooserPitch);
}

CellPosition chooserCellPosition(std::size_t index, int columns) {
    const std::size_t cols = static_cast<std::size_t>(std::max(columns, 1));
    const int c = static_cast<int>(index % cols) + 1;
    const int r = static_cast<int>(index / cols) + 1;
    return {(c - 1) * kChooserCell + c * kChooserGap, (r - 1) * kChooserCell + r * kChooserGap};
}

int chooserContentHeight(std::size_t count, int columns) {
    if (count == 0) return 0;
    return chooserCellPosition(count - 1, columns).top + kChooserCell + kChooserGap;
}

Image chooserThumbnail(const fs::path& file, Rgb background) {
    const ScaledPicture photo = loadJpegScaled(file, kChooserPhotoSide);
    return thumbnail(photo.image, photo.original, kChooserCell, kChooserPhotoSide, background);
}

CompactThumbnail compactChooserThumbnail(const fs::path& file, Rgb background) {
    const ScaledPicture photo = loadJpegScaled(file, kChooserPhotoSide);
    const Rect at = thumbnailPhotoRect(photo.original, kChooserCell, kChooserPhotoSide);
    const Image cell =
        thumbnail(photo.image, photo.original, kChooserCell, kChooserPhotoSide, background);
    Image part(at.width(), at.height());
    for (int y = 0; y < part.height; ++y)
        std::copy_n(cell.data() + (static_cast<std::size_t>(at.top + y) * cell.stride()) +
                        static_cast<std::size_t>(at.left) * 3,
                    part.stride(), part.data() + static_cast<std::size_t>(y) * part.stride());
    return {encodeJpeg(part, 92), at};
}

Image emptyChooserThumbnail(Rgb background) {
    return thumbnail(Image(), Size{}, kChooserCell, kChooserPhotoSide, background);
}

}  // namespace tavo
