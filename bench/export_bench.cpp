// Export timings: 200 trees with 2,000 photos to HTML against a plain `cp -r` of the same
// photos, and CSV and JSON of 1,000 trees with 100 works lines each.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "cards/card_file.h"
#include "exchange/exchange.h"
#include "imaging/imaging.h"
#include "photos/gallery_file.h"
#include "works/works_line.h"

namespace fs = std::filesystem;
using namespace tavo;

namespace {

void put(const fs::path& p, const Bytes& b) {
    std::ofstream(p, std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

// A gallery photo as stored: 600 pixels on the longer side, with detail so it has a real size.
Bytes galleryPhoto() {
    Image img(600, 400);
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x)
            img.setPixel(
                x, y,
                {static_cast<std::uint8_t>((x * 7 + y * 3) ^ (x * y)),
                 static_cast<std::uint8_t>(x + y * 5), static_cast<std::uint8_t>((x ^ y) * 11)});
    return encodeJpeg(img);
}

void makeFolder(const fs::path& root, int trees, int worksPerTree, int photosPerTree) {
    const DataPaths d{root};
    for (const auto& f : {d.fiches(), d.galeries(), d.imgref()}) fs::create_directories(f);
    const Bytes photo = galleryPhoto(), reference = encodeJpeg(Image(159, 106, {40, 90, 40}));
    for (int t = 0; t < trees; ++t) {
        char id[32];
        std::snprintf(id, sizeof id, "26%03d14050%04d", t % 366 + 1, t);
        TreeCard c;
        c.treeName = "Arbre n° " + std::to_string(t);
        c.botanicalName = "Acer palmatum";
        c.acquisitionDate = "15/03/2010";
        c.age = "12";
        c.ageEstimated = "N";
        c.notes = std::string(300, 'n');
        put(d.card(id), encodeCard(c));
        Bytes works, gallery;
        for (int w = 0; w < worksPerTree; ++w) {
            const Bytes l = encodeWorksLine({"01/04/2015", "Taille", "Taille d'entretien, été"});
            works.insert(works.end(), l.begin(), l.end());
        }
        for (int p = 1; p <= photosPerTree; ++p) {
            const std::string name = photoFileName(id, p);
            const Bytes r = encodePhotoRecord({name, "20/05/2018", "Après la taille"});
            gallery.insert(gallery.end(), r.begin(), r.end());
            put(d.galeries() / name, photo);
        }
        put(d.works(id), works);
        put(d.gallery(id), gallery);
        put(d.referencePhoto(id), reference);
    }
}

// Wall-clock seconds of `f`; also prints the processor time this process spent, which tells a
// loaded machine from a slow export.
double seconds(const std::function<void()>& f) {
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpu = std::clock();
    f();
    std::printf("  (processor time %.3f s)\n", double(std::clock() - cpu) / CLOCKS_PER_SEC);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main() {
    const fs::path base = fs::temp_directory_path() / "tavo-export-bench";
    fs::remove_all(base);
    fs::create_directories(base);

    makeFolder(base / "album-data", 200, 10, 10);
    // Best of three, alternating, so neither side pays alone for the file system's state.
    ExportOptions html;
    html.format = Format::Html;
    double cp = 1e9, album = 1e9;
    for (int run = 0; run < 3; ++run) {
        fs::remove_all(base / "cp-copy");
        fs::remove_all(base / "album");
        cp = std::min(cp, seconds([&] {
                          const std::string cmd = "cp -r '" +
                                                  (base / "album-data/GALERIES").string() + "' '" +
                                                  (base / "cp-copy").string() + "'";
                          if (std::system(cmd.c_str()) != 0) std::abort();
                      }));
        album = std::min(album, seconds([&] {
                             exportCollection(DataPaths{base / "album-data"}, base / "album", html);
                         }));
    }
    std::printf("HTML, 200 trees, 2000 photos: %.3f s (cp -r of the photos: %.3f s, ratio %.2f)\n",
                album, cp, album / cp);

    makeFolder(base / "table-data", 1000, 100, 0);
    for (auto [name, format] : {std::pair{"CSV", Format::Csv}, std::pair{"JSON", Format::Json}}) {
        ExportOptions o;
        o.format = format;
        const double s =
            seconds([&] { exportCollection(DataPaths{base / "table-data"}, base / name, o); });
        std::printf("%s, 1000 trees x 100 works lines: %.3f s\n", name, s);
    }
    fs::remove_all(base);
    return 0;
}
