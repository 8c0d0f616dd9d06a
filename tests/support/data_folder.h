#pragma once
// The one builder of test data folders: trees (card, works log, gallery with real photos,
// reference photo), the list files and the settings, written with the core's own encoders so the
// files hold what the program would leave, plus the oddities real folders hold (bytes behind
// texts, dates that are not dates, damaged lengths).
#include <filesystem>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cards/card_file.h"
#include "common/paths.h"
#include "imaging/imaging.h"
#include "lists/list_files.h"
#include "photos/gallery_file.h"
#include "startup/settings.h"
#include "support/temp_dir.h"
#include "works/works_line.h"

namespace tavo::test {

// A card from (field, value) pairs ({"name", "Pin noir"}, {"price", "150"}), made on 03/02/2026
// with an age that is not estimated unless a pair says otherwise; other fields stay empty.
inline TreeCard cardOf(std::initializer_list<std::pair<std::string_view, std::string>> fields) {
    TreeCard c;
    c.creationDate = "03/02/2026";
    c.ageEstimated = "N";
    for (const auto& [field, value] : fields) {
        std::string* target = field == "name"         ? &c.treeName
                              : field == "botanical"  ? &c.botanicalName
                              : field == "cultivar"   ? &c.cultivar
                              : field == "common"     ? &c.commonName
                              : field == "english"    ? &c.englishName
                              : field == "provenance" ? &c.provenance
                              : field == "acquired"   ? &c.acquisitionDate
                              : field == "age"        ? &c.age
                              : field == "estimated"  ? &c.ageEstimated
                              : field == "state"      ? &c.state
                              : field == "price"      ? &c.price
                              : field == "notes"      ? &c.notes
                                                      : nullptr;
        if (!target) throw std::invalid_argument("no card field " + std::string(field));
        *target = value;
    }
    return c;
}

// Works lines from (date, type) pairs, in the order given.
inline std::vector<WorksLine> worksLines(
    std::initializer_list<std::pair<const char*, const char*>> dateAndType) {
    std::vector<WorksLine> lines;
    for (const auto& [date, type] : dateAndType) lines.push_back({date, type, ""});
    return lines;
}

// A small real JPEG of a given size and colour.
inline Bytes smallJpeg(Size s, Rgb colour = {90, 140, 60}) {
    return encodeJpeg(Image(s.width, s.height, colour));
}

struct BuiltTree {
    std::string id;
    TreeCard card{};
    std::vector<WorksLine> works{};
    std::vector<PhotoRecord> photos{};  // each gets a real JPEG; an empty name is its number's
    bool referencePhoto = true;
    Size referenceSize{159, 106};
};

class DataFolder {
  public:
    explicit DataFolder(std::filesystem::path root) : paths_{std::move(root)} {
        for (const auto& d : {paths_.fiches(), paths_.galeries(), paths_.imgref()})
            std::filesystem::create_directories(d);
    }

    // Writes (or rewrites) the tree's files.
    DataFolder& tree(const BuiltTree& t) {
        writeFile(paths_.card(t.id), encodeCard(t.card));
        Bytes works, gallery;
        for (const auto& w : t.works) append(works, encodeWorksLine(w));
        int number = 0;
        for (PhotoRecord p : t.photos) {
            ++number;
            if (p.fileName.empty()) p.fileName = photoFileName(t.id, number);
            append(gallery, encodePhotoRecord(p));
            writeFile(paths_.galeries() / p.fileName, photo());
        }
        writeFile(paths_.works(t.id), works);
        writeFile(paths_.gallery(t.id), gallery);
        if (t.referencePhoto)
            writeFile(paths_.referencePhoto(t.id), smallJpeg(t.referenceSize, {30, 90, 30}));
        return *this;
    }
    // Tree `id` named "Arbre <id>", a works line on each of `workDates`, a photo on each of
    // `photoDates`.
    DataFolder& tree(const std::string& id, const std::vector<std::string>& workDates,
                     const std::vector<std::string>& photoDates) {
        BuiltTree t{id, cardOf({{"name", "Arbre " + id}}), {}, {}};
        for (const auto& d : workDates) t.works.push_back({d, "Taille", ""});
        for (const auto& d : photoDates) t.photos.push_back({"", d, ""});
        return tree(t);
    }
    DataFolder& lists(const std::vector<std::string>& types = {"Taille"},
                      const std::vector<std::string>& states = {"Pré-bonsaï"},
                      const std::vector<BotanicalName>& names = {{"Acer", "Érable", "Maple"}}) {
        Bytes t, s, n;
        for (const auto& x : types) append(t, encodeLabelEntry(x));
        for (const auto& x : states) append(s, encodeLabelEntry(x));
        for (const auto& x : names) append(n, encodeBotanicalName(x));
        writeFile(paths_.typesList(), t);
        writeFile(paths_.statesList(), s);
        writeFile(paths_.namesList(), n);
        return *this;
    }
    DataFolder& settings(const std::string& cp1252Text) {
        writeBytes(paths_.settings(), cp1252Text);
        return *this;
    }
    DataFolder& cardCounter(long next) {
        settings::setCardCounter(paths_, next);
        return *this;
    }
    // The picture every gallery photo written from now on holds.
    DataFolder& galleryPicture(const Image& picture) {
        photo_ = encodeJpeg(picture);
        return *this;
    }
    // Overwrites bytes of a file in place (to leave something behind a text).
    DataFolder& poke(const std::filesystem::path& file, std::size_t offset,
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

}  // namespace tavo::test
