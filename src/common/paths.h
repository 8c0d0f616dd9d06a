#pragma once
// Paths of the data folder. Every path is data folder + "/" + sub-path.
#include <filesystem>
#include <string>
#include <string_view>

namespace tavo {

namespace fs = std::filesystem;

// True when `name` can safely name a file inside a folder: not empty, not "." or "..", and
// free of separators, ':' and NUL (a name Windows cannot hold would keep the folder from moving
// there). Names taken from data files or listings pass here before use.
bool isBareFileName(std::string_view name);

// Folders and files of the data folder.
struct DataPaths {
    // Names matched when the data folder is listed.
    static constexpr const char* kLockFileName = "Tavo.lock";
    static constexpr const char* kRestoreStagingName = "RESTORE.TMP";
    static constexpr const char* kRestoreReplacedName = "RESTORE.OLD";
    static constexpr const char* kLostAndFoundName = "LOST+FOUND";

    fs::path root;

    fs::path settings() const { return root / "Tavo.ini"; }
    fs::path lockFile() const { return root / kLockFileName; }
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
    fs::path helpFolder() const { return root / "Aide"; }
    fs::path helpPage(const std::string& language, const std::string& page) const {
        return helpFolder() / language / page;
    }
    // The folders of a restore in progress: the backup's copy, then the entries it replaced.
    fs::path restoreStaging() const { return root / kRestoreStagingName; }
    fs::path restoreReplaced() const { return root / kRestoreReplacedName; }
    // Where the repair puts photos that no record names.
    fs::path lostAndFound() const { return root / kLostAndFoundName; }
};

}  // namespace tavo
