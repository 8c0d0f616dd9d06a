// Times the EXIF reader over a few hundred generated camera-like JPEG files (a real picture
// encoded by libjpeg-turbo, behind an APP1 segment with the values a camera writes) and prints
// the time per file. When the exiv2 program is installed, times it on the same files, all in
// one run so its start-up is shared, and prints the ratio.
//   exif_bench [number of files, default 300]
#include <turbojpeg.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/errors.h"
#include "imaging/exif.h"
#include "imaging/exif_samples.h"

namespace fs = std::filesystem;
using namespace tavo::test::exif;
using Clock = std::chrono::steady_clock;

namespace {

// A 640 x 480 picture at quality 90; the pattern varies with `seed`.
Bytes encodePicture(int seed) {
    const int w = 640, h = 480;
    std::vector<unsigned char> rgb(static_cast<std::size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned char* p = &rgb[(static_cast<std::size_t>(y) * w + x) * 3];
            p[0] = static_cast<unsigned char>(x + seed);
            p[1] = static_cast<unsigned char>(y * 2 + seed * 3);
            p[2] = static_cast<unsigned char>((x ^ y) + seed * 7);
        }
    tjhandle tj = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long size = 0;
    if (!tj ||
        tjCompress2(tj, rgb.data(), w, 0, h, TJPF_RGB, &out, &size, TJSAMP_420, 90, 0) != 0) {
        std::fprintf(stderr, "encoding failed\n");
        std::exit(1);
    }
    Bytes jpeg(out, out + size);
    tjFree(out);
    tjDestroy(tj);
    return jpeg;
}

// The encoded picture with an EXIF APP1 segment put right behind its start marker (the camera
// layout), or behind the JFIF APP0 segment libjpeg-turbo writes.
Bytes withExif(const Bytes& picture, int i) {
    Tiff t = typicalCamera(i % 2 == 0);
    t.rational(Ifd::Exif, kExposureTime, 1, static_cast<std::uint32_t>(30 + i))
        .bytesAt(Ifd::Exif, 37500, 7, 2048, Bytes(2048, 0));
    const Bytes segment = app1(t.build());
    const bool jfif = i % 4 == 3 && picture[2] == 0xFF && picture[3] == 0xE0;
    const auto split = static_cast<long>(jfif ? 20 : 2);
    Bytes b;
    b.reserve(picture.size() + segment.size());
    b.insert(b.end(), picture.begin(), picture.begin() + split);
    b.insert(b.end(), segment.begin(), segment.end());
    b.insert(b.end(), picture.begin() + split, picture.end());
    return b;
}

double seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
    const fs::path folder =
        fs::temp_directory_path() / ("tavo-exif-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);

    std::vector<fs::path> files;
    std::uintmax_t totalBytes = 0;
    for (int i = 0; i < count; ++i) {
        const Bytes b = withExif(encodePicture(i % 16), i);
        files.push_back(folder / ("IMG_" + std::to_string(1000 + i) + ".JPG"));
        std::ofstream(files.back(), std::ios::binary)
            .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
        totalBytes += b.size();
    }
    std::printf("%d sample files, %.0f KiB on average, in %s\n", count,
                static_cast<double>(totalBytes) / count / 1024, folder.c_str());

    // Best of a few rounds, the files already in the page cache as a just-copied photo would be.
    const int rounds = 5;
    double best = 1e9;
    std::size_t dated = 0;
    for (int r = 0; r < rounds; ++r) {
        dated = 0;
        const auto start = Clock::now();
        for (const fs::path& f : files) {
            tavo::TExif exif;
            exif.ReadFromFile(f);
            if (exif.Valid() && !exif.DateTimeOriginal().empty()) ++dated;
        }
        best = std::min(best, seconds(Clock::now() - start));
    }
    const double ours = best / count;
    std::printf("TExif::ReadFromFile: %.2f us per file (best of %d rounds; %zu of %d dated)\n",
                ours * 1e6, rounds, dated, count);

    if (std::system("command -v exiv2 >/dev/null 2>&1") == 0) {
        std::string command = "exiv2 -q -pe";
        for (const fs::path& f : files) command += " '" + f.string() + "'";
        command += " >/dev/null 2>&1";
        double exivBest = 1e9;
        for (int r = 0; r < 3; ++r) {
            const auto start = Clock::now();
            const int rc = std::system(command.c_str());
            if (rc != 0) std::fprintf(stderr, "exiv2 returned %d\n", rc);
            exivBest = std::min(exivBest, seconds(Clock::now() - start));
        }
        const double theirs = exivBest / count;
        std::printf("exiv2 -pe (one run over all files): %.2f us per file\n", theirs * 1e6);
        std::printf("ratio exiv2 / TExif: %.1f\n", theirs / ours);
    } else {
        std::printf("exiv2 not installed: no comparison\n");
    }

    fs::remove_all(folder);
    return 0;
}
