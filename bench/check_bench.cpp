// Times the data-folder check on a large collection: 500 trees, each with 100 works lines and 10
// gallery photos (7,000 files). Usage: check_bench [parent folder] (the default is the system's
// temporary folder; the collection is built in a fresh folder there and removed at the end).
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cards/card_file.h"
#include "common/file_io.h"
#include "common/paths.h"
#include "lists/list_files.h"
#include "photos/gallery_file.h"
#include "safety/integrity_check.h"
#include "startup/settings.h"
#include "works/works_line.h"

using namespace tavo;

namespace {

constexpr int kTrees = 500;
constexpr int kLines = 100;
constexpr int kPhotos = 10;
constexpr int kRuns = 5;

std::string dateOf(int day) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", day % 28 + 1, day / 28 % 12 + 1,
                  1990 + day / (28 * 12));
    return buf;
}

void append(Bytes& all, const Bytes& record) {
    all.insert(all.end(), record.begin(), record.end());
}

void buildCollection(const DataPaths& paths) {
    for (const auto& d : {paths.fiches(), paths.galeries(), paths.imgref()})
        std::filesystem::create_directories(d);
    const Bytes jpeg(20000, 0xAB);
    for (int t = 0; t < kTrees; ++t) {
        char id[16];
        std::snprintf(id, sizeof id, "26%012d", t);
        TreeCard card;
        card.creationDate = "08/12/2026";
        card.treeName = "Arbre " + std::to_string(t);
        io::writeFile(paths.card(id), encodeCard(card));
        Bytes works, gallery;
        for (int i = 0; i < kLines; ++i) append(works, encodeWorksLine({dateOf(i), "Taille", ""}));
        for (int i = 0; i < kPhotos; ++i) {
            const std::string name = photoFileName(id, i + 1);
            append(gallery, encodePhotoRecord({name, dateOf(i * 10), ""}));
            io::writeFile(paths.galeries() / name, jpeg);
        }
        io::writeFile(paths.works(id), works);
        io::writeFile(paths.gallery(id), gallery);
        io::writeFile(paths.referencePhoto(id), jpeg);
    }
    io::writeFile(paths.typesList(), encodeLabelEntry("Taille"));
    io::writeFile(paths.statesList(), Bytes{});
    io::writeFile(paths.namesList(), Bytes{});
    settings::setCardCounter(paths, kTrees + 1);
}

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path parent =
        argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::temp_directory_path();
    const auto root = parent / ("tavo-check-bench-" + std::to_string(::getpid()));
    const DataPaths paths{root};
    buildCollection(paths);

    std::vector<double> ms;
    std::size_t problems = 0;
    for (int i = 0; i < kRuns; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        problems = checkDataFolder(DataPaths{root}).size();
        const auto t1 = std::chrono::steady_clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    std::sort(ms.begin(), ms.end());
    std::printf(
        "check of %d trees (%d files)   median %8.2f ms   slowest %8.2f ms   problems %zu\n",
        kTrees, kTrees * (4 + kPhotos), ms[ms.size() / 2], ms.back(), problems);
    std::filesystem::remove_all(root);
    return problems == 0 ? 0 : 1;
}
