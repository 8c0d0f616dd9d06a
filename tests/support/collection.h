#pragma once
// A data folder with real trees, written through the core's own functions: cards, works logs,
// galleries with stored photos, reference photos, the settings and list files.
#include <filesystem>
#include <string>
#include <vector>

#include "cards/card_file.h"
#include "common/file_io.h"
#include "common/paths.h"
#include "imaging/imaging.h"
#include "photos/gallery_file.h"
#include "support/temp_dir.h"
#include "works/works_file.h"

namespace tavo::test {

struct TreeSpec {
    std::string id;
    std::string name;
    std::string botanical;
    std::string acquired;
    std::vector<WorksLine> works;
    std::vector<PhotoRecord> photos;  // date and comment; numbered in this order
};

// A JPEG camera picture of the given size: a colour ramp, so that scaling shows.
inline Bytes cameraPicture(int width, int height) {
    Image img(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            img.setPixel(x, y,
                         Rgb{static_cast<std::uint8_t>(x * 255 / width),
                             static_cast<std::uint8_t>(y * 255 / height), 90});
    return encodeJpeg(img);
}

// Adds a tree with its four files; gallery photos are stored as the photo editor stores them.
inline void addTree(const std::filesystem::path& root, const TreeSpec& t) {
    const DataPaths data{root};
    TreeCard card;
    card.creationDate = "01/02/2024";
    card.treeName = t.name;
    card.botanicalName = t.botanical;
    card.acquisitionDate = t.acquired;
    card.ageEstimated = "N";
    createCard(data, t.id, card);
    createEmptyTreeFiles(data, t.id);
    io::writeFile(data.referencePhoto(t.id), cameraPicture(159, 106));
    WorksFile works(data, t.id);
    for (const WorksLine& line : t.works) works.add(line);
    GalleryFile gallery(DataPaths{root}, t.id);
    for (const PhotoRecord& p : t.photos)
        commitNewPhoto(gallery, planNewPhoto(gallery, p.date, p.comment), cameraPicture(60, 40));
}

// An empty data folder: the three folders, Tavo.ini and the three list files.
inline void makeCollection(const std::filesystem::path& root) {
    for (const char* d : {"FICHES", "GALERIES", "IMGREF"})
        std::filesystem::create_directories(root / d);
    writeBytes(root / "Tavo.ini",
               "[Interface]\r\nLangage=Fran\xe7"
               "ais\r\n");
    writeBytes(root / "Types.LIB", std::string(51, '\0'));
    writeBytes(root / "Etats.LIB", std::string(51, '\0'));
    writeBytes(root / "NomsA.LIB", "");
}

}  // namespace tavo::test
