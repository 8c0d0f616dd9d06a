#pragma once
// Reading a ZIP archive back in tests: with libzip, and as the `unzip` tool lists it.
#include <zip.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace tavo::test {

struct ZipEntry {
    std::string name;
    std::uint16_t method;
    std::string content;
};

// Every entry in archive order; throws when the archive or an entry cannot be read.
inline std::vector<ZipEntry> readZip(const std::filesystem::path& path) {
    int err = 0;
    zip_t* za = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &err);
    if (!za) throw std::runtime_error("cannot open " + path.string());
    std::vector<ZipEntry> out;
    for (zip_int64_t i = 0; i < zip_get_num_entries(za, 0); ++i) {
        zip_stat_t st;
        zip_stat_index(za, static_cast<zip_uint64_t>(i), 0, &st);
        std::string content(st.size, '\0');
        zip_file_t* f = zip_fopen_index(za, static_cast<zip_uint64_t>(i), 0);
        const bool read =
            f && zip_fread(f, content.data(), st.size) == static_cast<zip_int64_t>(st.size);
        if (f) zip_fclose(f);
        if (!read) {
            zip_close(za);
            throw std::runtime_error("cannot read " + std::string(st.name));
        }
        out.push_back({st.name, st.comp_method, content});
    }
    zip_close(za);
    return out;
}

// The names column of `unzip -l`, in the listed order.
inline std::vector<std::string> unzipListNames(const std::filesystem::path& path) {
    std::vector<std::string> out;
    FILE* p = ::popen(("unzip -l '" + path.string() + "'").c_str(), "r");
    if (!p) return out;
    char line[1024];
    int rules = 0;  // the entries lie between the first two lines of dashes
    while (std::fgets(line, sizeof line, p)) {
        std::string s(line);
        if (!s.empty() && s.back() == '\n') s.pop_back();
        if (s.rfind("---------", 0) == 0) {
            ++rules;
            continue;
        }
        if (rules == 1 && s.size() > 30) out.push_back(s.substr(30));
    }
    ::pclose(p);
    return out;
}

}  // namespace tavo::test
