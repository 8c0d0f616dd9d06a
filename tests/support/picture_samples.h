#pragma once
// Picture files made here with the same libraries' encoders: every format the program reads,
// with or without an EXIF block, written to disk for the decoders under test.
#include <libheif/heif.h>
#include <png.h>
#include <tiffio.h>
#include <turbojpeg.h>
#include <webp/encode.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "imaging/imaging.h"
#include "support/temp_dir.h"

namespace tavo::test {

using PictureBytes = std::vector<std::uint8_t>;

// A picture whose every pixel tells its place, so a moved, dropped or repeated row or column
// shows: red grows along x, green along y, blue marks the quarter.
inline Image patternImage(int w, int h) {
    Image img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y,
                         {static_cast<std::uint8_t>(x * 251 / std::max(w - 1, 1)),
                          static_cast<std::uint8_t>(y * 251 / std::max(h - 1, 1)),
                          static_cast<std::uint8_t>((x * 2 < w ? 0 : 120) + (y * 2 < h ? 0 : 60))});
    return img;
}

// A JPEG of the given chroma subsampling (TJSAMP_*), progressive or not.
inline PictureBytes jpegBytes(const Image& img, int subsampling = TJSAMP_420,
                              bool progressive = false, int quality = 90) {
    tjhandle tj = tjInitCompress();
    unsigned char* buf = nullptr;
    unsigned long size = 0;
    const bool gray = subsampling == TJSAMP_GRAY;
    const int rc = tjCompress2(tj, img.data(), img.width, static_cast<int>(img.stride()),
                               img.height, TJPF_RGB, &buf, &size, gray ? TJSAMP_GRAY : subsampling,
                               quality, progressive ? TJFLAG_PROGRESSIVE : 0);
    tjDestroy(tj);
    if (rc != 0) throw std::runtime_error("sample JPEG not encoded");
    PictureBytes out(buf, buf + size);
    tjFree(buf);
    return out;
}

// The JPEG with `segment` (a whole APP segment, marker included) inserted right after SOI.
inline PictureBytes withSegment(PictureBytes jpeg, const PictureBytes& segment) {
    jpeg.insert(jpeg.begin() + 2, segment.begin(), segment.end());
    return jpeg;
}

inline PictureBytes pngBytes(const Image& img, bool alpha = false) {
    PictureBytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, png_size_t n) {
            auto* o = static_cast<PictureBytes*>(png_get_io_ptr(p));
            o->insert(o->end(), data, data + n);
        },
        nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(img.width),
                 static_cast<png_uint_32>(img.height), 8,
                 alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<std::uint8_t> row;
    for (int y = 0; y < img.height; ++y) {
        row.clear();
        for (int x = 0; x < img.width; ++x) {
            const Rgb c = img.pixel(x, y);
            row.insert(row.end(), {c.r, c.g, c.b});
            if (alpha) row.push_back(x % 2 ? 255 : 0);  // every other column transparent
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

inline PictureBytes webpLosslessBytes(const Image& img) {
    std::uint8_t* buf = nullptr;
    const std::size_t n = WebPEncodeLosslessRGB(img.data(), img.width, img.height,
                                                static_cast<int>(img.stride()), &buf);
    PictureBytes out(buf, buf + n);
    WebPFree(buf);
    return out;
}

// An uncompressed (or LZW) TIFF with the given orientation tag and an optional EXIF directory
// holding DateTimeOriginal.
inline void writeTiff(const std::filesystem::path& path, const Image& img, int orientation = 1,
                      const char* dateTimeOriginal = nullptr) {
    TIFF* t = TIFFOpen(path.c_str(), "w");
    if (!t) throw std::runtime_error("sample TIFF not opened");
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(img.width));
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(img.height));
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 7);
    TIFFSetField(t, TIFFTAG_ORIENTATION, static_cast<std::uint16_t>(orientation));
    for (int y = 0; y < img.height; ++y)
        TIFFWriteScanline(t, const_cast<std::uint8_t*>(img.data()) + y * img.stride(),
                          static_cast<std::uint32_t>(y), 0);
    if (!TIFFWriteDirectory(t)) throw std::runtime_error("sample TIFF not written");
    if (dateTimeOriginal) {
        TIFFCreateEXIFDirectory(t);
        TIFFSetField(t, EXIFTAG_DATETIMEORIGINAL, dateTimeOriginal);
        std::uint64_t exifOffset = 0;
        TIFFWriteCustomDirectory(t, &exifOffset);
        TIFFSetDirectory(t, 0);
        TIFFSetField(t, TIFFTAG_EXIFIFD, exifOffset);
        TIFFRewriteDirectory(t);
    }
    TIFFClose(t);
}

// A HEIC (HEVC, lossy) of the picture with an optional EXIF block (a TIFF structure) and, as
// phones write it, the rotation and mirror boxes of an EXIF orientation; empty when no HEVC
// encoder is installed.
inline PictureBytes heicBytes(const Image& img, const PictureBytes& exifTiff = {},
                              int orientation = 1) {
    heif_context* ctx = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    if (heif_context_get_encoder_for_format(ctx, heif_compression_HEVC, &encoder).code !=
        heif_error_Ok) {
        heif_context_free(ctx);
        return {};
    }
    heif_encoder_set_lossy_quality(encoder, 95);
    heif_image* image = nullptr;
    heif_image_create(img.width, img.height, heif_colorspace_RGB, heif_chroma_interleaved_RGB,
                      &image);
    heif_image_add_plane(image, heif_channel_interleaved, img.width, img.height, 8);
    int stride = 0;
    std::uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    for (int y = 0; y < img.height; ++y)
        std::copy_n(img.data() + y * img.stride(), img.stride(), plane + y * stride);
    heif_image_handle* handle = nullptr;
    heif_encoding_options* options = heif_encoding_options_alloc();
    options->image_orientation = static_cast<heif_orientation>(orientation);
    heif_context_encode_image(ctx, image, encoder, options, &handle);
    heif_encoding_options_free(options);
    if (!exifTiff.empty())
        heif_context_add_exif_metadata(ctx, handle, exifTiff.data(),
                                       static_cast<int>(exifTiff.size()));
    PictureBytes out;
    heif_writer writer{1, [](heif_context*, const void* data, size_t size, void* user) {
                           auto* o = static_cast<PictureBytes*>(user);
                           const auto* b = static_cast<const std::uint8_t*>(data);
                           o->insert(o->end(), b, b + size);
                           return heif_error{heif_error_Ok, heif_suberror_Unspecified, ""};
                       }};
    heif_context_write(ctx, &writer, &out);
    heif_image_handle_release(handle);
    heif_image_release(image);
    heif_encoder_release(encoder);
    heif_context_free(ctx);
    return out;
}

// The mean difference of two pictures' bytes, for lossy formats; 255 when the sizes differ.
inline double meanDifference(const Image& a, const Image& b) {
    if (a.size() != b.size() || a.empty()) return 255;
    double sum = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i)
        sum += std::abs(int(a.pixels[i]) - int(b.pixels[i]));
    return sum / static_cast<double>(a.pixels.size());
}

}  // namespace tavo::test
