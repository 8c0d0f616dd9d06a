#pragma once
// A whole data folder built from real records: trees with their four files, the three lists and
// the settings file with a matching card counter. Tests damage it from there.
#include <string>
#include <vector>

#include "cards/card_file.h"
#include "common/paths.h"
#include "lists/list_files.h"
#include "photos/gallery_file.h"
#include "startup/settings.h"
#include "support/temp_dir.h"
#include "works/works_line.h"

namespace tavo::test {

inline std::string asText(const Bytes& b) {
    return {b.begin(), b.end()};
}

// The four files of tree `id`: a card, works lines on `workDates`, one photo per date of
// `photoDates` (named in the gallery and stored), and a reference photo.
inline void writeTree(const DataPaths& paths, const std::string& id,
                      const std::vector<std::string>& workDates,
                      const std::vector<std::string>& photoDates) {
    TreeCard card;
    card.creationDate = "03/02/2026";
    card.treeName = "Arbre " + id;
    card.ageEstimated = "N";
    writeBytes(paths.card(id), asText(encodeCard(card)));
    std::string works;
    for (const auto& d : workDates) works += asText(encodeWorksLine({d, "Taille", ""}));
    writeBytes(paths.works(id), works);
    std::string gallery;
    for (std::size_t i = 0; i < photoDates.size(); ++i) {
        const std::string name = photoFileName(id, static_cast<int>(i) + 1);
        gallery += asText(encodePhotoRecord({name, photoDates[i], ""}));
        writeBytes(paths.galeries() / name, "jpeg");
    }
    writeBytes(paths.gallery(id), gallery);
    writeBytes(paths.referencePhoto(id), "reference");
}

// Lists, settings with the counter for `cards` cards.
inline void writeFolderFiles(const DataPaths& paths, long cards) {
    writeBytes(paths.typesList(), asText(encodeLabelEntry("Taille")));
    writeBytes(paths.statesList(), asText(encodeLabelEntry("Pré-bonsaï")));
    writeBytes(paths.namesList(), asText(encodeBotanicalName({"Acer", "Érable", "Maple"})));
    settings::setCardCounter(paths, cards + 1);
}

}  // namespace tavo::test
