#include "photos/ui/compare_window.h"

#include <QCheckBox>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QSlider>
#include <algorithm>

#include "common/dates.h"
#include "common/errors.h"
#include "photos/growth_sources.h"
#include "photos/ui/compare_view.h"
#include "ui_kit/app.h"
#include "ui_kit/busy_cursor.h"
#include "ui_kit/controls.h"
#include "ui_kit/qt_text.h"

namespace tavo {

namespace {

std::filesystem::path targetName(const QPrinter& printer) {
    return toPath(printer.outputFileName().isEmpty() ? printer.printerName()
                                                     : printer.outputFileName());
}

QImage toQImage(const Image& image) {
    if (image.empty()) return {};
    return QImage(image.data(), image.width, image.height, static_cast<qsizetype>(image.stride()),
                  QImage::Format_RGB888)
        .copy();
}

}  // namespace

CompareWindow::CompareWindow(App& app)
    : TavoDialog(app, "CompareWindow", 2100, QStringLiteral("Avant et après")) {
    setClientSize(800, 600);

    I_Comparaison =
        placeControl(new CompareView(this), "I_Comparaison", 0, QString(), {12, 12, 776, 440});
    L_Avant = makeLabel(this, "L_Avant", 0, QString(), {12, 458, 380, 56});
    L_Apres = makeLabel(this, "L_Apres", 0, QString(), {408, 458, 380, 56});
    for (QLabel* l : {L_Avant, L_Apres}) {
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    ChB_Curseur = makeCheckBox(this, "ChB_Curseur", 2101, QStringLiteral("Curseur"),
                               QStringLiteral("Superpose les deux photos et dévoile la plus "
                                              "récente avec le curseur."),
                               {12, 522, 180, 22});
    SB_Curseur = placeControl(new QSlider(Qt::Horizontal, this), "SB_Curseur", 0, QString(),
                              {200, 522, 588, 22});
    SB_Curseur->setRange(0, 1000);
    SB_Curseur->setValue(500);
    SB_Curseur->setEnabled(false);

    B_Precedente =
        makeButton(this, "B_Precedente", 2102, QStringLiteral("< Précédentes"),
                   QStringLiteral("Les deux photos d'avant (flèche gauche)."), {12, 558, 130, 30});
    B_Suivante =
        makeButton(this, "B_Suivante", 2103, QStringLiteral("Suivantes >"),
                   QStringLiteral("Les deux photos d'après (flèche droite)."), {150, 558, 130, 30});
    B_Imprimer = makeButton(this, "B_Imprimer", 2104, QStringLiteral("Imprimer"),
                            QStringLiteral("Imprime les deux photos sur l'imprimante par défaut."),
                            {400, 558, 120, 30});
    B_Enregistrer = makeButton(this, "B_Enregistrer", 2105, QStringLiteral("Enregistrer en JPEG"),
                               QStringLiteral("Enregistre les deux photos et leurs légendes dans "
                                              "une seule image JPEG."),
                               {528, 558, 160, 30});
    B_Fermer =
        makeButton(this, "B_Fermer", 2106, QStringLiteral("Fermer"), QString(), {696, 558, 92, 30});

    auto on = [this](auto* control, auto signal, void (CompareWindow::*handler)()) {
        connect(control, signal, this, guarded([this, handler] { (this->*handler)(); }));
    };
    on(B_Precedente, &QPushButton::clicked, &CompareWindow::B_PrecedenteClick);
    on(B_Suivante, &QPushButton::clicked, &CompareWindow::B_SuivanteClick);
    on(ChB_Curseur, &QCheckBox::clicked, &CompareWindow::ChB_CurseurClick);
    on(B_Imprimer, &QPushButton::clicked, &CompareWindow::B_ImprimerClick);
    on(B_Enregistrer, &QPushButton::clicked, &CompareWindow::B_EnregistrerClick);
    connect(B_Fermer, &QPushButton::clicked, this, &QDialog::reject);
    connect(SB_Curseur, &QSlider::valueChanged, I_Comparaison, &CompareView::setReveal);
}

void CompareWindow::setPair(Timeline timeline, ComparePair pair) {
    timeline_ = std::move(timeline);
    pair_ = pair;
}

QStringList CompareWindow::captionOf(const TimelinePhoto& photo) const {
    QStringList lines{toQString(photo.record.date)};
    if (photo.age)
        lines << toQString(ageText(*photo.age, toUtf8String(app_.msg(Msg::Year)),
                                   toUtf8String(app_.msg(Msg::Years))));
    if (!photo.record.comment.empty()) lines << toQString(photo.record.comment);
    return lines;
}

void CompareWindow::FormActivate() {
    const std::size_t count = timeline_.photos.size();
    if (pair_.later >= count || pair_.earlier >= pair_.later) {
        earlier_ = later_ = Image();
        I_Comparaison->setPhotos({}, {});
        return;
    }
    const TimelinePhoto& a = timeline_.photos[pair_.earlier];
    const TimelinePhoto& b = timeline_.photos[pair_.later];
    L_Avant->setText(captionOf(a).join(QLatin1Char('\n')));
    L_Apres->setText(captionOf(b).join(QLatin1Char('\n')));
    B_Precedente->setEnabled(pair_.earlier > 0);
    B_Suivante->setEnabled(pair_.later + 1 < count);
    {
        BusyCursor busy;
        const DataPaths data = app_.data();
        const std::string& id = app_.session.openTreeId;
        earlier_ = later_ = Image();
        earlier_ = galleryPhoto(data, id, a.record);
        later_ = galleryPhoto(data, id, b.record);
    }
    I_Comparaison->setPhotos(toQImage(earlier_), toQImage(later_));
    placeCaptions();
}

void CompareWindow::placeCaptions() {
    const QRect view = I_Comparaison->geometry();
    const QRect first = I_Comparaison->earlierRect();
    const QRect second = I_Comparaison->laterRect();
    const int top = L_Avant->y(), height = L_Avant->height();
    if (I_Comparaison->sliderMode() || first.isEmpty() || second.isEmpty()) {
        L_Avant->setGeometry(12, top, 380, height);
        L_Apres->setGeometry(408, top, 380, height);
        return;
    }
    // A narrow photo still gets room for its date and age.
    const int minimum = 120;
    L_Avant->setGeometry(view.x() + first.x(), top, std::max(minimum, first.width()), height);
    L_Apres->setGeometry(
        view.x() + second.x(), top,
        std::max(minimum, std::min(second.width(), width() - view.x() - second.x() - 12)), height);
}

void CompareWindow::step(int direction) {
    const ComparePair next = stepComparePair(pair_, direction, timeline_.photos.size());
    if (next == pair_) return;
    pair_ = next;
    FormActivate();
}

void CompareWindow::B_PrecedenteClick() {
    step(-1);
}

void CompareWindow::B_SuivanteClick() {
    step(+1);
}

void CompareWindow::ChB_CurseurClick() {
    I_Comparaison->setSliderMode(ChB_Curseur->isChecked());
    placeCaptions();
    SB_Curseur->setEnabled(ChB_Curseur->isChecked());
}

bool CompareWindow::FormKeyPress(QKeyEvent* event) {
    if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) {
        app_.guard(this, [this, event] { step(event->key() == Qt::Key_Left ? -1 : +1); });
        return true;
    }
    return TavoDialog::FormKeyPress(event);
}

Image CompareWindow::pairPicture() const {
    if (earlier_.empty() || later_.empty())
        throw RefusedError("There is no pair of photos to save.");
    QFont font = this->font();
    font.setPixelSize(16);
    return thenAndNowPicture(earlier_, later_, captionOf(timeline_.photos[pair_.earlier]),
                             captionOf(timeline_.photos[pair_.later]), font);
}

void CompareWindow::B_EnregistrerClick() {
    const Image picture = pairPicture();
    const QString name =
        QStringLiteral("%1-%2-%3.jpg")
            .arg(toQString(app_.session.openTreeId),
                 toQString(sortableDateKey(timeline_.photos[pair_.earlier].record.date)),
                 toQString(sortableDateKey(timeline_.photos[pair_.later].record.date)));
    const QString path = app_.ui.savePicture(this, app_.msg(Msg::SaveComparison), name);
    if (path.isEmpty()) return;
    BusyCursor busy;
    saveJpeg(picture, toPath(path));
}

void CompareWindow::B_ImprimerClick() {
    const QStringList printers = app_.ui.printers();
    if (printers.isEmpty()) {
        app_.ui.message(this, app_.msg(Msg::NoPrinter));
        return;
    }
    const Image picture = pairPicture();
    BusyCursor busy;
    QPrinter printer(QPrinter::HighResolution);
    const QString fallback = app_.ui.defaultPrinter();
    app_.ui.targetPrinter(printer, fallback.isEmpty() ? printers.front() : fallback);
    printer.setDocName(QStringLiteral("Tavo %1").arg(toQString(app_.session.openTreeId)));
    QPainter painter;
    if (!painter.begin(&printer)) throw IoError("start the print document on", targetName(printer));
    // The picture across the page width, a margin of a twentieth around it.
    const int margin = std::min(printer.width(), printer.height()) / 20;
    const QImage image = toQImage(picture);
    const QSize size = image.size().scaled(printer.width() - 2 * margin,
                                           printer.height() - 2 * margin, Qt::KeepAspectRatio);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(QPoint(margin, margin), size), image);
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        throw IoError("send the page to", targetName(printer));
}

}  // namespace tavo
