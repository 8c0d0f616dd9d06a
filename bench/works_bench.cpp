// Times the works log procedures on a log of 10,000 lines. Usage: works_bench [parent folder]
// (the default is the system's temporary folder; the log is built in a fresh folder there and
// removed at the end). Each procedure runs several times; the median and the slowest are shown.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "common/file_io.h"
#include "works/works_file.h"

using namespace tavo;

namespace {

constexpr int kLines = 10000;
constexpr int kRuns = 7;
const std::string kId = "20240101000000";

std::string dateOf(int day) {
    // 28 days a month keeps every date valid; ten thousand lines span about thirty years.
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", day % 28 + 1, day / 28 % 12 + 1,
                  1990 + day / (28 * 12));
    return buf;
}

void buildLog(const WorksFile& works) {
    Bytes all;
    all.reserve(std::size_t{kLines} * WorksLine::kSize);
    for (int i = 0; i < kLines; ++i) {
        const Bytes r = encodeWorksLine(
            {dateOf(i), "Taille d'entretien", "Ligne " + std::to_string(i) + std::string(80, '.')});
        all.insert(all.end(), r.begin(), r.end());
    }
    io::writeFile(works.path(), all);
}

void measure(const char* name, const std::function<void(int)>& run) {
    std::vector<double> ms;
    for (int i = 0; i < kRuns; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        run(i);
        const auto t1 = std::chrono::steady_clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-40s median %8.2f ms   slowest %8.2f ms\n", name, ms[ms.size() / 2], ms.back());
}

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path parent =
        argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::temp_directory_path();
    std::string pattern = (parent / "tavo-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::filesystem::path root = pattern;
    int status = 0;
    try {
        std::filesystem::create_directories(root / "FICHES");
        const WorksFile works(DataPaths{root}, kId);
        buildLog(works);
        std::printf("works log of %d lines (%zu bytes) in %s\n", kLines,
                    static_cast<std::size_t>(std::filesystem::file_size(works.path())),
                    root.c_str());

        measure("append a line (latest date)", [&](int i) {
            works.add({"01/01/2099", "Engrais", "append " + std::to_string(i)});
        });
        measure("insert a line dated before all others", [&](int i) {
            works.add({"01/01/1900", "Engrais", "early " + std::to_string(i)});
        });
        measure("change the first line's date (re-sort)", [&](int i) {
            const WorksLine first = works.readLine(0);
            works.change(0, {"15/06/2005", first.type, first.comment + std::to_string(i)},
                         first.date);
        });
        measure("remove the first line", [&](int) { works.remove(0); });
        std::printf("lines at the end: %zu\n", works.count());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        status = 1;
    }
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
    return status;
}
