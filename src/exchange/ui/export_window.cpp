#include "exchange/ui/export_window.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include "ui_kit/app.h"
#include "ui_kit/controls.h"
#include "ui_kit/qt_text.h"
#include "ui_kit/translator.h"

namespace tavo {

namespace fs = std::filesystem;

ExportWindow::ExportWindow(App& app)
    : ExchangeDialog(app, "ExportWindow", 1900, QStringLiteral("Exporter la collection")) {
    setClientSize(560, 250);
    L_Dossier =
        makeLabel(this, "L_Dossier", 1901,
                  QStringLiteral("Dossier de destination (nouveau ou vide) :"), {16, 12, 528, 20});
    // Typed for a folder still to be made, or chosen with the browser.
    E_Dossier = makeEdit(this, "E_Dossier", 1902, QString(), 0, {16, 36, 412, 26});
    B_Parcourir = makeButton(this, "B_Parcourir", 1903, QStringLiteral("Parcourir..."), QString(),
                             {436, 35, 108, 28});
    GB_Format = makeGroup(this, "GB_Format", 1904, QStringLiteral("Format"), {16, 72, 528, 100});
    RB_Html =
        placeControl(new QRadioButton(GB_Format), "RB_Html", 1905, QString(), {12, 22, 504, 22});
    RB_Html->setText(QStringLiteral("Album HTML (pages web avec les photos)"));
    RB_Csv =
        placeControl(new QRadioButton(GB_Format), "RB_Csv", 1906, QString(), {12, 46, 504, 22});
    RB_Csv->setText(QStringLiteral("Tableaux CSV (pour un tableur)"));
    RB_Json =
        placeControl(new QRadioButton(GB_Format), "RB_Json", 1907, QString(), {12, 70, 504, 22});
    RB_Json->setText(QStringLiteral("Document JSON (réimportable)"));
    RB_Html->setChecked(true);
    PB_Progression =
        placeControl(new QProgressBar(this), "PB_Progression", 0, QString(), {16, 182, 528, 18});
    B_Exporter = makeButton(this, "B_Exporter", 1908, QStringLiteral("Exporter"), QString(),
                            {166, 210, 110, 30});
    B_Annuler = makeButton(this, "B_Annuler", 1909, QStringLiteral("Annuler"), QString(),
                           {284, 210, 110, 30});
    progressBar_ = PB_Progression;
    cancelButton_ = B_Annuler;
    inputs_ = {E_Dossier, B_Parcourir, GB_Format, B_Exporter};
    setTabOrder(E_Dossier, B_Parcourir);
    setTabOrder(B_Parcourir, RB_Html);
    setTabOrder(RB_Html, B_Exporter);
    setTabOrder(B_Exporter, B_Annuler);

    connect(E_Dossier, &QLineEdit::textChanged, this,
            [this](const QString& text) { B_Exporter->setEnabled(!text.trimmed().isEmpty()); });
    connect(E_Dossier, &QLineEdit::returnPressed, B_Exporter, &QPushButton::click);
    onClick(B_Parcourir, [this] { B_ParcourirClick(); });
    onClick(B_Exporter, [this] { B_ExporterClick(); });
    connect(B_Annuler, &QPushButton::clicked, this, &ExportWindow::reject);
}

void ExportWindow::FormActivate() {
    // A destination is used once: the next export needs a new or empty folder again.
    E_Dossier->clear();
    B_Exporter->setEnabled(false);
    PB_Progression->setRange(0, 1);
    PB_Progression->setValue(0);
    E_Dossier->setFocus();
}

void ExportWindow::B_ParcourirClick() {
    const QString chosen =
        app_.ui.browseFolder(this, app_.msg(Msg::ChooseExportFolder), E_Dossier->text().trimmed());
    if (!chosen.isEmpty()) E_Dossier->setText(chosen);
}

Format ExportWindow::format() const {
    if (RB_Csv->isChecked()) return Format::Csv;
    if (RB_Json->isChecked()) return Format::Json;
    return Format::Html;
}

AlbumLabels ExportWindow::labels() const {
    // The album speaks the interface language; a text missing there keeps its default.
    LanguageTable table;
    table.load(app_.data().languageFile(app_.session.languageName));
    const QString locale = app_.translator ? app_.translator->Locale() : QString();
    const std::string code = locale.isEmpty() ? "fr" : toUtf8String(locale.section('_', 0, 0));
    return albumLabels(table, code);
}

void ExportWindow::B_ExporterClick() {
    const fs::path out = folderOf(E_Dossier->text());
    if (out.empty() || !acceptsFolder(out)) return;
    ExportOptions options;
    options.format = format();
    options.labels = labels();
    options.today = today;
    options.progress = progress();
    ExportResult result;
    {
        Run run(*this);
        result = exportCollection(app_.data(), out, options);
    }
    if (result.cancelled) {
        PB_Progression->setValue(0);
        app_.ui.message(this, app_.msg(Msg::ExportCancelled).arg(toQString(out)));
        return;
    }
    // The tables name the photos but carry none of them.
    QString text =
        options.format == Format::Csv
            ? app_.msg(Msg::ExportedWithoutPhotos).arg(toQString(out)).arg(result.trees)
            : app_.msg(Msg::Exported).arg(toQString(out)).arg(result.trees).arg(result.photos);
    if (!result.warnings.empty()) {
        text += QStringLiteral("\n\n") + app_.msg(Msg::NotCarriedOverExactly);
        // A box stays readable: the first few, then how many more.
        const std::size_t shown = std::min<std::size_t>(result.warnings.size(), 8);
        for (std::size_t i = 0; i < shown; ++i)
            text += QStringLiteral("\n") + toQString(result.warnings[i]);
        if (result.warnings.size() > shown)
            text += QStringLiteral("\n(+%1)").arg(result.warnings.size() - shown);
    }
    if (options.format == Format::Html) {
        if (app_.ui.question(this,
                             text + QStringLiteral("\n\n") + app_.msg(Msg::OpenAlbumInBrowser)))
            app_.ui.openDocument(toQString(out / "index.html"));
    } else {
        app_.ui.message(this, text);
    }
    accept();
}

}  // namespace tavo
