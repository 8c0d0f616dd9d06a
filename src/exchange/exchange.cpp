#include "exchange/exchange.h"

#include <set>

#include "cards/card_file.h"
#include "common/clock.h"
#include "common/paths.h"
#include "exchange/collection_data.h"
#include "exchange/formats.h"
#include "exchange/html_album.h"
#include "exchange/output_folder.h"
#include "photos/gallery_file.h"

namespace tavo {

namespace fs = std::filesystem;

bool parseFormat(const std::string& name, Format& format) {
    if (name == "html")
        format = Format::Html;
    else if (name == "csv")
        format = Format::Csv;
    else if (name == "json")
        format = Format::Json;
    else
        return false;
    return true;
}

AlbumLabels albumLabels(const LanguageTable& table, const std::string& languageCode) {
    AlbumLabels l;
    l.language = languageCode;
    std::vector<std::string*> texts = {&l.title,     &l.search,  &l.age,     &l.years,
                                       &l.estimated, &l.works,   &l.gallery, &l.date,
                                       &l.type,      &l.comment, &l.back,    &l.noPhoto};
    for (auto& f : l.cardFields) texts.push_back(&f);
    for (std::size_t i = 0; i < texts.size(); ++i)
        if (const auto t = table.find(kFirstAlbumLabelSection + static_cast<int>(i), 0);
            t && !t->empty())
            *texts[i] = *t;
    return l;
}

namespace {

// Counts steps and asks the caller whether to go on.
class Steps {
  public:
    Steps(const Progress& progress, std::size_t total) : progress_(progress), total_(total) {}
    bool advance() {
        ++done_;
        return !progress_ || progress_(done_, total_);
    }

  private:
    const Progress& progress_;
    std::size_t total_;
    std::size_t done_ = 0;
};

// The gallery photos of the collection that exist and may be copied, each name once.
std::set<std::string> copyablePhotos(const CollectionData& data, const DataPaths& paths,
                                     std::vector<std::string>& warnings) {
    std::set<std::string> names;
    for (const auto& t : data.trees)
        for (const auto& raw : t.photos) {
            const std::string name = decodePhotoRecord(raw).fileName;
            std::error_code ec;
            if (isSafePhotoName(name) && fs::is_regular_file(paths.galeries() / name, ec))
                names.insert(name);
            else
                warnings.push_back(t.id + ": photo \"" + name + "\" not found");
        }
    return names;
}

bool copyPhotos(OutputFolder& out, const CollectionData& data, const DataPaths& paths,
                const std::set<std::string>& photos, Steps& steps) {
    out.makeFolder("photos");
    out.makeFolder("references");
    for (const auto& t : data.trees)
        if (t.referencePhoto) out.copy(*t.referencePhoto, referencePhotoLink(t.id));
    for (const auto& name : photos) {
        out.copy(paths.galeries() / name, galleryPhotoLink(name));
        if (!steps.advance()) return false;
    }
    return true;
}

std::string todayText(const ExportOptions& o) {
    return o.today.empty() ? formatDate(localToday()) : o.today;
}

}  // namespace

ExportResult exportCollection(const DataPaths& paths, const fs::path& outFolder,
                              const ExportOptions& options) {
    CollectionData data = readCollection(paths, options.trees);
    OutputFolder out(outFolder, OutputFolder::Durability::Copy, paths.root);

    ExportResult result;
    result.trees = data.trees.size();
    result.warnings = data.warnings;
    const std::set<std::string> photos = options.format == Format::Csv
                                             ? std::set<std::string>{}
                                             : copyablePhotos(data, paths, result.warnings);
    result.photos = photos.size();
    const auto present = [&](const std::string& name) { return photos.count(name) > 0; };
    Steps steps(options.progress, data.trees.size() + photos.size());
    const auto cancelled = [&] {
        out.discard();
        result.cancelled = true;
        return result;
    };

    switch (options.format) {
        case Format::Json: {
            if (!copyPhotos(out, data, paths, photos, steps)) return cancelled();
            out.write("collection.json", collectionJson(data, present));
            for (std::size_t i = 0; i < data.trees.size(); ++i)
                if (!steps.advance()) return cancelled();
            break;
        }
        case Format::Csv: {
            const CsvFiles csv = collectionCsv(data);
            out.write("trees.csv", csv.trees);
            out.write("works.csv", csv.works);
            out.write("photos.csv", csv.photos);
            out.write("lists.csv", csv.lists);
            for (std::size_t i = 0; i < data.trees.size(); ++i)
                if (!steps.advance()) return cancelled();
            break;
        }
        case Format::Html: {
            if (!copyPhotos(out, data, paths, photos, steps)) return cancelled();
            const std::string today = todayText(options);
            out.makeFolder("trees");
            std::vector<IndexPicture> pictures(data.trees.size());
            bool thumbs = false;
            for (std::size_t i = 0; i < data.trees.size(); ++i) {
                const TreeData& t = data.trees[i];
                std::optional<Size> reference;
                if (t.referencePhoto) {
                    try {
                        // Reference photos are small already; only a larger one gets a reduced
                        // copy for the index, made with the fast scaled decoding.
                        const ScaledPicture p =
                            loadJpegScaled(*t.referencePhoto, kIndexPictureSide);
                        reference = p.original;
                        pictures[i] = {referencePhotoLink(t.id), p.original};
                        if (std::max(p.original.width, p.original.height) > kIndexPictureSide) {
                            if (!thumbs) out.makeFolder("thumbs");
                            thumbs = true;
                            const Image small = boxFit(p.image, kIndexPictureSide);
                            out.write("thumbs/" + t.id + ".jpg", encodeJpeg(small));
                            pictures[i] = {"thumbs/" + t.id + ".jpg", small.size()};
                        }
                    } catch (const CodecError& e) {
                        result.warnings.push_back(e.what());
                    }
                }
                out.write("trees/" + t.id + ".html",
                          albumTreePage(t, reference, present, options.labels, today));
                if (!steps.advance()) return cancelled();
            }
            out.write("index.html", albumIndex(data, pictures, options.labels, today));
            out.write("album.css", albumStyleSheet());
            out.write("album.js", albumScript());
            break;
        }
    }
    out.commit();
    return result;
}

}  // namespace tavo
