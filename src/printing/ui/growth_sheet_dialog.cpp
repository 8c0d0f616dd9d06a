#include "printing/ui/growth_sheet_dialog.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>

#include "photos/growth_sources.h"
#include "printing/ui/growth_sheet_print.h"
#include "ui_kit/app.h"
#include "ui_kit/busy_cursor.h"
#include "ui_kit/controls.h"
#include "ui_kit/qt_text.h"

namespace tavo {

GrowthSheetDialog::GrowthSheetDialog(App& app)
    : TavoDialog(app, "GrowthSheetDialog", 2120, QStringLiteral("Imprimer la croissance")) {
    setClientSize(380, 420);

    Label1 = makeLabel(this, "Label1", 2121, QStringLiteral("Imprimante :"), {12, 10, 356, 18});
    CB_Imprimante = makeCombo(this, "CB_Imprimante", 0, QString(), {12, 30, 356, 26});
    Label2 = makeLabel(this, "Label2", 2122, QStringLiteral("Photos à imprimer (12 au plus) :"),
                       {12, 66, 356, 18});
    LB_Photos = placeControl(new QListWidget(this), "LB_Photos", 0, QString(), {12, 86, 356, 260});
    L_Compte = makeLabel(this, "L_Compte", 0, QString(), {12, 350, 356, 18});
    Btn_Imprimer = makeButton(this, "Btn_Imprimer", 2123, QStringLiteral("Imprimer"), QString(),
                              {86, 378, 100, 30});
    Btn_Annuler = makeButton(this, "Btn_Annuler", 2124, QStringLiteral("Annuler"), QString(),
                             {194, 378, 100, 30});

    connect(LB_Photos, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        app_.guard(this, [this, item] { LB_PhotosItemChanged(item); });
    });
    onClick(Btn_Imprimer, [this] { Btn_ImprimerClick(); });
    connect(Btn_Annuler, &QPushButton::clicked, this, &QDialog::reject);
}

void GrowthSheetDialog::FormActivate() {
    CB_Imprimante->clear();
    const QStringList printers = app_.ui.printers();
    CB_Imprimante->addItems(printers);
    CB_Imprimante->setCurrentIndex(printers.indexOf(app_.ui.defaultPrinter()));

    const QSignalBlocker quiet(LB_Photos);
    LB_Photos->clear();
    timeline_ = readTimeline(app_.data(), app_.session.openTreeId);
    const std::vector<std::size_t> ticked = defaultSheetPhotos(timeline_);
    for (std::size_t i = 0; i < timeline_.photos.size(); ++i) {
        const TimelinePhoto& p = timeline_.photos[i];
        QString text = toQString(p.record.date);
        if (p.age)
            text +=
                QStringLiteral("  ") + toQString(ageText(*p.age, toUtf8String(app_.msg(Msg::Year)),
                                                         toUtf8String(app_.msg(Msg::Years))));
        if (!p.record.comment.empty()) text += QStringLiteral("  ") + toQString(p.record.comment);
        auto* item = new QListWidgetItem(text, LB_Photos);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        const bool on = std::find(ticked.begin(), ticked.end(), i) != ticked.end();
        item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
    updateCount();
}

std::vector<std::size_t> GrowthSheetDialog::chosenPhotos() const {
    std::vector<std::size_t> chosen;
    for (int i = 0; i < LB_Photos->count(); ++i)
        if (LB_Photos->item(i)->checkState() == Qt::Checked)
            chosen.push_back(static_cast<std::size_t>(i));
    return chosen;
}

void GrowthSheetDialog::updateCount() {
    const std::size_t n = chosenPhotos().size();
    L_Compte->setText(QStringLiteral("%1 / %2").arg(n).arg(kMaxSheetPhotos));
    Btn_Imprimer->setEnabled(n > 0);
}

void GrowthSheetDialog::LB_PhotosItemChanged(QListWidgetItem* item) {
    if (item->checkState() == Qt::Checked && chosenPhotos().size() > kMaxSheetPhotos) {
        {
            const QSignalBlocker quiet(LB_Photos);
            item->setCheckState(Qt::Unchecked);
        }
        app_.ui.message(this, app_.msg(Msg::GrowthSheetFull));
    }
    updateCount();
}

void GrowthSheetDialog::Btn_ImprimerClick() {
    const QStringList printers = app_.ui.printers();
    if (printers.isEmpty()) {
        app_.ui.message(this, app_.msg(Msg::NoPrinter));
        reject();
        return;
    }
    const std::vector<std::size_t> chosen = chosenPhotos();
    if (chosen.empty()) return;
    const int index = CB_Imprimante->currentIndex();
    QString target = index >= 0 ? CB_Imprimante->itemText(index) : app_.ui.defaultPrinter();
    if (target.isEmpty()) target = printers.front();
    {
        BusyCursor busy;
        QPrinter printer(QPrinter::HighResolution);
        app_.ui.targetPrinter(printer, target);
        const std::string id = app_.session.openTreeId;
        GrowthSheetRequest request{app_.data(), id, chosen,
                                   [this](Msg m) { return toUtf8String(app_.msg(m)); },
                                   QStringLiteral("Tavo %1").arg(toQString(id))};
        printGrowthSheet(printer, request);
    }
    accept();
}

}  // namespace tavo
