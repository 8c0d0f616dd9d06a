#include "imaging/picture_decoders.h"

// clang-format off
#include <cstdio>  // before jpeglib.h, which uses FILE without including it
#include <jpeglib.h>
#include <jerror.h>
// clang-format on
#include <libheif/heif.h>
#include <png.h>
#include <tiffio.h>
#include <webp/decode.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "common/errors.h"
#include "common/file_io.h"

namespace tavo {

namespace fs = std::filesystem;

// ---- Formats -----------------------------------------------------------------------------

PictureFormat pictureFormatOf(std::span<const std::uint8_t> h) {
    const auto starts = [&](std::size_t at, std::string_view magic) {
        return h.size() >= at + magic.size() &&
               std::memcmp(h.data() + at, magic.data(), magic.size()) == 0;
    };
    if (starts(0, "\xFF\xD8\xFF")) return PictureFormat::Jpeg;
    if (starts(0, "\x89PNG\r\n\x1A\n")) return PictureFormat::Png;
    if (starts(0, "RIFF") && starts(8, "WEBP")) return PictureFormat::Webp;
    if (starts(0, std::string_view("II*\0", 4)) || starts(0, std::string_view("MM\0*", 4)))
        return PictureFormat::Tiff;
    if (starts(0, "BM")) return PictureFormat::Bmp;
    if (starts(4, "ftyp") && h.size() >= 12 &&
        heif_check_filetype(h.data(), static_cast<int>(h.size())) == heif_filetype_yes_supported)
        return PictureFormat::Heif;
    return PictureFormat::Unknown;
}

namespace {

// A file bigger than this cannot be a picture the program handles.
constexpr std::uintmax_t kMaxPictureFileBytes = 1ull << 30;

// The picture file, opened without waiting (a pipe or a device could block or never end) and
// only when it is a regular file.
class PictureFile {
  public:
    explicit PictureFile(const fs::path& path) : path_(path) {
        fd_ = io::Fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
        if (!fd_.valid()) throw IoError("open", path, std::strerror(errno));
        struct stat st {};
        const bool known = ::fstat(fd_.get(), &st) == 0;
        const int err = errno;
        if (!known || !S_ISREG(st.st_mode)) {
            fd_.close();
            throw IoError("open", path, known ? "not a regular file" : std::strerror(err));
        }
        size_ = static_cast<std::uint64_t>(st.st_size);
    }
    PictureFile(const PictureFile&) = delete;
    PictureFile& operator=(const PictureFile&) = delete;

    // Up to `n` bytes from the start.
    std::vector<std::uint8_t> head(std::size_t n) const {
        std::vector<std::uint8_t> b(n);
        const ssize_t got = ::pread(fd_.get(), b.data(), n, 0);
        b.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        return b;
    }

    // The whole file, refused beyond a size no picture has.
    std::vector<std::uint8_t> all() const {
        if (size_ > kMaxPictureFileBytes) throw CodecError(path_, "file too large for a picture");
        std::vector<std::uint8_t> b(static_cast<std::size_t>(size_));
        std::size_t done = 0;
        while (done < b.size()) {
            const ssize_t n =
                ::pread(fd_.get(), b.data() + done, b.size() - done, static_cast<off_t>(done));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) throw IoError("read", path_, std::strerror(errno));
            if (n == 0) break;
            done += static_cast<std::size_t>(n);
        }
        b.resize(done);
        return b;
    }

    // Hands the descriptor over to a library that closes it.
    int release() { return fd_.release(); }

    // A stdio stream over the file, for the libraries that read one.
    std::FILE* stream() {
        std::FILE* f = ::fdopen(fd_.get(), "rb");
        if (!f) throw IoError("open", path_, std::strerror(errno));
        fd_.release();
        return f;
    }

  private:
    const fs::path& path_;
    io::Fd fd_;
    std::uint64_t size_ = 0;
};

PictureFormat formatOfFile(const fs::path& path) {
    return pictureFormatOf(PictureFile(path).head(32));
}

void checkPixelCap(std::uint64_t width, std::uint64_t height, const fs::path& name) {
    if (width == 0 || height == 0) throw CodecError(name, "picture without pixels");
    if (width * height > kMaxPicturePixels)
        throw CodecError(name, "picture too large: " + std::to_string(width) + " x " +
                                   std::to_string(height) + " pixels");
}

// A transparent pixel shows the white of a page, not black: alpha `a` over white.
std::uint8_t overWhite(unsigned c, unsigned a) {
    return static_cast<std::uint8_t>((c * a + 255 * (255 - a) + 127) / 255);
}

}  // namespace

// ---- Upright and fitted, row by row ------------------------------------------------------

Size uprightSize(Size stored, int orientation) {
    return orientation >= 5 && orientation <= 8 ? Size{stored.height, stored.width} : stored;
}

namespace {

// Builds boxFit(orientUpright(stored), side) from the stored picture's rows, given top to
// bottom, keeping none of them. Each target pixel takes the upright pixel under its centre
// (stretch's rule), found back in the stored picture through the orientation:
//   plain (1-4):       stored (x, y) = (fx ? w-1-ux : ux, fy ? h-1-uy : uy)
//   transposed (5-8):  stored (x, y) = (fx ? w-1-uy : uy, fy ? h-1-ux : ux)
// so a stored row feeds whole target rows (plain) or whole target columns (transposed).
class FitSampler {
  public:
    FitSampler(Size stored, int orientation, int side)
        : stored_(stored),
          transposed_(orientation >= 5 && orientation <= 8),
          flipX_(orientation == 2 || orientation == 3 || orientation == 7 || orientation == 8),
          flipY_(orientation == 3 || orientation == 4 || orientation == 6 || orientation == 7) {
        const Size upright = uprightSize(stored, orientation);
        const Size target = side > 0 ? boxFitSize(upright, side) : upright;
        out_ = Image(target.width, target.height);
        const auto index = [](int t, int targetLen, int sourceLen) {
            return static_cast<int>((2 * static_cast<std::int64_t>(t) + 1) * sourceLen /
                                    (2 * static_cast<std::int64_t>(targetLen)));
        };
        // Lines are target rows (plain) or columns (transposed); along a line, `pick_` gives the
        // stored column of each target pixel.
        const int lines = transposed_ ? target.width : target.height;
        const int along = transposed_ ? target.height : target.width;
        const int lineSource = transposed_ ? upright.width : upright.height;
        const int alongSource = transposed_ ? upright.height : upright.width;
        pick_.resize(static_cast<std::size_t>(along));
        for (int i = 0; i < along; ++i) {
            const int u = index(i, along, alongSource);
            pick_[static_cast<std::size_t>(i)] = flipX_ ? stored.width - 1 - u : u;
        }
        uses_.reserve(static_cast<std::size_t>(lines));
        for (int line = 0; line < lines; ++line) {
            const int u = index(line, lines, lineSource);
            uses_.push_back({flipY_ ? stored.height - 1 - u : u, line});
        }
        std::sort(uses_.begin(), uses_.end(), [](const Use& a, const Use& b) {
            return a.row != b.row ? a.row < b.row : a.line < b.line;
        });
    }

    // True when stored row `y` is sampled; rows are asked about top to bottom.
    bool wants(int y) {
        while (next_ < uses_.size() && uses_[next_].row < y) ++next_;
        return next_ < uses_.size() && uses_[next_].row == y;
    }

    // Stored row `y`: stored width R, G, B bytes.
    void take(int y, const std::uint8_t* row) {
        for (; wants(y); ++next_) {
            const int line = uses_[next_].line;
            const std::size_t step = transposed_ ? out_.stride() : 3;
            std::uint8_t* d = transposed_
                                  ? out_.data() + static_cast<std::size_t>(line) * 3
                                  : out_.data() + static_cast<std::size_t>(line) * out_.stride();
            for (const int x : pick_) {
                const std::uint8_t* s = row + static_cast<std::size_t>(x) * 3;
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
                d += step;
            }
        }
    }

    bool done() const { return next_ >= uses_.size(); }
    Size stored() const { return stored_; }
    Image result() { return std::move(out_); }

  private:
    struct Use {
        int row;   // stored row
        int line;  // target row or column it fills
    };
    Size stored_;
    bool transposed_, flipX_, flipY_;
    Image out_;
    std::vector<int> pick_;
    std::vector<Use> uses_;
    std::size_t next_ = 0;
};

void feedImage(FitSampler& sampler, const Image& img) {
    for (int y = 0; y < img.height; ++y)
        if (sampler.wants(y))
            sampler.take(y, img.data() + static_cast<std::size_t>(y) * img.stride());
}

}  // namespace

Image orientUpright(const Image& stored, int orientation) {
    if (stored.empty() || orientation < 2 || orientation > 8) return stored;
    FitSampler sampler(stored.size(), orientation, 0);
    feedImage(sampler, stored);
    return sampler.result();
}

// ---- JPEG, row by row --------------------------------------------------------------------

namespace {

// Progressive files of more scans than this are hostile: each scan costs a pass over the data.
constexpr int kMaxJpegScans = 500;

struct JpegErrors {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX] = {};
    bool cutShort = false;
};

[[noreturn]] void jpegFail(j_common_ptr cinfo) {
    auto* e = reinterpret_cast<JpegErrors*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, e->message);
    std::longjmp(e->jump, 1);
}

void jpegMessage(j_common_ptr cinfo, int level) {
    auto* e = reinterpret_cast<JpegErrors*>(cinfo->err);
    // Stray bytes leave a whole picture and are common in camera files; a file cut short is not
    // whole.
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) {
        e->cutShort = true;
        (*cinfo->err->format_message)(cinfo, e->message);
    }
    if (level < 0) ++cinfo->err->num_warnings;
}

void jpegProgress(j_common_ptr cinfo) {
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (cinfo->is_decompressor && d->input_scan_number > kMaxJpegScans) {
        auto* e = reinterpret_cast<JpegErrors*>(cinfo->err);
        std::snprintf(e->message, sizeof e->message, "progressive JPEG with more than %d scans",
                      kMaxJpegScans);
        std::longjmp(e->jump, 1);
    }
}

struct JpegJob {
    jpeg_decompress_struct cinfo{};
    JpegErrors errors;
    jpeg_progress_mgr progress{};
    std::FILE* file = nullptr;
    std::vector<std::uint8_t> row;
    ~JpegJob() {
        jpeg_destroy_decompress(&cinfo);
        if (file) std::fclose(file);
    }
};

// Each step returns false when libjpeg gave up; the message is in job.errors. No object with a
// destructor lives in these frames, so the jump out of libjpeg skips nothing.
bool jpegHeader(JpegJob& job) {
    if (setjmp(job.errors.jump)) return false;
    jpeg_create_decompress(&job.cinfo);
    job.cinfo.progress = &job.progress;
    jpeg_stdio_src(&job.cinfo, job.file);
    jpeg_read_header(&job.cinfo, TRUE);
    return true;
}

bool jpegRows(JpegJob& job, FitSampler& sampler) {
    if (setjmp(job.errors.jump)) return false;
    job.cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&job.cinfo);
    JSAMPROW rows[1] = {job.row.data()};
    while (job.cinfo.output_scanline < job.cinfo.output_height) {
        const int y = static_cast<int>(job.cinfo.output_scanline);
        jpeg_read_scanlines(&job.cinfo, rows, 1);
        if (sampler.wants(y)) sampler.take(y, job.row.data());
    }
    jpeg_finish_decompress(&job.cinfo);
    return true;
}

ScaledPicture fitJpeg(const fs::path& path, int orientation, int side) {
    JpegJob job;
    job.cinfo.err = jpeg_std_error(&job.errors.mgr);
    job.errors.mgr.error_exit = jpegFail;
    job.errors.mgr.emit_message = jpegMessage;
    job.progress.progress_monitor = jpegProgress;
    job.file = PictureFile(path).stream();
    const auto failed = [&] {
        return CodecError(path, std::string("damaged JPEG picture: ") + job.errors.message);
    };
    if (!jpegHeader(job)) throw failed();
    const auto width = job.cinfo.image_width, height = job.cinfo.image_height;
    checkPixelCap(width, height, path);
    if (job.cinfo.jpeg_color_space == JCS_CMYK || job.cinfo.jpeg_color_space == JCS_YCCK)
        throw CodecError(path, "CMYK JPEG pictures are not supported");
    const Size stored{static_cast<int>(width), static_cast<int>(height)};
    FitSampler sampler(stored, orientation, side);
    job.row.resize(static_cast<std::size_t>(width) * 3);
    if (!jpegRows(job, sampler)) throw failed();
    if (job.errors.cutShort) throw failed();
    return {sampler.result(), uprightSize(stored, orientation)};
}

// ---- PNG, row by row ---------------------------------------------------------------------

struct PngJob {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::FILE* file = nullptr;
    char message[256] = {};
    std::jmp_buf jump;
    png_uint_32 width = 0, height = 0;
    int passes = 1;
    std::vector<std::uint8_t> rgba;  // one row, or the whole picture when interlaced
    std::vector<std::uint8_t> rgb;
    ~PngJob() {
        if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
        if (file) std::fclose(file);
    }
};

[[noreturn]] void pngFail(png_structp png, png_const_charp message) {
    auto* job = static_cast<PngJob*>(png_get_error_ptr(png));
    std::snprintf(job->message, sizeof job->message, "%s", message);
    std::longjmp(job->jump, 1);
}

void pngWarning(png_structp, png_const_charp) {}

bool pngHeader(PngJob& job) {
    if (setjmp(job.jump)) return false;
    png_init_io(job.png, job.file);
    png_read_info(job.png, job.info);
    job.width = png_get_image_width(job.png, job.info);
    job.height = png_get_image_height(job.png, job.info);
    // Every layout becomes 8-bit R, G, B, A.
    png_set_expand(job.png);
    png_set_strip_16(job.png);
    png_set_gray_to_rgb(job.png);
    png_set_add_alpha(job.png, 0xFF, PNG_FILLER_AFTER);
    job.passes = png_set_interlace_handling(job.png);
    png_read_update_info(job.png, job.info);
    return true;
}

void rgbaRowOverWhite(const std::uint8_t* rgba, std::size_t width, std::uint8_t* rgb) {
    for (std::size_t x = 0; x < width; ++x, rgba += 4, rgb += 3) {
        rgb[0] = overWhite(rgba[0], rgba[3]);
        rgb[1] = overWhite(rgba[1], rgba[3]);
        rgb[2] = overWhite(rgba[2], rgba[3]);
    }
}

bool pngRows(PngJob& job, FitSampler& sampler) {
    if (setjmp(job.jump)) return false;
    const std::size_t rowBytes = static_cast<std::size_t>(job.width) * 4;
    if (job.passes == 1) {
        // Each row is sampled as it comes; the others are decoded and dropped.
        for (png_uint_32 y = 0; y < job.height; ++y) {
            png_read_row(job.png, job.rgba.data(), nullptr);
            if (sampler.wants(static_cast<int>(y))) {
                rgbaRowOverWhite(job.rgba.data(), job.width, job.rgb.data());
                sampler.take(static_cast<int>(y), job.rgb.data());
            }
        }
    } else {
        // An interlaced picture is only whole after its last pass.
        for (int pass = 0; pass < job.passes; ++pass)
            for (png_uint_32 y = 0; y < job.height; ++y)
                png_read_row(job.png, job.rgba.data() + y * rowBytes, nullptr);
        for (png_uint_32 y = 0; y < job.height; ++y) {
            if (!sampler.wants(static_cast<int>(y))) continue;
            rgbaRowOverWhite(job.rgba.data() + y * rowBytes, job.width, job.rgb.data());
            sampler.take(static_cast<int>(y), job.rgb.data());
        }
    }
    png_read_end(job.png, nullptr);
    return true;
}

ScaledPicture fitPng(const fs::path& path, int side) {
    PngJob job;
    job.file = PictureFile(path).stream();
    job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &job, pngFail, pngWarning);
    if (!job.png) throw CodecError(path, "cannot start the PNG decoder");
    job.info = png_create_info_struct(job.png);
    if (!job.info) throw CodecError(path, "cannot start the PNG decoder");
    const auto failed = [&] {
        return CodecError(path, std::string("damaged PNG picture: ") + job.message);
    };
    if (!pngHeader(job)) throw failed();
    checkPixelCap(job.width, job.height, path);
    const Size stored{static_cast<int>(job.width), static_cast<int>(job.height)};
    FitSampler sampler(stored, 1, side);
    job.rgba.resize(static_cast<std::size_t>(job.width) * 4 *
                    (job.passes == 1 ? 1 : static_cast<std::size_t>(job.height)));
    job.rgb.resize(static_cast<std::size_t>(job.width) * 3);
    if (!pngRows(job, sampler)) throw failed();
    return {sampler.result(), stored};
}

// ---- TIFF, a strip at a time -------------------------------------------------------------

int tiffMessage(TIFF*, void* user, const char*, const char* format, va_list ap) {
    auto* message = static_cast<std::string*>(user);
    if (message->empty()) {
        char buf[512];
        std::vsnprintf(buf, sizeof buf, format, ap);
        *message = buf;
    }
    return 1;  // handled: nothing goes to the terminal
}

int tiffQuiet(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

ScaledPicture fitTiff(const fs::path& path, int side) {
    std::string message;
    std::unique_ptr<TIFFOpenOptions, void (*)(TIFFOpenOptions*)> options(TIFFOpenOptionsAlloc(),
                                                                         TIFFOpenOptionsFree);
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), tiffMessage, &message);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), tiffQuiet, nullptr);
    PictureFile file(path);
    io::Fd fd(file.release());
    std::unique_ptr<TIFF, void (*)(TIFF*)> tif(
        TIFFFdOpenExt(fd.get(), path.c_str(), "r", options.get()), TIFFClose);
    if (tif)
        fd.release();  // TIFFClose closes it from now on
    else
        fd.close();
    const auto failed = [&](const char* what) {
        return CodecError(path, std::string(what) + (message.empty() ? "" : ": " + message));
    };
    if (!tif) throw failed("not a readable TIFF picture");
    char why[1024] = {};
    TIFFRGBAImage img{};
    if (!TIFFRGBAImageOK(tif.get(), why) || !TIFFRGBAImageBegin(&img, tif.get(), 1, why))
        throw CodecError(path, std::string("unsupported TIFF picture: ") + why);
    std::unique_ptr<TIFFRGBAImage, void (*)(TIFFRGBAImage*)> ending(&img, TIFFRGBAImageEnd);
    checkPixelCap(img.width, img.height, path);
    const int orientation = img.orientation;
    // The rows as stored, top to bottom; the orientation is applied here like a JPEG's.
    img.req_orientation = img.orientation;
    const Size stored{static_cast<int>(img.width), static_cast<int>(img.height)};
    FitSampler sampler(stored, orientation, side);

    // Whole strips or tile rows at a time, so none is decoded twice, unless one is huge.
    std::uint32_t chunk = 0;
    if (TIFFIsTiled(tif.get()))
        TIFFGetFieldDefaulted(tif.get(), TIFFTAG_TILELENGTH, &chunk);
    else
        TIFFGetFieldDefaulted(tif.get(), TIFFTAG_ROWSPERSTRIP, &chunk);
    const std::uint64_t rowBytes = std::uint64_t{img.width} * 4;
    const std::uint64_t maxRows = std::max<std::uint64_t>(1, (64u << 20) / rowBytes);
    chunk = static_cast<std::uint32_t>(
        std::clamp<std::uint64_t>(chunk, 1, std::min<std::uint64_t>(maxRows, img.height)));
    std::vector<std::uint32_t> raster(static_cast<std::size_t>(img.width) * chunk);
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(img.width) * 3);
    for (std::uint32_t top = 0; top < img.height; top += chunk) {
        const std::uint32_t n = std::min(chunk, img.height - top);
        img.row_offset = static_cast<int>(top);
        img.col_offset = 0;
        if (!TIFFRGBAImageGet(&img, raster.data(), img.width, n))
            throw failed("damaged TIFF picture");
        for (std::uint32_t i = 0; i < n; ++i) {
            const int y = static_cast<int>(top + i);
            if (!sampler.wants(y)) continue;
            const std::uint32_t* p = raster.data() + static_cast<std::size_t>(i) * img.width;
            for (std::uint32_t x = 0; x < img.width; ++x) {
                // Colours come premultiplied by their alpha: over white, add the white let through.
                const unsigned a = TIFFGetA(p[x]);
                rgb[x * 3] = static_cast<std::uint8_t>(std::min(255u, TIFFGetR(p[x]) + 255 - a));
                rgb[x * 3 + 1] =
                    static_cast<std::uint8_t>(std::min(255u, TIFFGetG(p[x]) + 255 - a));
                rgb[x * 3 + 2] =
                    static_cast<std::uint8_t>(std::min(255u, TIFFGetB(p[x]) + 255 - a));
            }
            sampler.take(y, rgb.data());
        }
    }
    return {sampler.result(), uprightSize(stored, orientation)};
}

// ---- WebP, HEIF and bitmaps: whole pictures ----------------------------------------------

ScaledPicture fitWebp(const fs::path& path, int side) {
    const auto bytes = PictureFile(path).all();
    WebPBitstreamFeatures features{};
    if (WebPGetFeatures(bytes.data(), bytes.size(), &features) != VP8_STATUS_OK)
        throw CodecError(path, "damaged WebP picture");
    if (features.has_animation) throw CodecError(path, "animated WebP pictures are not supported");
    checkPixelCap(static_cast<std::uint64_t>(std::max(features.width, 0)),
                  static_cast<std::uint64_t>(std::max(features.height, 0)), path);
    const Size stored{features.width, features.height};
    const std::size_t rowBytes = static_cast<std::size_t>(stored.width) * 4;
    std::vector<std::uint8_t> rgba(rowBytes * static_cast<std::size_t>(stored.height));
    if (!WebPDecodeRGBAInto(bytes.data(), bytes.size(), rgba.data(), rgba.size(),
                            static_cast<int>(rowBytes)))
        throw CodecError(path, "damaged WebP picture");
    FitSampler sampler(stored, 1, side);
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(stored.width) * 3);
    for (int y = 0; y < stored.height; ++y) {
        if (!sampler.wants(y)) continue;
        rgbaRowOverWhite(rgba.data() + static_cast<std::size_t>(y) * rowBytes,
                         static_cast<std::size_t>(stored.width), rgb.data());
        sampler.take(y, rgb.data());
    }
    return {sampler.result(), stored};
}

struct HeifContextDeleter {
    void operator()(heif_context* c) const { heif_context_free(c); }
};
struct HeifHandleDeleter {
    void operator()(heif_image_handle* h) const { heif_image_handle_release(h); }
};
struct HeifImageDeleter {
    void operator()(heif_image* i) const { heif_image_release(i); }
};
using HeifContext = std::unique_ptr<heif_context, HeifContextDeleter>;
using HeifHandle = std::unique_ptr<heif_image_handle, HeifHandleDeleter>;

// The primary picture of a HEIF file, with its context and the bytes it reads from.
struct HeifFile {
    std::vector<std::uint8_t> bytes;
    HeifContext context;
    HeifHandle primary;
};

HeifFile openHeif(const fs::path& path) {
    HeifFile f{PictureFile(path).all(), HeifContext(heif_context_alloc()), nullptr};
    if (!f.context) throw CodecError(path, "cannot start the HEIF decoder");
    heif_error err = heif_context_read_from_memory_without_copy(f.context.get(), f.bytes.data(),
                                                                f.bytes.size(), nullptr);
    if (err.code != heif_error_Ok)
        throw CodecError(path, std::string("damaged HEIF picture: ") + err.message);
    heif_image_handle* handle = nullptr;
    err = heif_context_get_primary_image_handle(f.context.get(), &handle);
    f.primary.reset(handle);
    if (err.code != heif_error_Ok)
        throw CodecError(path, std::string("damaged HEIF picture: ") + err.message);
    return f;
}

ScaledPicture fitHeif(const fs::path& path, int side) {
    const HeifFile f = openHeif(path);
    // The size the handle gives already has the file's rotations and mirrors applied, as the
    // decoding does: the picture comes out upright.
    checkPixelCap(
        static_cast<std::uint64_t>(std::max(heif_image_handle_get_width(f.primary.get()), 0)),
        static_cast<std::uint64_t>(std::max(heif_image_handle_get_height(f.primary.get()), 0)),
        path);
    const bool alpha = heif_image_handle_has_alpha_channel(f.primary.get());
    heif_image* decoded = nullptr;
    const heif_error err = heif_decode_image(
        f.primary.get(), &decoded, heif_colorspace_RGB,
        alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, nullptr);
    const std::unique_ptr<heif_image, HeifImageDeleter> image(decoded);
    if (err.code != heif_error_Ok)
        throw CodecError(path, std::string("damaged HEIF picture: ") + err.message);
    const Size stored{heif_image_get_width(decoded, heif_channel_interleaved),
                      heif_image_get_height(decoded, heif_channel_interleaved)};
    int stride = 0;
    const std::uint8_t* plane =
        heif_image_get_plane_readonly(decoded, heif_channel_interleaved, &stride);
    if (!plane || stored.width <= 0 || stored.height <= 0)
        throw CodecError(path, "damaged HEIF picture: no pixels");
    FitSampler sampler(stored, 1, side);
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(stored.width) * 3);
    for (int y = 0; y < stored.height; ++y) {
        if (!sampler.wants(y)) continue;
        const std::uint8_t* row =
            plane + static_cast<std::size_t>(y) * static_cast<std::size_t>(stride);
        if (alpha) {
            rgbaRowOverWhite(row, static_cast<std::size_t>(stored.width), rgb.data());
            row = rgb.data();
        }
        sampler.take(y, row);
    }
    return {sampler.result(), stored};
}

ScaledPicture fitBmp(const fs::path& path, int side) {
    const Image bitmap = loadBmp(path);
    FitSampler sampler(bitmap.size(), 1, side);
    feedImage(sampler, bitmap);
    return {sampler.result(), bitmap.size()};
}

// The EXIF orientation of a JPEG; any trouble reading it leaves the picture as stored.
int jpegOrientation(const fs::path& path) {
    TExif exif;
    try {
        exif.ReadFromFile(path);
    } catch (const Error&) {
    }
    return exif.Orientation();
}

}  // namespace

ScaledPicture loadFittedPicture(const fs::path& path, int side) {
    switch (formatOfFile(path)) {
        case PictureFormat::Jpeg:
            return fitJpeg(path, jpegOrientation(path), side);
        case PictureFormat::Png:
            return fitPng(path, side);
        case PictureFormat::Webp:
            return fitWebp(path, side);
        case PictureFormat::Tiff:
            return fitTiff(path, side);
        case PictureFormat::Bmp:
            return fitBmp(path, side);
        case PictureFormat::Heif:
            return fitHeif(path, side);
        case PictureFormat::Unknown:
            break;
    }
    throw CodecError(path, "not a picture of a known format");
}

ScaledPicture loadUprightPicture(const fs::path& path, int wantedSide) {
    if (formatOfFile(path) == PictureFormat::Jpeg && wantedSide > 0) {
        // Libjpeg's reduced decoding is far cheaper than sampling the full picture.
        const int orientation = jpegOrientation(path);
        ScaledPicture p = loadJpegScaled(path, wantedSide);
        return {orientUpright(p.image, orientation), uprightSize(p.original, orientation)};
    }
    return loadFittedPicture(path, wantedSide);
}

// ---- EXIF --------------------------------------------------------------------------------

namespace {

void readHeifExif(const fs::path& path, TExif& exif) {
    const HeifFile f = openHeif(path);
    heif_item_id id = 0;
    if (heif_image_handle_get_list_of_metadata_block_IDs(f.primary.get(), "Exif", &id, 1) < 1)
        return;
    std::vector<std::uint8_t> block(heif_image_handle_get_metadata_size(f.primary.get(), id));
    if (block.size() < 4 ||
        heif_image_handle_get_metadata(f.primary.get(), id, block.data()).code != heif_error_Ok)
        return;
    // The block starts with the big-endian distance from its fifth byte to the TIFF header.
    const std::uint64_t skip = 4 + (std::uint64_t{block[0]} << 24 | std::uint64_t{block[1]} << 16 |
                                    std::uint64_t{block[2]} << 8 | block[3]);
    if (skip >= block.size()) return;
    exif.ReadFromTiffBytes(std::span(block).subspan(static_cast<std::size_t>(skip)), path);
}

}  // namespace

void readPictureExif(const fs::path& path, TExif& exif) {
    exif = TExif();
    switch (formatOfFile(path)) {
        case PictureFormat::Jpeg:
            exif.ReadFromFile(path);
            break;
        case PictureFormat::Tiff:
            exif.ReadFromTiffFile(path);
            break;
        case PictureFormat::Heif:
            readHeifExif(path, exif);
            break;
        default:
            break;
    }
}

std::optional<std::string> exifPhotoDate(const fs::path& path) {
    TExif exif;
    try {
        readPictureExif(path, exif);
        if (!exif.Valid()) return std::nullopt;
        // A JPEG's EXIF segment always meant a date ("//" without one); a TIFF or HEIF picture
        // has the TIFF structure whether or not it was dated.
        if (exif.DateTimeOriginal().empty() && formatOfFile(path) != PictureFormat::Jpeg)
            return std::nullopt;
    } catch (const Error&) {
        return std::nullopt;
    }
    return photoDateFromExif(exif.DateTimeOriginal());
}

}  // namespace tavo
