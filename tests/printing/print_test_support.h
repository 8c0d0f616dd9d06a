#pragma once
// A tree made with the core functions, and the poppler tools that read the PDF pages back.
#include <QProcess>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <string>
#include <vector>

#include "cards/card_file.h"
#include "imaging/imaging.h"
#include "support/cards.h"
#include "works/works_file.h"

namespace tavo::test {

inline const std::string kTreeId = "26034140509042";

inline TreeCard printCard() {
    TreeCard c = sampleCard();
    c.provenance = "Pépinière Kaede";
    c.price = "45";
    c.notes = "Rempotage prévu au printemps.";
    c.reserved = "caché";
    return c;
}

// Added out of date order on purpose: the file keeps them sorted by date.
inline std::vector<WorksLine> printWorks() {
    return {{"15/06/2021", "Taille", "branches basses"},
            {"01/03/2020", "Rempotage", "terre akadama"},
            {"20/09/2022", "Ligature", ""},
            {"02/02/2023", "", "observation"}};
}

// The works lines as they print, in file (date) order.
inline std::vector<std::string> printedWorks() {
    return {"01/03/2020 *** Rempotage *** terre akadama",
            "15/06/2021 *** Taille *** branches basses", "20/09/2022 *** Ligature *** ",
            "02/02/2023 ***  *** observation"};
}

// The reference photo: 120 x 159, red on its upper half and blue below.
inline Image printPhoto() {
    Image img(120, 159, Rgb{220, 20, 20});
    for (int y = 80; y < 159; ++y)
        for (int x = 0; x < 120; ++x) img.setPixel(x, y, Rgb{20, 20, 220});
    return img;
}

// Card, works log and reference photo of `id` in the data folder `root`.
inline void makePrintableTree(const std::filesystem::path& root, const std::string& id = kTreeId) {
    const DataPaths data{root};
    for (const auto& d : {data.fiches(), data.galeries(), data.imgref()})
        std::filesystem::create_directories(d);
    createCard(data, id, printCard());
    createEmptyTreeFiles(data, id);
    WorksFile works(data, id);
    for (const auto& line : printWorks()) works.add(line);
    saveJpeg(printPhoto(), data.referencePhoto(id));
}

// Runs a tool and returns its standard output; empty when it could not run.
inline QString runTool(const QString& program, const QStringList& args, int* exitCode = nullptr) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000)) {
        if (exitCode) *exitCode = -1;
        return {};
    }
    if (exitCode) *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The text of a PDF, ligatures (the font's "fi") spelled out.
inline QString pdfText(const std::filesystem::path& pdf) {
    return runTool("pdftotext", {"-layout", QString::fromStdString(pdf.string()), "-"})
        .normalized(QString::NormalizationForm_KC);
}

// Number of pages, from pdfinfo; -1 when unreadable.
inline int pdfPages(const std::filesystem::path& pdf) {
    const QString info = runTool("pdfinfo", {QString::fromStdString(pdf.string())});
    for (const QString& line : info.split('\n'))
        if (line.startsWith("Pages:")) return line.mid(6).trimmed().toInt();
    return -1;
}

// The non-empty lines of a text, trimmed.
inline std::vector<QString> textLines(const QString& text) {
    std::vector<QString> out;
    for (const QString& line : text.split('\n')) {
        const QString t = line.trimmed();
        if (!t.isEmpty()) out.push_back(t);
    }
    return out;
}

// Index of the first line at or after `from` that contains `part`; -1 when none.
inline int findLine(const std::vector<QString>& lines, const QString& part, int from = 0) {
    for (int i = from; i < static_cast<int>(lines.size()); ++i)
        if (lines[i].contains(part)) return i;
    return -1;
}

}  // namespace tavo::test
