// Makes what the add-photo benchmark (bench/cli-add-photo) measures on: a 24-megapixel camera
// picture (6000 x 4000, detail everywhere, like a photo) and a data folder holding one tree.
// Usage: make_cli_sample PICTURE DATA_FOLDER
#include <cstdio>
#include <filesystem>

#include "cards/card_file.h"
#include "common/file_io.h"
#include "imaging/imaging.h"

using namespace tavo;

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_cli_sample PICTURE DATA_FOLDER\n");
        return 2;
    }
    Image photo(6000, 4000);
    unsigned seed = 1;
    for (int y = 0; y < photo.height; ++y)
        for (int x = 0; x < photo.width; ++x) {
            seed = seed * 1103515245 + 12345;
            const auto n = static_cast<std::uint8_t>((seed >> 16) & 31);
            photo.setPixel(x, y,
                           Rgb{static_cast<std::uint8_t>(x * 200 / photo.width + n),
                               static_cast<std::uint8_t>(y * 200 / photo.height + n),
                               static_cast<std::uint8_t>(90 + n)});
        }
    io::writeFile(argv[1], encodeJpeg(photo, 92));

    const DataPaths data{argv[2]};
    for (const auto& d : {data.fiches(), data.galeries(), data.imgref()})
        std::filesystem::create_directories(d);
    TreeCard card;
    card.treeName = "Pin";
    card.ageEstimated = "N";
    const std::string id = "26034140509042";
    createCard(data, id, card);
    createEmptyTreeFiles(data, id);
    std::printf("%s\n", id.c_str());
    return 0;
}
