#pragma once
// A fresh folder per test, removed at the end.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace tavo::test {

class TempDir {
  public:
    TempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tavo-test-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& sub) const { return path_ / sub; }

    // A data folder with the three folders the program expects.
    void makeDataFolders() const {
        for (const char* d : {"FICHES", "GALERIES", "IMGREF"})
            std::filesystem::create_directories(path_ / d);
    }

  private:
    std::filesystem::path path_;
};

inline std::vector<std::uint8_t> readBytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string readText(const std::filesystem::path& p) {
    auto b = readBytes(p);
    return {b.begin(), b.end()};
}

// Names of the entries of a folder, sorted.
inline std::vector<std::string> listFolder(const std::filesystem::path& p) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(p))
        names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace tavo::test
