#pragma once
// Pictures in the core: a plain RGB24 buffer, JPEG decoding and encoding (libjpeg-turbo), the
// Windows bitmap of the data folder (Defaut.bmp), the box fit, a stretch without smoothing, and
// the geometry and composition of the framed reference picture and of the thumbnails.
//
// Windows show an Image as it is, e.g. QImage(img.data(), img.width, img.height,
// img.stride(), QImage::Format_RGB888), so every pixel they show is computed here.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>
#include <vector>

namespace tavo {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};

struct Size {
    int width = 0;
    int height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// A rectangle from (left, top) included to (right, bottom) excluded, as a painter's
// rectangle from (left, top) to (right, bottom).
struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// A picture of 24-bit colour: rows from top to bottom, each `width` pixels of R, G, B bytes,
// no padding between rows.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;

    Image() = default;
    Image(int w, int h, Rgb fill = kBlack);

    bool empty() const { return width <= 0 || height <= 0; }
    Size size() const { return {width, height}; }
    std::size_t stride() const { return static_cast<std::size_t>(width) * 3; }
    std::uint8_t* data() { return pixels.data(); }
    const std::uint8_t* data() const { return pixels.data(); }
    Rgb pixel(int x, int y) const;
    void setPixel(int x, int y, Rgb c);
};

// Largest picture decoded, as width x height from the file's header: larger ones are refused
// before any pixel memory is taken.
inline constexpr std::uint64_t kMaxPicturePixels = 200'000'000;

// ---- Rounding and box fit ----------------------------------------------------------------

// Nearest whole number, a half going to the even neighbour (79.5 -> 80, 40.5 -> 40).
int roundHalfEven(long double value);

// The size of a picture of size `picture` scaled so that its longer side equals `side`; the
// other side is the nearest whole number to its proportional length (the quotient computed in
// extended precision, then multiplied by `side`, halves to even). A square counts as upright.
// Small pictures are enlarged. 2000 x 1000 at 159 gives 159 x 80. A side that would round to 0
// is kept at 1 pixel, so a fitted picture can always be drawn and stored.
Size boxFitSize(Size picture, int side);

// ---- Drawing without smoothing -----------------------------------------------------------

// The picture stretched to exactly `target`, without smoothing: each target pixel takes the
// colour of the source pixel under its centre, i.e. target pixel (x, y) of a W x H target takes
// source pixel (floor((x + 0.5) * w / W), floor((y + 0.5) * h / H)) of the w x h source. Rows and
// columns are dropped or repeated; a picture stretched to its own size is unchanged. An empty
// target or source gives an empty picture.
Image stretch(const Image& src, Size target);

// The picture box-fitted: stretch(src, boxFitSize(src.size(), side)).
Image boxFit(const Image& src, int side);

// Stretches the whole of `src` over `dst` of `canvas` by the rule of stretch(); the parts of
// `dst` outside the canvas are clipped. When dst has the size of src this is a plain copy.
void stretchInto(Image& canvas, const Image& src, Rect dst);

// Draws `src` unscaled with its top-left corner at (x, y) of `canvas`, clipped.
void drawAt(Image& canvas, const Image& src, int x, int y);

// Paints `r` (clipped to the canvas) with `colour`.
void fillRect(Image& canvas, Rect r, Rgb colour);

// ---- Framed reference picture (161 x 161 with a black frame) -----------------------------

inline constexpr Size kFramedPictureSize{161, 161};
inline constexpr int kReferencePhotoSide = 159;  // longer side of a reference photo and preview

// Where a photo of size `photo` is drawn, unscaled, inside a framed picture control of size
// `control`: wider than high -> x = 1 and y = Round((control height - photo height) / 2);
// otherwise x = Round((control width - photo width) / 2) and y = 1 (halves to even).
// A 159 x 80 photo in 161 x 161 lands at (1, 40).
Rect framedPhotoRect(Size photo, Size control = kFramedPictureSize);

// The picture control's content: filled with `background`, a black 1-pixel frame along its four
// edges, then `photo` drawn unscaled at framedPhotoRect. An empty photo leaves the empty frame.
Image framedPicture(const Image& photo, Rgb background, Size control = kFramedPictureSize);

// ---- Thumbnails --------------------------------------------------------------------------

// Thumbnails of the tree chooser: a 156 x 156 cell showing the photo at 150 pixels; of the
// gallery viewer: a 250 x 250 cell showing it at 250 pixels.
inline constexpr int kChooserCell = 156, kChooserPhotoSide = 150;
inline constexpr int kGalleryCell = 250, kGalleryPhotoSide = 250;
inline constexpr int kGalleryPhotoStoredSide = 600;  // longer side of a stored gallery photo

// Where a photo of size `picture` is stretched inside a square cell of side `cell`: the drawn
// size d = boxFitSize(picture, photoSide), the margins mx = Round((cell - d.width) / 2) and
// my = Round((cell - d.height) / 2), and the rectangle from (mx, my) to (cell - mx, cell - my).
// A 600 x 300 photo in the 250 cell gives (0, 62) to (250, 188); 159 x 106 in the 156 cell at
// 150 gives (3, 28) to (153, 128).
Rect thumbnailPhotoRect(Size picture, int cell, int photoSide);

// A thumbnail cell: filled with `background`, a 1-pixel white line along its top and left edges
// and a black one along its bottom and right edges, the photo stretched into
// thumbnailPhotoRect(original, cell, photoSide), and the edge lines drawn again over it.
// `photo` may be a reduced decoding of a picture whose full size is `original` (see
// loadJpegScaled): the geometry always follows the full size.
Image thumbnail(const Image& photo, Size original, int cell, int photoSide, Rgb background);

// ---- JPEG --------------------------------------------------------------------------------

// Decodes a JPEG held in memory to 24-bit pixels. `name` names the picture in errors.
// CodecError when the data is not a JPEG, is damaged or cut short, holds CMYK colour, or its
// header announces more than kMaxPicturePixels (refused before decoding).
Image decodeJpeg(std::span<const std::uint8_t> jpeg, const std::filesystem::path& name);

// A reduced decoding: the picture, and the size of the full picture.
struct ScaledPicture {
    Image image;
    Size original;
};

// Like decodeJpeg, but decodes at the smallest scale libjpeg-turbo offers (1/8 to 1) that still
// gives at least boxFitSize(original, wantedSide) in both directions; much faster for
// thumbnails. wantedSide <= 0 decodes at full size.
ScaledPicture decodeJpegScaled(std::span<const std::uint8_t> jpeg,
                               const std::filesystem::path& name, int wantedSide);

// The same from a file. IoError when the file cannot be read; CodecError (naming the file) when
// it is not a readable JPEG.
Image loadJpeg(const std::filesystem::path& path);
ScaledPicture loadJpegScaled(const std::filesystem::path& path, int wantedSide);

// Baseline (not progressive) JPEG, 4:2:0, of the given quality. CodecError for an empty picture.
std::vector<std::uint8_t> encodeJpeg(const Image& img, int quality = 90);

// Saves `img` as a baseline JPEG of quality 90 (default) at `target`, replacing any file there.
// The data goes to target + ".tmp" first, is flushed to disk and renamed over the target, so a
// failure never leaves a half-written photo.
void saveJpeg(const Image& img, const std::filesystem::path& target, int quality = 90);

// ---- Windows bitmap ----------------------------------------------------------------------

// Decodes an uncompressed Windows bitmap: 24 or 32 bits per pixel, or 1, 4 or 8 bits with a
// palette; bottom-up or top-down. CodecError for anything else or a damaged file.
Image decodeBmp(std::span<const std::uint8_t> bmp, const std::filesystem::path& name);
Image loadBmp(const std::filesystem::path& path);

// A 24-bit bottom-up uncompressed bitmap.
std::vector<std::uint8_t> encodeBmp(const Image& img);
void saveBmp(const Image& img, const std::filesystem::path& target);

// ---- By file name ------------------------------------------------------------------------

// True when the file name's extension (from its last ".", letter case ignored) is one of the
// pieces of ".jpg.jpeg": ".jpg" and ".jpeg" (and ".j", ".jp", ".jpe"). A name without an
// extension, or ending in ".", is not.
bool hasJpegExtension(std::string_view fileName);

// Loads a picture as JPEG when hasJpegExtension, as a Windows bitmap otherwise.
Image loadPicture(const std::filesystem::path& path);

}  // namespace tavo
