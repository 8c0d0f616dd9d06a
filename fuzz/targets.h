#pragma once
// One run of each reader on arbitrary bytes, shared by the fuzz programs and by the tests that
// replay their seed corpora. The readers may refuse input only with the program's own errors.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>

#include "cards/card_file.h"
#include "common/errors.h"
#include "common/ini_file.h"
#include "exchange/exchange.h"
#include "lists/list_files.h"
#include "photos/gallery_file.h"
#include "translation/language_table.h"
#include "works/works_line.h"

namespace tavo::fuzz {

// A scratch folder of this process for the file-based readers, removed when the process exits
// (by the process that made it: a forked child that exits must not take it from its parent).
inline const std::filesystem::path& scratch() {
    static const struct Folder {
        pid_t owner = ::getpid();
        std::filesystem::path dir =
            std::filesystem::temp_directory_path() / ("tavo-fuzz-" + std::to_string(owner));
        Folder() { std::filesystem::create_directories(dir / "GALERIES"); }
        ~Folder() {
            std::error_code ec;
            if (::getpid() == owner) std::filesystem::remove_all(dir, ec);
        }
    } folder;
    return folder.dir;
}

inline void writeInput(const std::filesystem::path& p, std::span<const std::uint8_t> data) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()),
              static_cast<std::streamsize>(data.size()));
}

// Language file: loads, then looks up a spread of entries.
inline void languageFile(std::span<const std::uint8_t> data) {
    const auto file = scratch() / "in.lng";
    writeInput(file, data);
    LanguageTable table;
    try {
        table.load(file);
    } catch (const ConversionError&) {
    }
    for (int section : {0, 1, 19, 100, 9999})
        for (int key : {0, 1, 2, 55, 9999}) (void)table.find(section, key);
}

// Settings file: reads keys, writes one, reads it back.
inline void settingsFile(std::span<const std::uint8_t> data) {
    const auto file = scratch() / "Tavo.ini";
    writeInput(file, data);
    (void)ini::readString(file, "Interface", "Langage", "x");
    (void)ini::readInt(file, "Fichiers", "Fiche", 0);
    ini::writeString(file, "Fichiers", "Fiche", "7");
    if (ini::readInt(file, "Fichiers", "Fiche", 0) != 7) std::abort();
}

// Record readers: every record kind decoded from the same bytes, and a gallery file read whole.
inline void records(std::span<const std::uint8_t> data) {
    if (data.size() >= TreeCard::kSize) (void)decodeCard(data.first(TreeCard::kSize));
    if (data.size() >= WorksLine::kSize) (void)decodeWorksLine(data.first(WorksLine::kSize));
    if (data.size() >= 51) (void)decodeLabelEntry(data.first(51));
    if (data.size() >= 704) (void)decodeBotanicalName(data.first(704));
    if (data.size() >= PhotoRecord::kSize) (void)decodePhotoRecord(data.first(PhotoRecord::kSize));
    writeInput(scratch() / "GALERIES" / "00000000000000.GAL", data);
    GalleryFile gallery(DataPaths{scratch()}, "00000000000000");
    for (const PhotoRecord& r : gallery.readAll()) {
        try {
            (void)gallery.photoPath(r.fileName);
        } catch (const RefusedError&) {
        }
    }
    try {
        (void)gallery.nextPhotoNumber();
    } catch (const ConversionError&) {
    }
}

// Collection document (outside input): imported into a new folder, which is then removed. Photo
// links resolve beside the document, where there are none, so documents that link photos are
// refused at the first link; the seeds that reach the writing have their links set to null.
inline void collectionDocument(std::span<const std::uint8_t> data) {
    const auto file = scratch() / "collection.json";
    writeInput(file, data);
    try {
        (void)importCollection(file, scratch() / "into");
    } catch (const RefusedError&) {
    }
    std::filesystem::remove_all(scratch() / "into");
}

}  // namespace tavo::fuzz
