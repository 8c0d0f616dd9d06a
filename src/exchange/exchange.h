#pragma once
// The whole collection out in open formats (an HTML album, CSV tables, a JSON document with its
// photos) and back in from that JSON document. The window and tavo-cli call these and nothing
// else; both only show what comes back.
#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "common/errors.h"
#include "common/paths.h"
#include "translation/language_table.h"

namespace tavo {

enum class Format { Html, Csv, Json };

// "html", "csv", "json" -> the format; false for anything else.
bool parseFormat(const std::string& name, Format& format);

// Called after each step with the steps done and the steps in all; returning false stops the
// export, which then removes what it wrote.
using Progress = std::function<bool(std::size_t done, std::size_t total)>;

// Fixed texts of the HTML album; the caller may take them from the language file
// (albumLabels).
struct AlbumLabels {
    std::string language = "fr";  // of the pages' lang attribute
    std::string title = "Collection";
    std::string search = "Rechercher";
    std::string age = "Âge";
    std::string years = "ans";
    std::string estimated = "estimé";
    std::string works = "Travaux";
    std::string gallery = "Galerie";
    std::string date = "Date";
    std::string type = "Intervention";
    std::string comment = "Commentaire";
    std::string back = "Retour à la collection";
    std::string noPhoto = "Pas de photo";
    // Cultivar, common name, English name, provenance, acquisition date, state, price, notes.
    std::vector<std::string> cardFields = {
        "Cultivar",           "Nom commun", "Nom anglais", "Provenance",
        "Date d'acquisition", "État",       "Prix",        "Notes"};
};

// Sections of the language file that hold the album's texts (key 0 each), from this one on in
// the order of AlbumLabels' members: title first, the card fields last.
inline constexpr int kFirstAlbumLabelSection = 1980;

struct ExportOptions {
    Format format = Format::Json;
    std::vector<std::string> trees;  // identifiers; empty exports every tree
    Progress progress;               // may be empty
    AlbumLabels labels;
    std::string today;  // dd/mm/yyyy for the ages shown in the album; empty: the clock's day
};

struct ExportResult {
    bool cancelled = false;
    std::size_t trees = 0;
    std::size_t photos = 0;
    std::vector<std::string> warnings;  // what could not be carried whole
};

// Exports the collection of the data folder `paths` into `outFolder`, which must be new or empty
// and lie outside the data folder (RefusedError otherwise); nothing is written anywhere else. A
// failed or cancelled export removes everything it wrote (a folder it created included), then
// throws or returns with `cancelled`.
ExportResult exportCollection(const DataPaths& paths, const std::filesystem::path& outFolder,
                              const ExportOptions& options);

// The album's texts from a language file; a missing entry keeps its default.
AlbumLabels albumLabels(const LanguageTable& table, const std::string& languageCode);

// A collection document that cannot be imported: `where` is the first offending place
// ("trees[3].works[12].date"), or the line and column of a syntax fault.
class ImportRefused : public RefusedError {
  public:
    ImportRefused(std::string where, const std::string& why)
        : RefusedError(where + ": " + why), where_(std::move(where)) {}
    const std::string& where() const { return where_; }

  private:
    std::string where_;
};

struct ImportResult {
    bool cancelled = false;
    std::size_t trees = 0;
    std::size_t photos = 0;
};

// Builds a data folder in `intoFolder` (new or empty; RefusedError otherwise) from the
// collection document `jsonFile` and the photo files beside it. The whole document is checked
// before anything is written (ImportRefused); a failure while writing, or a `progress` that
// returns false, removes what was written.
ImportResult importCollection(const std::filesystem::path& jsonFile,
                              const std::filesystem::path& intoFolder,
                              const Progress& progress = {});

// Gives the new data folder `target` what the program needs beside the data to open it: the
// language files, the help pages and the default picture of `source`, each only where `target`
// has none. An import writes the data alone; this makes its folder one the program can work in.
void addProgramFiles(const DataPaths& source, const DataPaths& target);

}  // namespace tavo
