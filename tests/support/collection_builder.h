#pragma once
// Builds data folders with the core's own encoders, plus the oddities real folders hold (bytes
// behind texts, dates that are not dates, missing files), for tests that read whole collections.
#include <filesystem>
#include <string>
#include <vector>

#include "cards/card_file.h"
#include "common/fixed_string.h"
#include "imaging/imaging.h"
#include "lists/list_files.h"
#include "photos/gallery_file.h"
#include "support/temp_dir.h"
#include "works/works_line.h"

namespace tavo::test {

struct BuiltTree {
    std::string id;
    TreeCard card;
    std::vector<WorksLine> works;
    std::vector<PhotoRecord> photos;  // each gets a real JPEG in GALERIES
    bool referencePhoto = true;
    Size referenceSize{159, 106};
};

// A small real JPEG of a given size and colour.
inline Bytes smallJpeg(Size s, Rgb colour = {90, 140, 60}) {
    return encodeJpeg(Image(s.width, s.height, colour));
}

class CollectionBuilder {
  public:
    explicit CollectionBuilder(std::filesystem::path root) : paths_{std::move(root)} {
        for (const auto& d : {paths_.fiches(), paths_.galeries(), paths_.imgref()})
            std::filesystem::create_directories(d);
    }

    CollectionBuilder& tree(const BuiltTree& t) {
        writeFile(paths_.card(t.id), encodeCard(t.card));
        Bytes works, gallery;
        for (const auto& w : t.works) append(works, encodeWorksLine(w));
        for (const auto& p : t.photos) {
            append(gallery, encodePhotoRecord(p));
            writeFile(paths_.galeries() / p.fileName, photo());
        }
        writeFile(paths_.works(t.id), works);
        writeFile(paths_.gallery(t.id), gallery);
        if (t.referencePhoto)
            writeFile(paths_.referencePhoto(t.id), smallJpeg(t.referenceSize, {30, 90, 30}));
        return *this;
    }
    CollectionBuilder& lists(const std::vector<std::string>& types,
                             const std::vector<std::string>& states,
                             const std::vector<BotanicalName>& names) {
        Bytes t, s, n;
        for (const auto& x : types) append(t, encodeLabelEntry(x));
        for (const auto& x : states) append(s, encodeLabelEntry(x));
        for (const auto& x : names) append(n, encodeBotanicalName(x));
        writeFile(paths_.typesList(), t);
        writeFile(paths_.statesList(), s);
        writeFile(paths_.namesList(), n);
        return *this;
    }
    CollectionBuilder& settings(const std::string& cp1252Text) {
        writeBytes(paths_.settings(), cp1252Text);
        return *this;
    }
    // Overwrites bytes of a file in place (to leave something behind a text).
    CollectionBuilder& poke(const std::filesystem::path& file, std::size_t offset,
                            const std::string& bytes) {
        auto content = readBytes(file);
        std::copy(bytes.begin(), bytes.end(), content.begin() + static_cast<long>(offset));
        writeFile(file, content);
        return *this;
    }
    const DataPaths& paths() const { return paths_; }

  private:
    static void append(Bytes& to, const Bytes& record) {
        to.insert(to.end(), record.begin(), record.end());
    }
    static void writeFile(const std::filesystem::path& p, const Bytes& b) {
        writeBytes(p, std::string(b.begin(), b.end()));
    }
    // The gallery photos share one real picture: tests need real JPEGs, not distinct ones.
    const Bytes& photo() {
        if (photo_.empty()) photo_ = smallJpeg({120, 80});
        return photo_;
    }
    DataPaths paths_;
    Bytes photo_;
};

inline TreeCard card(const std::string& name, const std::string& botanical = "",
                     const std::string& acquired = "", const std::string& age = "") {
    TreeCard c;
    c.creationDate = "03/02/2026";
    c.treeName = name;
    c.botanicalName = botanical;
    c.acquisitionDate = acquired;
    c.age = age;
    c.ageEstimated = "N";
    return c;
}

}  // namespace tavo::test
