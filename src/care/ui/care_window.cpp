#include "care/ui/care_window.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <algorithm>

#include "care/care_collection.h"
#include "care/care_words.h"
#include "care/due_report.h"
#include "care/ical.h"
#include "common/clock.h"
#include "ui_kit/app.h"
#include "ui_kit/busy_cursor.h"
#include "ui_kit/controls.h"
#include "ui_kit/qt_text.h"

namespace tavo {

namespace {

constexpr int kTreeIdRole = Qt::UserRole;

enum DueColumn { DueTree, DueType, DueLast, DueInterval, DueNext, DueStateColumn, DueColumns };
enum PastColumn { PastTree, PastDate, PastType, PastComment, PastColumns };

// Calm tints: nothing here is an alarm. Dark text on each, whatever the desktop's theme.
QColor stateTint(DueState state) {
    switch (state) {
        case DueState::Soon:
            return {220, 234, 247};  // soft blue
        case DueState::Due:
            return {252, 233, 190};  // soft amber
        case DueState::LongOverdue:
            return {228, 228, 224};  // grey
        default:
            return {255, 255, 255};
    }
}

QTableWidget* makeGrid(QWidget* parent, const char* name, int columns, const QRect& geometry) {
    auto* grid = placeControl(new QTableWidget(0, columns, parent), name, 0, QString(), geometry);
    grid->verticalHeader()->hide();
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setWordWrap(false);
    grid->setTabKeyNavigation(false);  // Tab leaves the grid for the buttons
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 8);
    return grid;
}

// A read-only cell whose whole text shows in its tool tip when the column is too narrow.
QTableWidgetItem* cell(const QString& text, const std::string& treeId) {
    auto* item = new QTableWidgetItem(text);
    item->setToolTip(text);
    item->setData(kTreeIdRole, toQString(treeId));
    return item;
}

QString treeLabel(const std::string& name, const std::string& id) {
    return toQString(name.empty() ? id : name);
}

}  // namespace

CareWindow::CareWindow(App& app) : TavoDialog(app, "CareWindow", 2000, QStringLiteral("À faire")) {
    setClientSize(820, 500);

    TC_Onglets =
        placeControl(new QTabWidget(this), "TC_Onglets", 2001, QString(), {8, 8, 804, 432});
    auto* duePage = new QWidget;
    duePage->setObjectName(QStringLiteral("TS_AFaire"));
    auto* pastPage = new QWidget;
    pastPage->setObjectName(QStringLiteral("TS_MoisPasse"));
    TC_Onglets->addTab(duePage, QStringLiteral("À faire"));
    TC_Onglets->addTab(pastPage, QStringLiteral("Ce mois-ci les années passées"));

    const QRect intro{8, 6, 780, 38};
    const QRect grid{8, 48, 780, 346};
    L_AFaire = makeLabel(duePage, "L_AFaire", 2003,
                         QStringLiteral("Ce qui est à faire ou le sera dans les 30 jours, d'après "
                                        "les intervalles de vos propres travaux. Double-clic ou "
                                        "Entrée : ouvre l'arbre."),
                         intro);
    SG_AFaire = makeGrid(duePage, "SG_AFaire", DueColumns, grid);
    L_RienAFaire =
        makeLabel(duePage, "L_RienAFaire", 2005,
                  QStringLiteral("Rien n'est à faire dans les 30 prochains jours."), grid);
    L_MoisPasse = makeLabel(pastPage, "L_MoisPasse", 2004,
                            QStringLiteral("Ce que vous avez fait pendant ce mois les années "
                                           "passées, arbre par arbre. Double-clic ou Entrée : "
                                           "ouvre l'arbre."),
                            intro);
    SG_MoisPasse = makeGrid(pastPage, "SG_MoisPasse", PastColumns, grid);
    L_RienMoisPasse =
        makeLabel(pastPage, "L_RienMoisPasse", 2006,
                  QStringLiteral("Aucun travail noté pendant ce mois les années passées."), grid);
    for (QLabel* l : {L_AFaire, L_MoisPasse, L_RienAFaire, L_RienMoisPasse}) l->setWordWrap(true);
    for (QLabel* l : {L_RienAFaire, L_RienMoisPasse}) l->setAlignment(Qt::AlignCenter);

    QHeaderView* due = SG_AFaire->horizontalHeader();
    due->setSectionResizeMode(QHeaderView::ResizeToContents);
    due->setSectionResizeMode(DueTree, QHeaderView::Stretch);
    QHeaderView* past = SG_MoisPasse->horizontalHeader();
    past->setSectionResizeMode(QHeaderView::ResizeToContents);
    past->setSectionResizeMode(PastTree, QHeaderView::Interactive);
    past->setSectionResizeMode(PastComment, QHeaderView::Stretch);
    SG_MoisPasse->setColumnWidth(PastTree, 200);

    L_Remarque = makeLabel(this, "L_Remarque", 0, QString(), {12, 446, 520, 48});
    L_Remarque->setWordWrap(true);
    L_Remarque->setTextFormat(Qt::PlainText);
    B_Exporter = makeButton(this, "B_Exporter", 2002, QStringLiteral("Exporter le calendrier…"),
                            QStringLiteral("Enregistre les prochaines interventions dans un "
                                           "fichier iCalendar (.ics) que votre agenda sait "
                                           "importer."),
                            {540, 456, 168, 30});
    B_Fermer =
        makeButton(this, "B_Fermer", 2007, QStringLiteral("Fermer"), QString(), {716, 456, 96, 30});

    const auto openOn = [this](QTableWidget* g) {
        connect(g, &QTableWidget::cellDoubleClicked, this,
                [this, g](int row, int) { openRow(g, row); });
    };
    openOn(SG_AFaire);
    openOn(SG_MoisPasse);
    onClick(B_Exporter, [this] { B_ExporterClick(); });
    connect(B_Fermer, &QPushButton::clicked, this, &QDialog::reject);
    // Shown while a tree changes elsewhere (a restore), or the language changes: read again.
    connect(&app_.events, &TreeEvents::treeChanged, this, [this] {
        if (isVisible()) app_.guard(this, [this] { FormActivate(); });
    });
    connect(&app_.events, &TreeEvents::languageChanged, this, [this] {
        if (isVisible()) app_.guard(this, [this] { FormActivate(); });
    });
}

CareWords CareWindow::words() const {
    return careWords([this](Msg m) { return toUtf8String(app_.msg(m)); });
}

void CareWindow::setHeads() {
    SG_AFaire->setHorizontalHeaderLabels(
        {app_.msg(Msg::CareTreeHeading), app_.msg(Msg::InterventionTypeHeading),
         app_.msg(Msg::CareLastTimeHeading), app_.msg(Msg::CareIntervalHeading),
         app_.msg(Msg::CareExpectedHeading), app_.msg(Msg::CareStateHeading)});
    SG_MoisPasse->setHorizontalHeaderLabels(
        {app_.msg(Msg::CareTreeHeading), app_.msg(Msg::DateHeading),
         app_.msg(Msg::InterventionTypeHeading), app_.msg(Msg::CommentHeading)});
}

void CareWindow::FormActivate() {
    chosenTreeId_.clear();
    SG_AFaire->setRowCount(0);
    SG_MoisPasse->setRowCount(0);
    L_Remarque->clear();
    L_Remarque->setToolTip(QString());
    setHeads();

    BusyCursor busy;
    const Day today = localDay();
    const CollectionLogs logs = readCollectionLogs(app_.data());
    plan_ = computeCarePlan(logs.trees, today);
    fillDue(dueWithin(plan_, today));
    // A calendar without a single event is of no use to anyone.
    B_Exporter->setEnabled(std::any_of(plan_.items.begin(), plan_.items.end(),
                                       [](const CareItem& i) { return i.next.has_value(); }));
    fillPast(thisMonthInPastYears(logs.trees, today));
    if (!logs.problems.empty() || plan_.invalidDates > 0) {
        L_Remarque->setText(app_.msg(Msg::CareLeftOut));
        QStringList details;
        for (const std::string& p : logs.problems) details << toQString(p);
        L_Remarque->setToolTip(details.join(QLatin1Char('\n')));
    }
    TC_Onglets->setCurrentIndex(0);
    SG_AFaire->setFocus();
}

void CareWindow::fillDue(const std::vector<CareItem>& items) {
    const CareWords w = words();
    SG_AFaire->setRowCount(static_cast<int>(items.size()));
    int row = 0;
    for (const CareItem& item : items) {
        const QString state = item.state == DueState::Soon  ? app_.msg(Msg::CareSoon)
                              : item.state == DueState::Due ? app_.msg(Msg::CareDue)
                                                            : app_.msg(Msg::CareOverdue);
        const QString texts[DueColumns] = {
            treeLabel(item.treeName, item.treeId),
            toQString(item.type),
            toQString(dayText(item.last)),
            toQString(intervalText(item.intervalDays.value_or(0), w)),
            toQString(dayText(item.next.value_or(item.last))),
            state};
        for (int c = 0; c < DueColumns; ++c) {
            QTableWidgetItem* it = cell(texts[c], item.treeId);
            it->setBackground(stateTint(item.state));
            it->setForeground(QColor(32, 32, 32));
            SG_AFaire->setItem(row, c, it);
        }
        ++row;
    }
    SG_AFaire->setVisible(!items.empty());
    L_RienAFaire->setVisible(items.empty());
    if (!items.empty()) SG_AFaire->setCurrentCell(0, 0);
}

void CareWindow::fillPast(const std::vector<PastLine>& lines) {
    SG_MoisPasse->setRowCount(static_cast<int>(lines.size()));
    int row = 0;
    const std::string* previousTree = nullptr;
    for (const PastLine& l : lines) {
        // The lines come tree by tree: the tree is named once, at the head of its group.
        const bool first = !previousTree || *previousTree != l.treeId;
        previousTree = &l.treeId;
        QTableWidgetItem* tree =
            cell(first ? treeLabel(l.treeName, l.treeId) : QString(), l.treeId);
        QFont bold = tree->font();
        bold.setBold(true);
        tree->setFont(bold);
        SG_MoisPasse->setItem(row, PastTree, tree);
        SG_MoisPasse->setItem(row, PastDate, cell(toQString(l.line.date), l.treeId));
        SG_MoisPasse->setItem(row, PastType, cell(toQString(l.line.type), l.treeId));
        SG_MoisPasse->setItem(row, PastComment, cell(toQString(l.line.comment), l.treeId));
        ++row;
    }
    SG_MoisPasse->setVisible(!lines.empty());
    L_RienMoisPasse->setVisible(lines.empty());
    if (!lines.empty()) SG_MoisPasse->setCurrentCell(0, 0);
}

void CareWindow::openRow(QTableWidget* grid, int row) {
    const QTableWidgetItem* item = grid->item(row, 0);
    if (!item) return;
    chosenTreeId_ = toUtf8String(item->data(kTreeIdRole).toString());
    if (!chosenTreeId_.empty()) accept();
}

bool CareWindow::FormKeyPress(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        for (QTableWidget* grid : {SG_AFaire, SG_MoisPasse}) {
            if (focusWidget() == grid && grid->isVisible() && grid->currentRow() >= 0) {
                openRow(grid, grid->currentRow());
                return true;
            }
        }
    }
    return TavoDialog::FormKeyPress(event);
}

void CareWindow::B_ExporterClick() {
    const QString chosen =
        app_.ui.saveFile(this, app_.msg(Msg::ExportCareCalendar), app_.msg(Msg::CalendarFileName),
                         QStringLiteral("iCalendar (*.ics)"));
    if (chosen.isEmpty()) return;
    std::filesystem::path file = toPath(chosen);
    if (!file.has_extension()) file += ".ics";
    std::vector<CareItem> expected;
    for (const CareItem& item : plan_.items)
        if (item.next) expected.push_back(item);
    BusyCursor busy;
    writeIcsFile(file, icsCalendar(expected, utcNow(), words()));
    L_Remarque->setText(app_.msg(Msg::CalendarSaved).arg(toQString(file)));
    L_Remarque->setToolTip(QString());
}

}  // namespace tavo
