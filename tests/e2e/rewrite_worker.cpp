// Performs the data file rewrites of the program in a loop on one tree of a data folder, so a
// test can end it (at its k-th write or rename, exit code 9, or killed) and check every file.
//   rewrite_worker <folder> <seed> [steps [k [µs]]]   (steps 0: until killed; k 0: no end; after
//   µs microseconds, SIGALRM, which nothing handles, kills it)
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "cards/card_file.h"
#include "common/errors.h"
#include "common/paths.h"
#include "lists/list_files.h"
#include "photos/gallery_file.h"
#include "support/faults.h"
#include "trees/tree_creation.h"
#include "trees/tree_deletion.h"
#include "works/works_file.h"

namespace {
constexpr const char* kTree = "26034140509042";

// The trees of the folder other than the one every rewrite works on.
std::vector<std::string> otherTrees(const tavo::DataPaths& paths) {
    std::vector<std::string> ids;
    for (const auto& e : std::filesystem::directory_iterator(paths.fiches()))
        if (e.path().extension() == ".SIG" && e.path().stem() != kTree)
            ids.push_back(e.path().stem().string());
    std::sort(ids.begin(), ids.end());
    return ids;
}

std::string date(std::mt19937& rng) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d", 1 + static_cast<int>(rng() % 28),
                  1 + static_cast<int>(rng() % 12), 2000 + static_cast<int>(rng() % 20));
    return text;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    const tavo::DataPaths paths{argv[1]};
    std::mt19937 rng(static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)));
    const long steps = argc > 3 ? std::strtol(argv[3], nullptr, 10) : 0;
    if (argc > 4) tavo::test::faults().endAt = std::strtol(argv[4], nullptr, 10);
    if (argc > 5) ::ualarm(static_cast<useconds_t>(std::strtoul(argv[5], nullptr, 10)), 0);
    try {
        tavo::WorksFile works(paths, kTree);
        tavo::GalleryFile gallery(paths, kTree);
        auto types = tavo::LabelListFile::interventionTypes(paths);
        types.createIfMissing();
        const tavo::Bytes jpeg(2000, 0xAB);  // the content of a stored photo does not matter here
        for (long step = 0; steps == 0 || step < steps; ++step) {
            switch (rng() % 8) {
                case 0:
                case 1:
                    works.add({date(rng), "Taille", "step " + std::to_string(step)});
                    break;
                case 2:
                    if (const auto n = works.count(); n > 0) {
                        const auto at = rng() % n;
                        works.change(at, {date(rng), "Rempotage", "changed"},
                                     works.readLine(at).date);
                    }
                    if (works.count() > 40) works.remove(rng() % works.count());
                    break;
                case 3:
                    if (gallery.count() < 60) {
                        tavo::commitNewPhoto(gallery, tavo::planNewPhoto(gallery, date(rng), "c"),
                                             jpeg);
                    }
                    break;
                case 4:
                    if (gallery.count() > 0)
                        tavo::removePhoto(gallery, 1 + rng() % gallery.count());
                    break;
                case 5:
                    types.append("Label " + std::to_string(step));
                    if (types.count() > 20) types.remove(rng() % types.count());
                    break;
                case 6:
                    if (otherTrees(paths).size() < 4) {
                        tavo::TreeCard card;
                        card.creationDate = "08/12/2026";
                        card.treeName = "Arbre " + std::to_string(step);
                        card.ageEstimated = "N";
                        tavo::createTree(paths, tavo::newTreeId(paths).id, card, jpeg);
                    }
                    break;
                case 7:
                    if (const auto ids = otherTrees(paths); !ids.empty()) {
                        const std::string id = ids[rng() % ids.size()];
                        tavo::GalleryFile other(paths, id);
                        // A tree a kill left half made has no gallery; it is deleted all the same.
                        const bool whole = std::filesystem::exists(other.path());
                        for (int i = 0; whole && i < 3; ++i)
                            tavo::commitNewPhoto(other, tavo::planNewPhoto(other, date(rng), ""),
                                                 jpeg);
                        tavo::deleteTree(paths, id);
                    }
                    break;
            }
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "rewrite_worker: %s\n", e.what());
        return 1;
    }
    return 0;
}
