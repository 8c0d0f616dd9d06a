// Times the care plan of a collection of 1,000 trees with 100 works lines each (goal: under
// 100 ms to compute). Usage: care_bench [parent folder] (default: the system's temporary folder;
// the collection is built there by the program's own writers and removed at the end). Reading
// the files and computing the plan are timed apart, several runs each; median and slowest shown.
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "cards/card_file.h"
#include "care/care_collection.h"
#include "care/care_plan.h"
#include "common/file_io.h"

using namespace tavo;
using namespace std::chrono;

namespace {

constexpr int kTrees = 1000;
constexpr int kLinesPerTree = 100;
constexpr int kRuns = 7;

const char* const kTypes[] = {"Taille",  "Rempotage", "Ligature",
                              "Engrais", "Pincement", "Traitement préventif"};

void buildCollection(const DataPaths& data) {
    for (const char* d : {"FICHES", "GALERIES", "IMGREF"})
        std::filesystem::create_directories(data.root / d);
    for (int t = 0; t < kTrees; ++t) {
        char id[16];
        std::snprintf(id, sizeof id, "24%03d%09d", t % 366 + 1, t);
        TreeCard card;
        card.treeName = "Arbre " + std::to_string(t);
        card.ageEstimated = "N";
        createCard(data, id, card);
        Bytes log;
        Day day = Day{2008y / January / 1} + days{t % 50};
        for (int i = 0; i < kLinesPerTree; ++i) {
            day += days{20 + (i * 7 + t) % 90};  // ascending, irregular gaps
            const Bytes r =
                encodeWorksLine({dayText(day), kTypes[(i + t) % 6], "Ligne " + std::to_string(i)});
            log.insert(log.end(), r.begin(), r.end());
        }
        io::writeFile(data.works(id), log);
    }
}

double cpuMs() {
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Wall time and the process's own CPU time: on a busy machine the second is the fair figure.
void time(const char* what, const std::function<void()>& run) {
    std::vector<double> wall, cpu;
    for (int i = 0; i < kRuns; ++i) {
        const auto start = steady_clock::now();
        const double cpuStart = cpuMs();
        run();
        cpu.push_back(cpuMs() - cpuStart);
        wall.push_back(duration<double, std::milli>(steady_clock::now() - start).count());
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    std::printf("%-28s wall median %8.2f ms, slowest %8.2f ms; CPU median %8.2f ms\n", what,
                wall[wall.size() / 2], wall.back(), cpu[cpu.size() / 2]);
}

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path parent =
        argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::temp_directory_path();
    std::string folder = (parent / "tavo-care-bench-XXXXXX").string();
    if (!::mkdtemp(folder.data())) {
        std::perror("mkdtemp");
        return 2;
    }
    const DataPaths data{folder};
    buildCollection(data);
    std::printf("%d trees x %d works lines\n", kTrees, kLinesPerTree);

    CollectionLogs logs;
    time("read cards and works logs", [&] { logs = readCollectionLogs(data); });
    const Day today{2026y / June / 1};
    std::size_t items = 0;
    time("compute the care plan", [&] { items = computeCarePlan(logs.trees, today).items.size(); });
    time("read and compute, due list", [&] {
        const auto plan = computeCarePlan(readCollectionLogs(data).trees, today);
        items = dueWithin(plan, today).size();
    });
    std::printf("%zu items due or soon\n", items);
    std::filesystem::remove_all(folder);
    return 0;
}
