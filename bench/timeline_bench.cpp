// Times the growth timeline of a tree with 999 photos (600 x 450 stored JPEGs spread over 26
// years) and 300 works lines, as its window uses the core:
//   - opening: card, gallery and works log read, the zoom that fits the view, the layout, and
//     the thumbnails of the first view decoded (reduced) and fitted;
//   - scrolling: one view width further each time, decoding only the photos that came into
//     view;
//   - zooming: one wheel notch after another over the whole zoom range, laid out anew each time;
//   - one thumbnail decoded in full and then fitted, to show what reduced decoding saves.
// Usage: timeline_bench [parent folder] (default: the system's temporary folder). The data
// folder is built in a fresh folder there and removed at the end.
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "photos/growth_sources.h"
#include "support/growth_records.h"

using namespace tavo;
namespace fs = std::filesystem;
using Timer = std::chrono::steady_clock;

namespace {

constexpr int kPhotos = 999;
constexpr int kWorks = 300;
constexpr int kRuns = 5;
constexpr int kViewWidth = 1280;
constexpr int kThumbnailSide = 112;

double cpuMs() {
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

struct Figure {
    double wall = 0, cpu = 0;
};

template <typename F>
Figure measure(F&& step) {
    const auto wall = Timer::now();
    const double cpu = cpuMs();
    step();
    return {std::chrono::duration<double, std::milli>(Timer::now() - wall).count(), cpuMs() - cpu};
}

void report(const char* what, std::vector<Figure> figures) {
    std::sort(figures.begin(), figures.end(),
              [](const Figure& a, const Figure& b) { return a.wall < b.wall; });
    const Figure& median = figures[figures.size() / 2];
    std::printf("%-44s wall: median %7.2f ms, slowest %7.2f ms; processor: median %7.2f ms\n", what,
                median.wall, figures.back().wall, median.cpu);
}

std::string dateOf(int n, int count, int firstYear, int years) {
    // Spread evenly over the years; 28 days a month keeps every date valid.
    const int day = static_cast<int>(static_cast<long long>(n) * years * 336 / count);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", day % 28 + 1, day / 28 % 12 + 1,
                  firstYear + day / 336);
    return buf;
}

// Decodes the thumbnails of the photos in the band that are not decoded yet.
int decodeBand(const DataPaths& data, const Timeline& t, const TimelineLayout& l,
               const TimelineGeometry& g, int left, std::set<std::size_t>& done) {
    const auto [first, last] = photosInBand(l, g.cardWidth, left, left + kViewWidth);
    int decoded = 0;
    for (std::size_t i = first; i < last; ++i) {
        if (!done.insert(i).second) continue;
        const Image thumb =
            timelineThumbnail(data, test::kGrowthTreeId, t.photos[i].record, kThumbnailSide);
        decoded += thumb.empty() ? 0 : 1;
    }
    return decoded;
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path parent = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path();
    std::string pattern = (parent / "tavo-timeline-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path root = pattern;
#ifdef NDEBUG
    std::printf("build: optimized\n");
#else
    std::printf("build: not optimized (configure with -DCMAKE_BUILD_TYPE=Release for speed)\n");
#endif

    int status = 0;
    try {
        std::vector<std::string> photoDates, worksDates;
        for (int i = 0; i < kPhotos; ++i) photoDates.push_back(dateOf(i, kPhotos, 1999, 26));
        for (int i = 0; i < kWorks; ++i) worksDates.push_back(dateOf(i, kWorks, 1999, 26));
        Image photo(600, 450, Rgb{60, 120, 40});
        for (int y = 0; y < 450; ++y)
            for (int x = 0; x < 600; ++x)
                if ((x / 40 + y / 30) % 2) photo.setPixel(x, y, Rgb{200, 180, 90});
        test::writeGrowthTree(root, test::acquiredCard("01/03/1999", "12", true), photoDates,
                              worksDates, photo);
        const DataPaths data{root};
        std::printf("tree: %d photos of 600 x 450, %d works lines, 1999 to 2024; view %d px\n",
                    kPhotos, kWorks, kViewWidth);

        TimelineGeometry g;
        std::vector<Figure> open, scroll, zoom;
        std::size_t firstView = 0;
        for (int run = 0; run < kRuns; ++run) {
            open.push_back(measure([&] {
                const Timeline t = readTimeline(data, test::kGrowthTreeId);
                g.pixelsPerDay = fitZoom(t, kViewWidth, g);
                const TimelineLayout l = layoutTimeline(t, g);
                std::set<std::size_t> done;
                firstView = decodeBand(data, t, l, g, 0, done);
            }));
        }
        report("open (read, lay out, first view's thumbnails)", open);
        std::printf("  photos decoded for the first view: %zu\n", firstView);

        const Timeline t = readTimeline(data, test::kGrowthTreeId);
        g.pixelsPerDay = 0.5;
        const TimelineLayout l = layoutTimeline(t, g);
        std::set<std::size_t> done;
        int steps = 0;
        for (int left = 0; left < l.width; left += kViewWidth / 2, ++steps)
            scroll.push_back(measure([&] { decodeBand(data, t, l, g, left, done); }));
        report("scroll half a view at 0.5 px/day", scroll);
        std::printf("  %d steps over a strip of %d px, %zu photos decoded in all\n", steps, l.width,
                    done.size());

        long long strip = 0;  // used, so the layouts are not optimized away
        for (double z = kMinPixelsPerDay; z < kMaxPixelsPerDay; z = zoomBy(z, 1)) {
            g.pixelsPerDay = z;
            zoom.push_back(measure([&] { strip += layoutTimeline(t, g).width; }));
        }
        report("lay out again after one zoom notch", zoom);
        std::printf("  %zu notches, strips of %lld px in all\n", zoom.size(), strip);

        std::vector<Figure> reduced, full;
        for (int run = 0; run < 20; ++run) {
            const PhotoRecord& r = t.photos[static_cast<std::size_t>(run)].record;
            reduced.push_back(
                measure([&] { (void)timelineThumbnail(data, test::kGrowthTreeId, r, 112); }));
            full.push_back(measure(
                [&] { (void)boxFit(galleryPhoto(data, test::kGrowthTreeId, r), kThumbnailSide); }));
        }
        report("one thumbnail, reduced decoding", reduced);
        report("one thumbnail, full decoding", full);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "timeline_bench: %s\n", e.what());
        status = 1;
    }
    std::error_code ec;
    fs::remove_all(root, ec);
    return status;
}
