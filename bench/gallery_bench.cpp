// Times the gallery windows as the user meets them, on the offscreen platform:
//   - adding a photo from a 24-megapixel camera JPEG (6000 x 4000, with EXIF data): from the
//     click on "Ajouter" to the editor closing (stored photo decoded, fitted, encoded, written
//     and flushed, record inserted), and the "Parcourir" before it;
//   - showing the gallery viewer of 100 photos: from the main window's "Galerie" to the viewer
//     painted with its thumbnails.
//   - the same viewer when the 100 photos are 24-megapixel camera files put in by hand.
// Usage: gallery_bench [parent folder] (default: the system's temporary folder). The data folder
// is built in a fresh folder there and removed at the end.
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/program.h"
#include "cards/card_file.h"
#include "common/file_io.h"
#include "common/paths.h"
#include "imaging/exif_samples.h"
#include "imaging/imaging.h"
#include "photos/gallery_file.h"
#include "photos/ui/gallery_viewer.h"
#include "photos/ui/photo_editor.h"
#include "support/fake_ui_seam.h"

using namespace tavo;
namespace fs = std::filesystem;
using Timer = std::chrono::steady_clock;

namespace {

const std::string kTree = "20240101000000";
constexpr int kAdds = 5;
constexpr int kViewerPhotos = 100;
constexpr int kViewerRuns = 5;

// Wall-clock and processor time of one measured step: the machine may be shared, and the
// processor time shows the work itself whatever else runs.
struct Mark {
    Timer::time_point wall = Timer::now();
    double cpu = cpuMs();

    static double cpuMs() {
        timespec t{};
        ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
    }
};
struct Figure {
    double wall = 0, cpu = 0;
};
Figure since(const Mark& m) {
    return {std::chrono::duration<double, std::milli>(Timer::now() - m.wall).count(),
            Mark::cpuMs() - m.cpu};
}

// A picture with the smooth shapes and fine grain of a photo (a flat test card would decode far
// faster than anything a camera writes).
Image photoLike(int width, int height, unsigned seed) {
    Image img(width, height);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = img.data() + static_cast<std::size_t>(y) * img.stride();
        for (int x = 0; x < width; ++x) {
            seed = seed * 1103515245 + 12345;
            const int grain = static_cast<int>((seed >> 16) & 15);
            const int base =
                128 + static_cast<int>(60 * std::sin(x * 0.004 + seed % 3) * std::cos(y * 0.005)) +
                static_cast<int>(25 * std::sin((x + y) * 0.03));
            row[x * 3] = static_cast<std::uint8_t>(std::clamp(base + grain, 0, 255));
            row[x * 3 + 1] =
                static_cast<std::uint8_t>(std::clamp(base * 4 / 5 + 40 + grain, 0, 255));
            row[x * 3 + 2] = static_cast<std::uint8_t>(std::clamp(255 - base + grain, 0, 255));
        }
    }
    return img;
}

void copyTemplate(const fs::path& to) {
    const fs::path from = fs::path(TAVO_SOURCE_DIR) / "data";
    fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::skip_existing);
    for (const char* d : {"FICHES", "GALERIES", "IMGREF"}) fs::create_directories(to / d);
}

// A click on the button `name` of `window`, as the user makes it.
void click(const QObject* window, const char* name) {
    window->findChild<QPushButton*>(QString::fromLatin1(name))->click();
}

void report(const char* what, std::vector<Figure> f) {
    std::vector<double> wall, cpu;
    for (const Figure& x : f) {
        wall.push_back(x.wall);
        cpu.push_back(x.cpu);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    std::printf("%-40s wall: median %6.1f ms, slowest %6.1f ms; processor: median %6.1f ms\n", what,
                wall[wall.size() / 2], wall.back(), cpu[cpu.size() / 2]);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);

    const fs::path parent = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path();
    std::string pattern = (parent / "tavo-gallery-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path data = pattern;
    copyTemplate(data);
    const fs::path previous = fs::current_path();
    fs::current_path(data);

#ifdef __OPTIMIZE__
    std::printf("build: optimized\n");
#else
    std::printf("build: not optimized (configure with -DCMAKE_BUILD_TYPE=Release for speed)\n");
#endif
    int status = 0;
    {
        test::FakeUiSeam ui;
        Program program(ui);
        program.main().FormActivate();
        createCard(DataPaths{data}, kTree, TreeCard{});
        createEmptyTreeFiles(DataPaths{data}, kTree);
        program.session.openTreeId = kTree;
        program.main().treeOpened();
        TF_Photo& editor = *program.windows().photo;
        TF_Galerie& viewer = *program.windows().galerie;

        // The camera picture: 6000 x 4000 with an EXIF segment in front, as cameras write it.
        std::vector<std::uint8_t> jpeg = encodeJpeg(photoLike(6000, 4000, 7), 92);
        const auto exif = test::exif::app1(test::exif::typicalCamera(false).build());
        jpeg.insert(jpeg.begin() + 2, exif.begin(), exif.end());
        const fs::path camera = data / "IMG_0001.JPG";
        io::writeFile(camera, jpeg);
        std::printf("runs: %d adds, %d showings of the viewer\n", kAdds, kViewerRuns);
        std::printf("camera picture: 6000 x 4000 JPEG with EXIF, %.1f MB\n",
                    static_cast<double>(jpeg.size()) / 1e6);

        std::vector<Figure> browse, add;
        for (int i = 0; i < kAdds; ++i) {
            program.session.photoEditorMode = PhotoEditorMode::Add;
            ui.modal["TF_Photo"].push_back([&](QDialog*) {
                ui.pictures.push_back(QString::fromStdString(camera.string()));
                const Mark browsing;
                click(&editor, "B_Parcourir");
                browse.push_back(since(browsing));
                const Mark adding;
                click(&editor, "B_Ajouter");
                if (!editor.isVisible()) add.push_back(since(adding));
            });
            program.app.showModal(&editor);
        }
        if (add.size() != static_cast<std::size_t>(kAdds) || !ui.texts("error").empty()) {
            std::fprintf(stderr, "an add failed\n");
            status = 1;
        } else {
            report("\"Parcourir\" on the camera picture", browse);
            report("\"Ajouter\" until the editor closes", add);
        }

        // Fill the gallery up to 100 photos of the stored kind (600 pixels, quality 90).
        GalleryFile gallery(DataPaths{data}, kTree);
        for (int n = static_cast<int>(gallery.count()); n < kViewerPhotos; ++n) {
            const bool upright = n % 3 == 0;
            const auto stored =
                encodeJpeg(photoLike(upright ? 400 : 600, upright ? 600 : 400, 100u + n), 90);
            char date[16];
            std::snprintf(date, sizeof date, "%02d/%02d/20%02d", n % 28 + 1, n % 12 + 1, n % 20);
            commitNewPhoto(gallery, planNewPhoto(gallery, date, "photo"), stored);
        }
        std::vector<Figure> show;
        for (int i = 0; i < kViewerRuns; ++i) {
            const Mark showing;
            ui.modal["TF_Galerie"].push_back([&](QDialog* d) {
                d->repaint();
                show.push_back(since(showing));
            });
            click(&program.main(), "B_Evolution");
            QApplication::processEvents();  // frees the thumbnails of the last showing
        }
        if (viewer.thumbnails().size() != kViewerPhotos || !ui.texts("error").empty()) {
            std::fprintf(stderr, "the viewer did not show %d photos\n", kViewerPhotos);
            status = 1;
        } else {
            report("viewer of 100 photos, shown and painted", show);
        }

        // The same gallery with every photo put in by hand at full camera size: only the
        // thumbnails in view are decoded before the window shows.
        for (const PhotoRecord& r : gallery.readAll()) {
            fs::remove(gallery.photoPath(r));
            fs::create_hard_link(camera, gallery.photoPath(r));
        }
        std::vector<Figure> large;
        for (int i = 0; i < kViewerRuns; ++i) {
            const Mark showing;
            ui.modal["TF_Galerie"].push_back([&](QDialog* d) {
                d->repaint();
                large.push_back(since(showing));
                viewer.completeThumbnails();  // the rest, so the next showing starts afresh
            });
            click(&program.main(), "B_Evolution");
            QApplication::processEvents();
        }
        if (viewer.thumbnails().size() != kViewerPhotos || !ui.texts("error").empty()) {
            std::fprintf(stderr, "the viewer did not show %d camera-size photos\n", kViewerPhotos);
            status = 1;
        } else {
            report(
                "viewer of 100 camera-size photos put in by hand, shown and painted (target "
                "under 300 ms)",
                large);
        }
    }
    fs::current_path(previous);
    std::error_code ec;
    fs::remove_all(data, ec);
    return status;
}
