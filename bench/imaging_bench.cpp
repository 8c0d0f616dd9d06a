// Times the picture work of the program on a camera-sized photo: decoding at full size and
// reduced for thumbnails, the box fit to the stored sizes, and encoding. Prints its figures.
#include <chrono>
#include <cstdio>
#include <functional>

#include "imaging/imaging.h"

using namespace tavo;

namespace {

double millis(const std::function<void()>& work, int rounds) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i) work();
    const std::chrono::duration<double, std::milli> d = std::chrono::steady_clock::now() - start;
    return d.count() / rounds;
}

}  // namespace

int main() {
    // A 12-megapixel picture with detail everywhere, like a photo.
    Image photo(4000, 3000);
    unsigned seed = 1;
    for (int y = 0; y < photo.height; ++y)
        for (int x = 0; x < photo.width; ++x) {
            seed = seed * 1103515245 + 12345;
            const auto n = static_cast<std::uint8_t>((seed >> 16) & 31);
            photo.setPixel(
                x, y,
                {static_cast<std::uint8_t>(x / 16 + n), static_cast<std::uint8_t>(y / 12 + n),
                 static_cast<std::uint8_t>(n * 4)});
        }
    const auto jpeg = encodeJpeg(photo);
    std::printf("source: 4000 x 3000 JPEG of %zu bytes\n", jpeg.size());

    const int rounds = 5;
    Image full;
    std::printf("decode full size             %8.1f ms\n",
                millis([&] { full = decodeJpeg(jpeg, "bench.jpg"); }, rounds));
    ScaledPicture t;
    for (int side : {250, 150}) {
        const double ms = millis([&] { t = decodeJpegScaled(jpeg, "bench.jpg", side); }, rounds);
        std::printf("decode for a %d thumbnail   %8.1f ms  (%d x %d)\n", side, ms, t.image.width,
                    t.image.height);
    }
    Image fitted;
    std::printf("box fit 4000 x 3000 -> 600   %8.1f ms\n",
                millis([&] { fitted = boxFit(full, 600); }, rounds));
    std::printf("box fit 4000 x 3000 -> 159   %8.1f ms\n",
                millis([&] { (void)boxFit(full, 159); }, rounds));
    std::printf("encode 600 x 450, quality 90 %8.1f ms\n",
                millis([&] { (void)encodeJpeg(fitted); }, rounds));
    std::printf("gallery thumbnail, 250 cell  %8.1f ms\n",
                millis(
                    [&] {
                        const ScaledPicture s = decodeJpegScaled(jpeg, "bench.jpg", 250);
                        (void)thumbnail(s.image, s.original, kGalleryCell, kGalleryPhotoSide,
                                        kWhite);
                    },
                    rounds));
    return 0;
}
