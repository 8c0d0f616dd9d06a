#pragma once
// Paths of the data folder. Every path is data folder + "/" + sub-path.
#include <filesystem>
#include <string>
#include <string_view>

namespace tavo {

namespace fs = std::filesystem;

// True when `name` can safely name a file inside a folder: not empty, not "." or "..", and
// free of separators and NUL. Names taken from data files or listings pass here before use.
bool isBareFileName(std::string_view name);

// Folders and files of the data folder.
struct DataPaths {
    fs::path root;

    fs::path settings() const { return root / "Tavo.ini"; }
    fs::path dataTmp() const { return root / "DATA.TMP"; }
    fs::path fiches() const { return root / "FICHES"; }
    fs::path galeries() const { return root / "GALERIES"; }
    fs::path imgref() const { return root / "IMGREF"; }
    fs::path card(const std::string& id) const { return fiches() / (id + ".SIG"); }
    fs::path works(const std::string& id) const { return fiches() / (id + ".TRX"); }
    fs::path worksTmp(const std::string& id) const { return fiches() / (id + ".TMP"); }
    fs::path gallery(const std::string& id) const { return galeries() / (id + ".GAL"); }
    fs::path referencePhoto(const std::string& id) const { return imgref() / (id + ".JPG"); }
    fs::path typesList() const { return root / "Types.LIB"; }
    fs::path statesList() const { return root / "Etats.LIB"; }
    fs::path namesList() const { return root / "NomsA.LIB"; }
    fs::path defaultPicture() const { return root / "Defaut.bmp"; }
    fs::path languageFile(const std::string& language) const { return root / (language + ".lng"); }
    fs::path helpPage(const std::string& language, const std::string& page) const {
        return root / "Aide" / language / page;
    }
};

}  // namespace tavo
