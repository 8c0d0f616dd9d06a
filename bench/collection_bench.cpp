// Times the collection index and search on a data folder made by scripts/make-big-collection.
// Usage: collection_bench FOLDER
//        collection_bench FOLDER --search WORDS...   (the command-line search, as one process)
// Shows the index build (first and median), the memory the index takes, each keystroke of a
// typed search (filter, sort, footer and the excerpts of the rows a window shows at once), and
// the whole search run as a separate process.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "collection/collection_index.h"
#include "collection/collection_table.h"
#include "collection/search_output.h"

using namespace tavo;

namespace {

using Timer = std::chrono::steady_clock;

// CPU time of this process, in ms: on a busy machine it tells the work done apart from the
// waiting.
double cpuMs() {
    timespec ts{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

double msSince(Timer::time_point t0) {
    return std::chrono::duration<double, std::milli>(Timer::now() - t0).count();
}

// Resident memory of this process, in MB.
double residentMb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / 1e6;
}

void report(const char* name, std::vector<double> ms, double limit) {
    std::sort(ms.begin(), ms.end());
    std::printf("%-44s median %8.2f ms   slowest %8.2f ms   (limit %.0f ms) %s\n", name,
                ms[ms.size() / 2], ms.back(), limit, ms.back() <= limit ? "ok" : "TOO SLOW");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: collection_bench FOLDER [--search WORDS...]\n");
        return 2;
    }
    const DataPaths data{argv[1]};
    try {
        if (argc > 2 && std::strcmp(argv[2], "--search") == 0)
            return runSearch(data, std::vector<std::string>(argv + 3, argv + argc), false,
                             std::cout, [](const std::string& line) { std::cerr << line << "\n"; });

        const double before = residentMb();
        auto t0 = Timer::now();
        double c0 = cpuMs();
        CollectionIndex index = CollectionIndex::build(data);
        const double first = msSince(t0), firstCpu = cpuMs() - c0;
        const double memory = residentMb() - before;
        std::size_t works = 0, photos = 0;
        for (const TreeEntry& t : index.trees()) {
            works += t.worksCount;
            photos += t.photoCount;
        }
        std::printf("%zu trees, %zu works lines, %zu photo records in %s\n", index.trees().size(),
                    works, photos, argv[1]);
        std::printf("%-44s %8.2f ms   cpu %8.2f ms   (limit 300 ms) %s\n", "index build, first",
                    first, firstCpu, first <= 300 ? "ok" : "TOO SLOW");
        std::vector<double> builds, buildsCpu;
        for (int i = 0; i < 5; ++i) {
            t0 = Timer::now();
            c0 = cpuMs();
            index = CollectionIndex::build(data);
            builds.push_back(msSince(t0));
            buildsCpu.push_back(cpuMs() - c0);
        }
        report("index build, again", builds, 300);
        report("index build, again (cpu)", buildsCpu, 300);
        std::printf("%-44s %8.1f MB\n", "memory taken by the index", memory);

        // Typing a search letter by letter, as the window does it: the table is sorted once,
        // each keystroke filters (among the trees already found while the search narrows),
        // adds up the footer and makes the excerpts of the ~30 rows in sight.
        const LocalTime today = localNow();
        const std::vector<std::size_t> sorted =
            sortRows(index.trees(), index.filter({}), Column::TreeName, true, today);
        for (const std::string typed : {"erable fontainebleau", "ligature branches basses",
                                        "akadama pucerons printemps", "zzz"}) {
            std::vector<double> keys, keysCpu;
            std::vector<std::string> before;
            std::vector<std::size_t> rows = sorted;
            for (std::size_t n = 1; n <= typed.size(); ++n) {
                t0 = Timer::now();
                c0 = cpuMs();
                const auto words = searchWords(typed.substr(0, n));
                rows = index.filter(words, narrows(before, words) ? rows : sorted);
                before = words;
                const Totals footer = totals(index.trees(), rows);
                for (std::size_t r = 0; r < rows.size() && r < 30; ++r)
                    (void)bestMatch(index.trees()[rows[r]], words);
                keys.push_back(msSince(t0));
                keysCpu.push_back(cpuMs() - c0);
                (void)footer;
            }
            const std::string name =
                "keystroke, \"" + typed + "\" (" + std::to_string(rows.size()) + " found)";
            report(name.c_str(), keys, 20);
            report("  (cpu)", keysCpu, 20);
            // The worst single keystroke: the whole search at once (a paste, a deleted letter).
            std::vector<double> whole;
            for (int i = 0; i < 5; ++i) {
                c0 = cpuMs();
                const auto words = searchWords(typed);
                const auto found = index.filter(words, sorted);
                for (std::size_t r = 0; r < found.size() && r < 30; ++r)
                    (void)bestMatch(index.trees()[found[r]], words);
                whole.push_back(cpuMs() - c0);
            }
            report("  whole search at once (cpu)", whole, 20);
        }

        // The command-line search as a whole process (start, read the folder, print).
        std::vector<double> runs, runsCpu;
        for (int i = 0; i < 3; ++i) {
            std::fflush(stdout);
            t0 = Timer::now();
            const pid_t child = ::fork();
            if (child == 0) {
                if (!std::freopen("/dev/null", "w", stdout)) ::_exit(3);
                ::execl("/proc/self/exe", argv[0], argv[1], "--search", "ligature", "basses",
                        static_cast<char*>(nullptr));
                ::_exit(3);
            }
            int status = 0;
            rusage usage{};
            ::wait4(child, &status, 0, &usage);
            runs.push_back(msSince(t0));
            const auto ms = [](const timeval& t) {
                return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
            };
            runsCpu.push_back(ms(usage.ru_utime) + ms(usage.ru_stime));
            if (!WIFEXITED(status) || WEXITSTATUS(status) > 1) {
                std::fprintf(stderr, "the search process failed\n");
                return 1;
            }
        }
        report("search \"ligature basses\", whole process", runs, 500);
        report("  (cpu)", runsCpu, 500);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
