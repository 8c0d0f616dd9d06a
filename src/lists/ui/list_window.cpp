#include "lists/ui/list_window.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <algorithm>

#include "ui_kit/app.h"
#include "ui_kit/controls.h"

namespace tavo {
namespace {

// A label or button described by its setup; the windows place it.
template <class Control>
Control* make(QWidget* parent, const ControlText& t) {
    return placeControl(new Control(QString::fromUtf8(t.text), parent), t.name, t.tag,
                        QString::fromUtf8(t.hint), QRect());
}

QTableWidget* makeGrid(QWidget* parent, const std::vector<int>& widths) {
    auto* grid = new QTableWidget(1, static_cast<int>(widths.size()), parent);
    grid->setObjectName(QStringLiteral("SGrid"));
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    for (std::size_t c = 0; c < widths.size(); ++c)
        grid->setColumnWidth(static_cast<int>(c), widths[c]);
    grid->horizontalHeader()->setStretchLastSection(false);
    grid->verticalHeader()->setDefaultSectionSize(std::max(15, grid->fontMetrics().height() + 4));
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    grid->setCurrentCell(0, 0);
    return grid;
}

void setCell(QTableWidget* grid, int row, int column, const QString& text) {
    if (QTableWidgetItem* item = grid->item(row, column))
        item->setText(text);
    else
        grid->setItem(row, column, new QTableWidgetItem(text));
}

}  // namespace

ListWindow::ListWindow(App& app, const ListWindowSetup& setup, const ListRows& rows)
    : TavoDialog(app, setup.className, setup.tag, QString::fromUtf8(setup.caption)),
      setup_(setup),
      rows_(rows) {
    for (const ControlText& head : setup.heads) heads_.push_back(make<QLabel>(this, head));
    SGrid = makeGrid(this, setup.columnWidths);
    BtnCreer = make<QPushButton>(this, setup.create);
    BtnModifier = make<QPushButton>(this, setup.modify);
    BtnSupprimer = make<QPushButton>(this, setup.remove);
    close_ = make<QPushButton>(this, setup.close);
    onClick(BtnCreer, [this] { BtnCreerClick(); });
    onClick(BtnModifier, [this] { BtnModifierClick(); });
    onClick(BtnSupprimer, [this] { BtnSupprimerClick(); });
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);
    // The grid's click also follows the keyboard, as the selection moves with it.
    connect(SGrid, &QTableWidget::cellClicked, this, [this](int, int) { SGridClick(); });
    connect(SGrid, &QTableWidget::currentCellChanged, this,
            [this](int, int, int, int) { SGridClick(); });
}

ListEntryDialog& ListWindow::entryDialog() const {
    return *setup_.entryDialog(app_.windows);
}

DataPaths ListWindow::data() const {
    return app_.data();
}

void ListWindow::FormActivate() {
    rows_.createIfMissing(data());
    const std::vector<QStringList> entries = rows_.readAll(data());
    entryCount_ = static_cast<int>(entries.size());
    if (entries.empty()) {
        // Names left from an earlier showing would stand for entries that no longer exist
        // (the list was restored or removed meanwhile).
        blankRows(SGrid->rowCount() - 1);
        app_.ui.message(this, app_.msg(Msg::ListEmpty));
        return;
    }
    setRowCount(entryCount_);
    reload();
}

void ListWindow::SGridClick() {
    if (!setup_.clickEnablesButtons) return;
    const int row = SGrid->currentRow();
    const bool onEntry = row >= 0 && row < entryCount_;
    BtnModifier->setEnabled(onEntry);
    BtnSupprimer->setEnabled(onEntry);
}

void ListWindow::BtnCreerClick() {
    const QStringList blank(static_cast<int>(setup_.columnWidths.size()), QString());
    if (!runDialog(ListEntryMode::Create, std::max(0, SGrid->currentRow()), blank,
                   app_.msg(Msg::Create), false))
        return;
    setRowCount(SGrid->rowCount() + 1);
    reload();
}

void ListWindow::BtnModifierClick() {
    const int row = selectedEntry();
    if (row < 0) return;
    const QString caption = setup_.modifyCaptionMessage ? app_.msg(*setup_.modifyCaptionMessage)
                                                        : QStringLiteral("Modifier");
    if (!runDialog(ListEntryMode::Modify, row, rowTexts(row), caption, false)) return;
    blankRows(entryCount_);
    reload();
}

void ListWindow::BtnSupprimerClick() {
    const int row = selectedEntry();
    if (row < 0) return;
    // The dialog showing the entry with its delete button is the only confirmation.
    if (!runDialog(ListEntryMode::Delete, row, rowTexts(row), app_.msg(Msg::Delete), true)) return;
    setRowCount(std::max(1, SGrid->rowCount() - 1));
    blankRows(entryCount_);
    reload();
}

int ListWindow::selectedEntry() {
    const int row = SGrid->currentRow();
    if (row >= 0 && row < entryCount_) return row;
    app_.ui.message(this, app_.msg(Msg::SelectLineFirst));
    return -1;
}

QStringList ListWindow::rowTexts(int row) const {
    QStringList texts;
    for (int c = 0; c < SGrid->columnCount(); ++c) {
        const QTableWidgetItem* item = SGrid->item(row, c);
        texts << (item ? item->text() : QString());
    }
    return texts;
}

bool ListWindow::runDialog(ListEntryMode mode, int row, const QStringList& texts,
                           const QString& okCaption, bool okEnabled) {
    ListEntryDialog& dialog = entryDialog();
    dialog.prepare(mode, row, texts, okCaption, okEnabled);
    return app_.showModal(&dialog) == QDialog::Accepted;
}

void ListWindow::setRowCount(int rows) {
    SGrid->setRowCount(rows);
    // The grid always has a current row, kept inside the grid as it shrinks.
    const int current = SGrid->currentRow();
    if (current < 0 || current >= rows) SGrid->setCurrentCell(rows - 1, 0);
}

void ListWindow::blankRows(int last) {
    last = std::min(last, SGrid->rowCount() - 1);
    for (int r = 0; r <= last; ++r)
        for (int c = 0; c < SGrid->columnCount(); ++c) setCell(SGrid, r, c, QString());
}

void ListWindow::reload() {
    const std::vector<QStringList> entries = rows_.readAll(data());
    entryCount_ = static_cast<int>(entries.size());
    for (int r = 0; r < entryCount_; ++r)
        for (int c = 0; c < SGrid->columnCount(); ++c)
            setCell(SGrid, r, c, c < entries[r].size() ? entries[r][c] : QString());
}

ListEntryDialog::ListEntryDialog(App& app, const ListEntryDialogSetup& setup, const ListRows& rows)
    : TavoDialog(app, setup.className, setup.tag, QString::fromUtf8(setup.caption)),
      rows_(rows),
      maxLength_(setup.maxLength) {
    for (const ControlText& label : setup.labels) labels_.push_back(make<QLabel>(this, label));
    for (const char* name : setup.editNames) {
        QLineEdit* edit = makeEdit(this, name, 0, QString(), setup.maxLength);
        // Only the user's typing counts as a change, not the texts the list window puts in.
        connect(edit, &QLineEdit::textEdited, this, [this] { EditChange(); });
        edits_.push_back(edit);
    }
    ok_ = make<QPushButton>(this, setup.ok);
    cancel_ = make<QPushButton>(this, setup.cancel);
    onClick(ok_, [this] { carryOut(); });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void ListEntryDialog::prepare(ListEntryMode newMode, int index, const QStringList& texts,
                              const QString& okCaption, bool okEnabled) {
    for (std::size_t i = 0; i < edits_.size(); ++i) {
        const QString text = static_cast<qsizetype>(i) < texts.size() ? texts[i] : QString();
        // The limit is for typing: a longer name already in the file (its field holds more)
        // must reach the box whole, or changing another name of the entry would cut it.
        edits_[i]->setMaxLength(std::max(maxLength_, static_cast<int>(text.size())));
        edits_[i]->setText(text);
    }
    ok_->setText(okCaption);
    ok_->setEnabled(okEnabled);
    mode = newMode;
    entryIndex = index;
}

QStringList ListEntryDialog::texts() const {
    QStringList out;
    for (const QLineEdit* edit : edits_) out << edit->text();
    return out;
}

void ListEntryDialog::EditChange() {
    // Even a text typed and erased again counts: the user may store an empty entry.
    if (mode != ListEntryMode::Delete) ok_->setEnabled(true);
}

void ListEntryDialog::carryOut() {
    const DataPaths data = app_.data();
    switch (mode) {
        case ListEntryMode::Create:
            rows_.append(data, texts());
            break;
        case ListEntryMode::Modify:
            rows_.overwrite(data, static_cast<std::size_t>(entryIndex), texts());
            break;
        case ListEntryMode::Delete:
            rows_.remove(data, static_cast<std::size_t>(entryIndex));
            break;
    }
    accept();
}

}  // namespace tavo
