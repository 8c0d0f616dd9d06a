// Storing one camera photo as a gallery photo, for timing and peak memory from outside:
//   store_photo_bench make FILE [WIDTH HEIGHT]  writes a camera-like JPEG (default 6000 x 4000)
//   store_photo_bench store FILE [ROUNDS]       the stored 600-pixel photo, rows sampled
//   store_photo_bench whole FILE [ROUNDS]       the same from the whole decoded frame
//   store_photo_bench thumb FILE [ROUNDS]       the gallery viewer's thumbnail of the photo
// Compare `store` with `djpeg -outfile /dev/null FILE` (a full decode is the floor) under
// `/usr/bin/time -v`, which also gives the peak memory ("Maximum resident set size").
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/file_io.h"
#include "imaging/imaging.h"
#include "photos/gallery_pictures.h"

using namespace tavo;

namespace {

int usage() {
    std::fprintf(stderr, "usage: store_photo_bench make|store|whole|thumb FILE [...]\n");
    return 2;
}

// Detail everywhere and smooth gradients, like a photo; 4:2:0 at quality 92, like a camera.
void makePhoto(const char* file, int width, int height) {
    Image photo(width, height);
    unsigned seed = 1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            seed = seed * 1103515245 + 12345;
            const auto n = static_cast<std::uint8_t>((seed >> 16) & 31);
            photo.setPixel(x, y,
                           {static_cast<std::uint8_t>(x * 200 / width + n),
                            static_cast<std::uint8_t>(y * 200 / height + n),
                            static_cast<std::uint8_t>(n * 4)});
        }
    io::writeFile(file, encodeJpeg(photo, 92));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    const std::string mode = argv[1];
    const char* file = argv[2];
    if (mode == "make") {
        makePhoto(file, argc > 3 ? std::atoi(argv[3]) : 6000, argc > 4 ? std::atoi(argv[4]) : 4000);
        return 0;
    }
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 1;
    std::size_t bytes = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i) {
        if (mode == "store") {
            bytes = storedGalleryPhoto(file).size();
        } else if (mode == "thumb") {
            bytes = galleryThumbnail(file, kWhite).pixels.size();
        } else if (mode == "whole") {
            bytes = encodeJpeg(boxFit(loadJpeg(file), kGalleryPhotoStoredSide), 90).size();
        } else {
            return usage();
        }
    }
    const std::chrono::duration<double, std::milli> d = std::chrono::steady_clock::now() - start;
    std::printf("%s: %.1f ms per photo (%d rounds), result of %zu bytes\n", mode.c_str(),
                d.count() / rounds, rounds, bytes);
    return 0;
}
