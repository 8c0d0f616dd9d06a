#include "imaging/imaging.h"

#include <turbojpeg.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>

#include "common/errors.h"
#include "common/file_io.h"
#include "common/record_file.h"
#include "common/safe_replace.h"

namespace tavo {

namespace fs = std::filesystem;

// ---- Image -------------------------------------------------------------------------------

Image::Image(int w, int h, Rgb fill) : width(std::max(w, 0)), height(std::max(h, 0)) {
    pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    if (fill == kBlack) return;  // already zero; decoders overwrite every byte anyway
    for (std::size_t i = 0; i < pixels.size(); i += 3) {
        pixels[i] = fill.r;
        pixels[i + 1] = fill.g;
        pixels[i + 2] = fill.b;
    }
}

Rgb Image::pixel(int x, int y) const {
    const std::uint8_t* p =
        data() + static_cast<std::size_t>(y) * stride() + static_cast<std::size_t>(x) * 3;
    return {p[0], p[1], p[2]};
}

void Image::setPixel(int x, int y, Rgb c) {
    std::uint8_t* p =
        data() + static_cast<std::size_t>(y) * stride() + static_cast<std::size_t>(x) * 3;
    p[0] = c.r;
    p[1] = c.g;
    p[2] = c.b;
}

// ---- Rounding and box fit ----------------------------------------------------------------

int roundHalfEven(long double value) {
    const long double down = std::floor(value);
    const long double diff = value - down;
    long double r = down;
    if (diff > 0.5L || (diff == 0.5L && std::fmod(down, 2.0L) != 0)) r = down + 1;
    return static_cast<int>(r);
}

Size boxFitSize(Size picture, int side) {
    if (picture.width <= 0 || picture.height <= 0 || side <= 0) return {};
    Size out;
    if (picture.width > picture.height) {
        const long double q = static_cast<long double>(picture.height) / picture.width;
        out = {side, roundHalfEven(q * side)};
    } else {
        const long double q = static_cast<long double>(picture.width) / picture.height;
        out = {roundHalfEven(q * side), side};
    }
    out.width = std::max(out.width, 1);
    out.height = std::max(out.height, 1);
    return out;
}

// ---- Drawing without smoothing -----------------------------------------------------------

namespace {

// Source index under the centre of target index `t` of `targetLen`: floor((t + 0.5) * n / T).
int sourceIndex(int t, int targetLen, int sourceLen) {
    return static_cast<int>((2 * static_cast<std::int64_t>(t) + 1) * sourceLen /
                            (2 * static_cast<std::int64_t>(targetLen)));
}

}  // namespace

void stretchInto(Image& canvas, const Image& src, Rect dst) {
    if (src.empty() || dst.width() <= 0 || dst.height() <= 0) return;
    const int x0 = std::max(dst.left, 0), x1 = std::min(dst.right, canvas.width);
    const int y0 = std::max(dst.top, 0), y1 = std::min(dst.bottom, canvas.height);
    if (x0 >= x1 || y0 >= y1) return;
    std::vector<int> columns(static_cast<std::size_t>(x1 - x0));
    for (int x = x0; x < x1; ++x)
        columns[static_cast<std::size_t>(x - x0)] =
            sourceIndex(x - dst.left, dst.width(), src.width);
    for (int y = y0; y < y1; ++y) {
        const int sy = sourceIndex(y - dst.top, dst.height(), src.height);
        const std::uint8_t* srow = src.data() + static_cast<std::size_t>(sy) * src.stride();
        std::uint8_t* drow = canvas.data() + static_cast<std::size_t>(y) * canvas.stride();
        for (int x = x0; x < x1; ++x) {
            const std::uint8_t* s = srow + columns[static_cast<std::size_t>(x - x0)] * 3;
            std::uint8_t* d = drow + static_cast<std::size_t>(x) * 3;
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
        }
    }
}

Image stretch(const Image& src, Size target) {
    if (src.empty() || target.width <= 0 || target.height <= 0) return {};
    Image out(target.width, target.height);
    stretchInto(out, src, {0, 0, target.width, target.height});
    return out;
}

Image boxFit(const Image& src, int side) {
    return stretch(src, boxFitSize(src.size(), side));
}

void drawAt(Image& canvas, const Image& src, int x, int y) {
    stretchInto(canvas, src, {x, y, x + src.width, y + src.height});
}

void fillRect(Image& canvas, Rect r, Rgb colour) {
    const int x0 = std::max(r.left, 0), x1 = std::min(r.right, canvas.width);
    const int y0 = std::max(r.top, 0), y1 = std::min(r.bottom, canvas.height);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) canvas.setPixel(x, y, colour);
}

// ---- Framed reference picture and thumbnails ---------------------------------------------

Rect framedPhotoRect(Size photo, Size control) {
    int x, y;
    if (photo.width > photo.height) {
        x = 1;
        y = roundHalfEven((control.height - photo.height) / 2.0L);
    } else {
        x = roundHalfEven((control.width - photo.width) / 2.0L);
        y = 1;
    }
    return {x, y, x + photo.width, y + photo.height};
}

Image framedPicture(const Image& photo, Rgb background, Size control) {
    Image out(control.width, control.height, background);
    const int w = control.width, h = control.height;
    fillRect(out, {0, 0, w, 1}, kBlack);
    fillRect(out, {0, h - 1, w, h}, kBlack);
    fillRect(out, {0, 0, 1, h}, kBlack);
    fillRect(out, {w - 1, 0, w, h}, kBlack);
    const Rect r = framedPhotoRect(photo.size(), control);
    drawAt(out, photo, r.left, r.top);
    return out;
}

Rect thumbnailPhotoRect(Size picture, int cell, int photoSide) {
    const Size d = boxFitSize(picture, photoSide);
    const int mx = roundHalfEven((cell - d.width) / 2.0L);
    const int my = roundHalfEven((cell - d.height) / 2.0L);
    return {mx, my, cell - mx, cell - my};
}

namespace {

void drawThumbnailEdges(Image& img) {
    const int n = img.width;
    fillRect(img, {0, 0, n, 1}, kWhite);
    fillRect(img, {0, 0, 1, n}, kWhite);
    fillRect(img, {0, n - 1, n, n}, kBlack);
    fillRect(img, {n - 1, 0, n, n}, kBlack);
}

}  // namespace

Image thumbnail(const Image& photo, Size original, int cell, int photoSide, Rgb background) {
    Image out(cell, cell, background);
    drawThumbnailEdges(out);
    stretchInto(out, photo, thumbnailPhotoRect(original, cell, photoSide));
    drawThumbnailEdges(out);
    return out;
}

// ---- JPEG --------------------------------------------------------------------------------

namespace {

struct TjDeleter {
    void operator()(void* h) const { tjDestroy(h); }
};
using TjHandle = std::unique_ptr<void, TjDeleter>;

// A file bigger than this cannot be a picture the program handles.
constexpr std::uintmax_t kMaxPictureFileBytes = 1ull << 30;

std::vector<std::uint8_t> readPictureFile(const fs::path& path) {
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    if (ec) throw IoError("open", path, ec.message());
    if (size > kMaxPictureFileBytes) throw CodecError(path, "file too large for a picture");
    return io::readFile(path, kMaxPictureFileBytes);
}

}  // namespace

ScaledPicture decodeJpegScaled(std::span<const std::uint8_t> jpeg, const fs::path& name,
                               int wantedSide) {
    TjHandle tj(tjInitDecompress());
    if (!tj) throw CodecError(name, "cannot start the JPEG decoder");
    if (jpeg.empty()) throw CodecError(name, "empty file, not a JPEG picture");

    int width = 0, height = 0, subsamp = 0, colorspace = 0;
    if (tjDecompressHeader3(tj.get(), jpeg.data(), static_cast<unsigned long>(jpeg.size()), &width,
                            &height, &subsamp, &colorspace) != 0)
        throw CodecError(name, std::string("not a JPEG picture: ") + tjGetErrorStr2(tj.get()));
    if (width <= 0 || height <= 0)
        throw CodecError(name, "incomplete JPEG picture: no frame header");
    if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > kMaxPicturePixels)
        throw CodecError(name, "picture too large: " + std::to_string(width) + " x " +
                                   std::to_string(height) + " pixels");
    if (colorspace == TJCS_CMYK || colorspace == TJCS_YCCK)
        throw CodecError(name, "CMYK JPEG pictures are not supported");

    int outW = width, outH = height;
    if (wantedSide > 0) {
        const Size need = boxFitSize({width, height}, wantedSide);
        int count = 0;
        const tjscalingfactor* factors = tjGetScalingFactors(&count);
        for (int i = 0; factors && i < count; ++i) {
            const tjscalingfactor f = factors[i];
            if (f.num > f.denom) continue;  // never enlarge while decoding
            const int w = TJSCALED(width, f), h = TJSCALED(height, f);
            if (w >= need.width && h >= need.height && w < outW) {
                outW = w;
                outH = h;
            }
        }
    }

    ScaledPicture out{Image(outW, outH), Size{width, height}};
    const int rc = tjDecompress2(tj.get(), jpeg.data(), static_cast<unsigned long>(jpeg.size()),
                                 out.image.data(), outW, static_cast<int>(out.image.stride()), outH,
                                 TJPF_RGB, TJFLAG_LIMITSCANS);
    if (rc != 0) {
        const std::string message = tjGetErrorStr2(tj.get());
        // Warnings about stray bytes leave a whole picture and are common in camera files;
        // a picture cut short is not whole.
        if (tjGetErrorCode(tj.get()) == TJERR_FATAL ||
            message.find("Premature end") != std::string::npos)
            throw CodecError(name, "damaged JPEG picture: " + message);
    }
    return out;
}

Image decodeJpeg(std::span<const std::uint8_t> jpeg, const fs::path& name) {
    return decodeJpegScaled(jpeg, name, 0).image;
}

ScaledPicture loadJpegScaled(const fs::path& path, int wantedSide) {
    const auto bytes = readPictureFile(path);
    return decodeJpegScaled(bytes, path, wantedSide);
}

Image loadJpeg(const fs::path& path) {
    return loadJpegScaled(path, 0).image;
}

namespace {

std::vector<std::uint8_t> encodeJpegNamed(const Image& img, int quality, const fs::path& name) {
    if (img.empty() || img.pixels.size() != img.stride() * static_cast<std::size_t>(img.height))
        throw CodecError(name, "no picture to save");
    TjHandle tj(tjInitCompress());
    if (!tj) throw CodecError(name, "cannot start the JPEG encoder");
    unsigned char* buf = nullptr;
    unsigned long size = 0;
    // Flags 0: baseline sequential coding, which every viewer reads.
    const int rc = tjCompress2(tj.get(), img.data(), img.width, static_cast<int>(img.stride()),
                               img.height, TJPF_RGB, &buf, &size, TJSAMP_420, quality, 0);
    std::unique_ptr<unsigned char, void (*)(unsigned char*)> owned(buf, tjFree);
    if (rc != 0) throw CodecError(name, std::string("cannot encode: ") + tjGetErrorStr2(tj.get()));
    return std::vector<std::uint8_t>(buf, buf + size);
}

}  // namespace

std::vector<std::uint8_t> encodeJpeg(const Image& img, int quality) {
    return encodeJpegNamed(img, quality, "picture");
}

void saveJpeg(const Image& img, const fs::path& target, int quality) {
    const auto bytes = encodeJpegNamed(img, quality, target);
    fs::path tmp = target;
    tmp += ".tmp";
    replaceFile(target, bytes, tmp);
}

// ---- Windows bitmap ----------------------------------------------------------------------

namespace {

std::uint32_t le32(std::span<const std::uint8_t> b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t(b[at + 3]) << 24);
}
std::uint16_t le16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
void put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void put16(std::vector<std::uint8_t>& b, std::uint16_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

}  // namespace

Image decodeBmp(std::span<const std::uint8_t> b, const fs::path& name) {
    const auto fail = [&](const std::string& why) { return CodecError(name, why); };
    if (b.size() < 26 || b[0] != 'B' || b[1] != 'M') throw fail("not a Windows bitmap");
    const std::uint64_t pixelOffset = le32(b, 10);
    const std::uint32_t headerSize = le32(b, 14);
    std::int64_t width, height;
    unsigned bits, compression = 0, colours = 0, paletteEntry;
    if (headerSize == 12) {  // the old OS/2 header
        width = le16(b, 18);
        height = static_cast<std::int16_t>(le16(b, 20));
        bits = le16(b, 24);
        paletteEntry = 3;
    } else if (headerSize >= 40 && b.size() >= 14 + 40) {
        width = static_cast<std::int32_t>(le32(b, 18));
        height = static_cast<std::int32_t>(le32(b, 22));
        bits = le16(b, 28);
        compression = le32(b, 30);
        colours = le32(b, 46);
        paletteEntry = 4;
    } else {
        throw fail("unknown bitmap header");
    }
    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0) throw fail("bitmap without pixels");
    if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > kMaxPicturePixels)
        throw fail("picture too large");
    if (compression != 0) throw fail("compressed bitmaps are not supported");
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        throw fail("bitmaps of " + std::to_string(bits) + " bits per pixel are not supported");

    std::vector<Rgb> palette;
    if (bits <= 8) {
        const std::uint64_t maxColours = 1u << bits;
        const std::uint64_t n = colours == 0 || colours > maxColours ? maxColours : colours;
        const std::uint64_t at = 14 + std::uint64_t{headerSize};
        if (at + n * paletteEntry > b.size()) throw fail("bitmap palette cut short");
        for (std::uint64_t i = 0; i < n; ++i) {
            const std::size_t p = static_cast<std::size_t>(at + i * paletteEntry);
            palette.push_back({b[p + 2], b[p + 1], b[p]});
        }
    }

    const std::uint64_t rowBytes = (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
    if (pixelOffset + rowBytes * static_cast<std::uint64_t>(height) > b.size())
        throw fail("bitmap pixels cut short");

    Image img(static_cast<int>(width), static_cast<int>(height));
    for (int y = 0; y < img.height; ++y) {
        const int fileRow = topDown ? y : img.height - 1 - y;
        const std::uint8_t* row = b.data() + pixelOffset + rowBytes * fileRow;
        for (int x = 0; x < img.width; ++x) {
            Rgb c;
            if (bits >= 24) {
                const std::uint8_t* p = row + static_cast<std::size_t>(x) * (bits / 8);
                c = {p[2], p[1], p[0]};
            } else {
                const std::size_t bit = static_cast<std::size_t>(x) * bits;
                const unsigned index = (row[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
                c = index < palette.size() ? palette[index] : kBlack;
            }
            img.setPixel(x, y, c);
        }
    }
    return img;
}

Image loadBmp(const fs::path& path) {
    const auto bytes = readPictureFile(path);
    return decodeBmp(bytes, path);
}

std::vector<std::uint8_t> encodeBmp(const Image& img) {
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(img.width) * 3 + 3) / 4 * 4;
    const std::uint32_t pixelBytes = rowBytes * static_cast<std::uint32_t>(img.height);
    std::vector<std::uint8_t> b;
    b.reserve(54 + pixelBytes);
    b.push_back('B');
    b.push_back('M');
    put32(b, 54 + pixelBytes);
    put32(b, 0);
    put32(b, 54);
    put32(b, 40);
    put32(b, static_cast<std::uint32_t>(img.width));
    put32(b, static_cast<std::uint32_t>(img.height));
    put16(b, 1);
    put16(b, 24);
    put32(b, 0);
    put32(b, pixelBytes);
    put32(b, 2835);  // 72 dpi
    put32(b, 2835);
    put32(b, 0);
    put32(b, 0);
    for (int y = img.height - 1; y >= 0; --y) {
        for (int x = 0; x < img.width; ++x) {
            const Rgb c = img.pixel(x, y);
            b.push_back(c.b);
            b.push_back(c.g);
            b.push_back(c.r);
        }
        for (std::uint32_t i = static_cast<std::uint32_t>(img.width) * 3; i < rowBytes; ++i)
            b.push_back(0);
    }
    return b;
}

void saveBmp(const Image& img, const fs::path& target) {
    fs::path tmp = target;
    tmp += ".tmp";
    replaceFile(target, encodeBmp(img), tmp);
}

// ---- By file name ------------------------------------------------------------------------

bool hasJpegExtension(std::string_view fileName) {
    const auto dot = fileName.rfind('.');
    if (dot == std::string_view::npos) return false;
    std::string ext(fileName.substr(dot));
    if (ext == ".") return false;
    for (char& ch : ext) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return std::string_view(".jpg.jpeg").find(ext) != std::string_view::npos;
}

Image loadPicture(const fs::path& path) {
    return hasJpegExtension(path.filename().string()) ? loadJpeg(path) : loadBmp(path);
}

}  // namespace tavo
