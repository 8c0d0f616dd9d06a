#pragma once
// A small but complete data folder, and a way to compare folders byte for byte.
#include <filesystem>
#include <map>
#include <string>

#include "support/temp_dir.h"

namespace tavo::test {

inline const std::string kTreeId = "09064143512123";

// Writes a data folder with one tree (card, works, gallery, two photos, reference photo), the
// settings file, the three list files, and files that are not part of the data set.
inline void makeDataSet(const std::filesystem::path& root) {
    namespace fs = std::filesystem;
    for (const char* d : {"FICHES", "GALERIES/vieux", "IMGREF", "Aide/Français"})
        fs::create_directories(root / d);
    writeBytes(root / "FICHES" / (kTreeId + ".SIG"), std::string(1234, 'S'));
    writeBytes(root / "FICHES" / (kTreeId + ".TRX"), std::string(318 * 2, 'T'));
    writeBytes(root / "GALERIES" / (kTreeId + ".GAL"), std::string(135 * 2, 'G'));
    writeBytes(root / "GALERIES" / (kTreeId + "-001.JPG"), std::string(70000, '\xd8'));
    writeBytes(root / "GALERIES" / (kTreeId + "-002.JPG"), "photo 2");
    writeBytes(root / "GALERIES/vieux/ancien.JPG", "old");
    writeBytes(root / "IMGREF" / (kTreeId + ".JPG"), "reference");
    writeBytes(root / "Tavo.ini", "[Interface]\r\nLangage=Français\r\n");
    writeBytes(root / "Etats.LIB", std::string(51, 'E'));
    writeBytes(root / "Types.LIB", std::string(102, 'Y'));
    writeBytes(root / "NomsA.LIB", std::string(704, 'N'));
    writeBytes(root / "Français.lng", "#9999-0001=Bonjour");
    writeBytes(root / "Defaut.bmp", "BM");
    writeBytes(root / "Aide/Français/Index.htm", "<html>");
}

// Every entry below `root` (relative path -> file content, or "<folder>").
inline std::map<std::string, std::string> snapshot(const std::filesystem::path& root) {
    namespace fs = std::filesystem;
    std::map<std::string, std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        const std::string rel = fs::relative(e.path(), root).string();
        // The running program's lock says who uses the folder; it is not part of the data.
        if (rel == "Tavo.lock") continue;
        out[rel] = e.is_directory() ? "<folder>" : readText(e.path());
    }
    return out;
}

// The part of a snapshot that belongs to the data set (the seven entries and their content).
inline std::map<std::string, std::string> dataSetPart(const std::map<std::string, std::string>& s) {
    std::map<std::string, std::string> out;
    for (const auto& [rel, content] : s) {
        const std::string top = rel.substr(0, rel.find('/'));
        for (const char* name :
             {"FICHES", "GALERIES", "IMGREF", "Tavo.ini", "Etats.LIB", "Types.LIB", "NomsA.LIB"})
            if (top == name) out[rel] = content;
    }
    return out;
}

}  // namespace tavo::test
