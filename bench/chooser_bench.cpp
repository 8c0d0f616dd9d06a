// Times the tree chooser on a large collection: 1,000 reference photos of 159 x 159 pixels,
// from the showing of the window to every thumbnail drawn. Prints its figures.
// Runs on any Qt platform; QT_QPA_PLATFORM=offscreen needs no display.
#include <unistd.h>
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/program.h"
#include "cards/ui/thumbnail_chooser.h"
#include "imaging/imaging.h"

using namespace tavo;
namespace fs = std::filesystem;

namespace {

// Counts the boxes instead of showing them; a box would stop the run.
class CountingSeam : public UiSeam {
  public:
    int boxes = 0;
    void message(QWidget*, const QString&) override { ++boxes; }
    void warning(QWidget*, const QString&, const QString&) override { ++boxes; }
    bool question(QWidget*, const QString&) override { return ++boxes, false; }
    int choose(QWidget*, const QString&, const QStringList&) override { return ++boxes, -1; }
    void error(QWidget*, const QString& text) override {
        ++boxes;
        std::fprintf(stderr, "error box: %s\n", text.toUtf8().constData());
    }
    QString browseFolder(QWidget*, const QString&, const QString&) override { return {}; }
    QString openPicture(QWidget*, const QString&, const QString&) override { return {}; }
    QString savePicture(QWidget*, const QString&, const QString&) override { return {}; }
    QString saveFile(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString openFile(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    void openDocument(const QString&) override {}
    QStringList printers() override { return {}; }
    QString defaultPrinter() override { return {}; }
    void targetPrinter(QPrinter&, const QString&) override {}
    void pause(int) override {}
    int execModal(QDialog*) override { return 0; }
};

// Wall-clock time, and the processor time of this program alone: on a machine shared with
// other work the second shows what the chooser costs.
struct Stopwatch {
    std::chrono::steady_clock::time_point wall = std::chrono::steady_clock::now();
    std::clock_t cpu = std::clock();
    double wallMs() const {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wall)
            .count();
    }
    double cpuMs() const { return 1000.0 * double(std::clock() - cpu) / CLOCKS_PER_SEC; }
};

// The program's resident memory, in kilobytes (Linux).
long residentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return 0;
}

// A photo with detail everywhere, different for each tree.
Image referencePhoto(int n) {
    Image img(kReferencePhotoSide, kReferencePhotoSide);
    unsigned seed = static_cast<unsigned>(n) * 2654435761u + 1;
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            seed = seed * 1103515245 + 12345;
            const auto noise = static_cast<std::uint8_t>((seed >> 16) & 31);
            img.setPixel(x, y,
                         {static_cast<std::uint8_t>(x + n + noise),
                          static_cast<std::uint8_t>(y + 2 * n + noise),
                          static_cast<std::uint8_t>(n * 7 + noise)});
        }
    return img;
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000;

    std::string pattern = (fs::temp_directory_path() / "tavo-chooser-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) return 1;
    const fs::path folder = pattern;
    for (const char* d : {"FICHES", "GALERIES", "IMGREF"}) fs::create_directories(folder / d);
    Stopwatch making;
    for (int i = 0; i < count; ++i) {
        char id[16];
        std::snprintf(id, sizeof id, "26%012d", i);
        saveJpeg(referencePhoto(i), folder / "IMGREF" / (std::string(id) + ".JPG"));
    }
    std::printf("made %d reference photos of 159 x 159 in %.0f ms\n", count, making.wallMs());
    fs::current_path(folder);

    int code = 0;
    {
        QApplication application(argc, argv);
        CountingSeam ui;
        Program program(ui);
        TF_Vignette* chooser = program.windows().vignette;

        const long before = residentKb();
        for (int round = 1; round <= 3; ++round) {
            const Stopwatch watch;
            chooser->show();  // lists the photos, frames every thumbnail, fills those in view
            const double built = watch.wallMs();
            QApplication::processEvents();  // the window's first painting
            const double shown = watch.wallMs();
            while (!chooser->thumbnailsComplete()) QApplication::processEvents();
            const double filled = watch.wallMs();
            // Draw every thumbnail, not only those in view, as scrolling through all would.
            QImage cell(kChooserCell, kChooserCell, QImage::Format_RGB32);
            for (ThumbnailImage* thumb : chooser->thumbnails()) {
                QPainter painter(&cell);
                thumb->render(&painter);
            }
            const double drawn = watch.wallMs(), drawnCpu = watch.cpuMs();
            std::printf(
                "showing %d: %zu thumbnails; window up %.0f ms, painted %.0f ms; "
                "every photo in %.0f ms; all thumbnails drawn %.0f ms "
                "(processor time %.0f ms)\n",
                round, chooser->thumbnails().size(), built, shown, filled, drawn, drawnCpu);
            std::printf(
                "memory the chooser adds with every thumbnail filled: %.1f MB "
                "(target: under 30 MB for 1,000 trees)\n",
                double(residentKb() - before) / 1024.0);
            if (chooser->thumbnails().size() != static_cast<std::size_t>(count)) code = 1;
            chooser->reject();
        }
        std::printf("target: under 1000 ms with all thumbnails drawn; boxes shown: %d\n", ui.boxes);
    }
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(folder);
    return code;
}
