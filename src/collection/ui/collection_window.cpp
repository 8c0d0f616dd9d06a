#include "collection/ui/collection_window.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <optional>

#include "cards/ui/card_commands.h"
#include "imaging/imaging.h"
#include "ui_kit/app.h"
#include "ui_kit/controls.h"
#include "ui_kit/qt_image.h"
#include "ui_kit/qt_text.h"
#include "ui_kit/translator.h"

namespace tavo {

namespace {

constexpr int kThumbnailSide = 36;
constexpr int kCellMargin = 4;

// Widths the columns start from, before their headers' texts are measured.
constexpr int kColumnWidths[kColumnCount] = {44,  230, 160, 100, 55, 90, 110,
                                             120, 75,  65,  190, 60, 90};

// The column heads, in the order of Column; the thumbnail column has none.
constexpr std::optional<Msg> kHeaders[kColumnCount] = {std::nullopt,
                                                       Msg::NameColumn,
                                                       Msg::BotanicalNameColumn,
                                                       Msg::CultivarColumn,
                                                       Msg::AgeColumn,
                                                       Msg::AcquiredColumn,
                                                       Msg::StateColumn,
                                                       Msg::ProvenanceColumn,
                                                       Msg::PriceColumn,
                                                       Msg::WorksColumn,
                                                       Msg::LastInterventionColumn,
                                                       Msg::PhotosColumn,
                                                       Msg::LastPhotoColumn};

bool isNumberColumn(int column) {
    const auto c = static_cast<Column>(column);
    return c == Column::Age || c == Column::Price || c == Column::WorksCount ||
           c == Column::PhotoCount;
}

// Where a match was found, in words of the interface.
QString fieldLabel(const App& app, Field field) {
    const auto header = [&](Column c) { return app.msg(*kHeaders[static_cast<int>(c)]); };
    switch (field) {
        case Field::TreeName:
            return header(Column::TreeName);
        case Field::BotanicalName:
            return header(Column::BotanicalName);
        case Field::Cultivar:
            return header(Column::Cultivar);
        case Field::CommonName:
            return app.msg(Msg::CommonName);
        case Field::EnglishName:
            return app.msg(Msg::EnglishName);
        case Field::Provenance:
            return header(Column::Provenance);
        case Field::AcquisitionDate:
            return app.msg(Msg::AcquisitionDate);
        case Field::State:
            return header(Column::State);
        case Field::Price:
            return header(Column::Price);
        case Field::Notes:
            return app.msg(Msg::Notes);
        case Field::WorksType:
        case Field::WorksComment:
            return header(Column::WorksCount);
        case Field::PhotoComment:
            return app.msg(Msg::PhotoField);
    }
    return {};
}

// Draws `pieces` from `at` on one line, the odd ones in bold, cut with an ellipsis at `right`.
void drawPieces(QPainter* painter, QPoint at, int right, const QStringList& pieces) {
    QFont normal = painter->font(), bold = normal;
    bold.setBold(true);
    int x = at.x();
    for (int i = 0; i < pieces.size() && x < right; ++i) {
        painter->setFont(i % 2 ? bold : normal);
        const QFontMetrics fm(painter->font());
        QString piece = pieces[i];
        const int width = fm.horizontalAdvance(piece);
        const bool cut = x + width > right;
        if (cut) piece = fm.elidedText(piece, Qt::ElideRight, right - x);
        painter->drawText(QPoint(x, at.y()), piece);
        if (cut) break;
        x += width;
    }
    painter->setFont(normal);
}

// The reference photo of the row, small.
class ThumbnailDelegate : public QStyledItemDelegate {
  public:
    ThumbnailDelegate(CollectionModel* model, QObject* parent)
        : QStyledItemDelegate(parent), model_(model) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        const QWidget* view = opt.widget;
        QStyle* style = view ? view->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, view);
        const qreal ratio = painter->device()->devicePixelRatioF();
        QImage image =
            model_->thumbnail(index.row(), static_cast<int>(std::lround(kThumbnailSide * ratio)));
        if (image.isNull()) return;
        image.setDevicePixelRatio(ratio);
        const QSizeF size = image.deviceIndependentSize();
        const QPointF topLeft(opt.rect.x() + (opt.rect.width() - size.width()) / 2,
                              opt.rect.y() + (opt.rect.height() - size.height()) / 2);
        painter->drawImage(topLeft, image);
    }

  private:
    CollectionModel* model_;
};

// Where the lines of a row stand: one line centred, or, while a search is typed, the cells' line
// over the line of the excerpt.
QRect firstLine(const QRect& cell, const QFontMetrics& fm, bool searching) {
    if (!searching) return cell;
    const int gap = std::max(0, (cell.height() - 2 * fm.lineSpacing()) / 2);
    return QRect(cell.x(), cell.y() + gap, cell.width(), fm.lineSpacing());
}

// A cell's text on one line, cut with an ellipsis; on the row's first line while searching.
class TextDelegate : public QStyledItemDelegate {
  public:
    TextDelegate(CollectionModel* model, QObject* parent)
        : QStyledItemDelegate(parent), model_(model) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        const QString text = opt.text;
        opt.text.clear();
        const QWidget* view = opt.widget;
        QStyle* style = view ? view->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, view);
        painter->save();
        const bool selected = opt.state & QStyle::State_Selected;
        painter->setPen(opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter->setFont(opt.font);
        const QFontMetrics fm(opt.font);
        const QRect r =
            firstLine(opt.rect, fm, model_->searching()).adjusted(kCellMargin, 0, -kCellMargin, 0);
        painter->drawText(r, Qt::AlignVCenter | (opt.displayAlignment & Qt::AlignHorizontal_Mask),
                          fm.elidedText(text, Qt::ElideRight, r.width()));
        painter->restore();
    }

  private:
    CollectionModel* model_;
};

// The table, with the text the words were found in under each row's cells, from the name on.
class CollectionTable : public QTableView {
  public:
    using QTableView::QTableView;

  protected:
    void paintEvent(QPaintEvent* event) override {
        QTableView::paintEvent(event);
        const auto* m = static_cast<const CollectionModel*>(model());
        if (!m || !m->searching() || m->rowCount() == 0) return;
        QPainter painter(viewport());
        const QFontMetrics fm(font());
        const int left = columnViewportPosition(static_cast<int>(Column::TreeName)) + kCellMargin;
        const int right = viewport()->width() - kCellMargin;
        const int first = std::max(0, rowAt(0));
        int last = rowAt(viewport()->height() - 1);
        if (last < 0) last = m->rowCount() - 1;
        for (int row = first; row <= last; ++row) {
            const CollectionModel::Excerpt& e = m->excerpt(row);
            if (e.pieces.isEmpty()) continue;
            const QRect cell(0, rowViewportPosition(row), viewport()->width(), rowHeight(row));
            const QRect line = firstLine(cell, fm, true).translated(0, fm.lineSpacing());
            const bool selected = selectionModel() && selectionModel()->isRowSelected(row, {});
            painter.setPen(palette().color(selected ? QPalette::HighlightedText : QPalette::Text));
            painter.setFont(font());
            QStringList pieces = e.pieces;
            pieces.front().prepend(e.where + QLatin1Char(' '));
            drawPieces(&painter, QPoint(left, line.y() + fm.ascent()), right, pieces);
        }
    }
};

}  // namespace

// ---- CollectionModel ---------------------------------------------------------------------

CollectionModel::CollectionModel(App& app, QObject* parent)
    : QAbstractTableModel(parent), app_(app), today_(localNow()) {}

void CollectionModel::setRows(const CollectionIndex* index, std::vector<std::size_t> rows,
                              std::vector<std::string> words) {
    beginResetModel();
    index_ = index;
    rows_ = std::move(rows);
    words_ = std::move(words);
    today_ = localNow();
    excerpts_.assign(index_ ? index_->trees().size() : 0, std::nullopt);
    endResetModel();
}

const CollectionModel::Excerpt& CollectionModel::excerpt(int row) const {
    // Made when the row is first painted: a search among many trees shows only a screenful.
    std::optional<Excerpt>& e = excerpts_[rows_[row]];
    if (e) return *e;
    e.emplace();
    const std::optional<Match> m = bestMatch(tree(row), words_);
    if (!m) return *e;
    QString where = fieldLabel(app_, m->field);
    if (!m->date.empty()) where += QLatin1Char(' ') + toQString(m->date);
    e->where = app_.msg(Msg::FoundWhere).arg(where);
    std::size_t from = 0;
    for (const auto& [begin, end] : m->bold) {
        e->pieces << toQString(m->text.substr(from, begin - from))
                  << toQString(m->text.substr(begin, end - begin));
        from = end;
    }
    e->pieces << toQString(m->text.substr(from));
    return *e;
}

QImage CollectionModel::thumbnail(int row, int side) const {
    const TreeEntry& t = tree(row);
    const QString key = toQString(t.id);
    if (const auto it = thumbnails_.constFind(key); it != thumbnails_.constEnd())
        if (it->isNull() || std::max(it->width(), it->height()) == side) return *it;
    QImage image;
    // A tree with no readable reference photo shows an empty cell; the chooser tells why.
    try {
        const ScaledPicture photo = loadJpegScaled(app_.data().referencePhoto(t.id), side);
        image = toQImage(boxFit(photo.image, side));
    } catch (const std::exception&) {
    }
    thumbnails_.insert(key, image);
    return image;
}

void CollectionModel::forgetThumbnails(const std::vector<std::string>& ids) {
    for (const std::string& id : ids) thumbnails_.remove(toQString(id));
}

void CollectionModel::retranslate() {
    headers_.clear();
    for (int c = 0; c < kColumnCount; ++c)
        headers_ << (kHeaders[c] ? app_.msg(*kHeaders[c]) : QString());
    excerpts_.assign(excerpts_.size(), std::nullopt);
    emit headerDataChanged(Qt::Horizontal, 0, kColumnCount - 1);
    if (!rows_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

int CollectionModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int CollectionModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant CollectionModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const auto column = static_cast<Column>(index.column());
    const TreeEntry& t = tree(index.row());
    switch (role) {
        case Qt::DisplayRole:
            return toQString(cellText(t, column, today_));
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(
                Qt::AlignVCenter |
                (isNumberColumn(index.column()) ? Qt::AlignRight : Qt::AlignLeft));
        case Qt::ToolTipRole: {
            if (column == Column::Thumbnail) return {};
            QString tip = toQString(cellText(t, column, today_));
            if (column == Column::TreeName) {
                const Excerpt& e = excerpt(index.row());
                if (!e.pieces.isEmpty())
                    tip +=
                        QLatin1Char('\n') + e.where + QLatin1Char(' ') + e.pieces.join(QString());
                if (!t.problem.empty()) tip += QLatin1Char('\n') + toQString(t.problem);
            }
            return tip.isEmpty() ? QVariant() : QVariant(tip);
        }
        default:
            return {};
    }
}

QVariant CollectionModel::headerData(int section, Qt::Orientation orientation, int role) const {
    // A first click on a header sorts up, whatever the column.
    if (role == Qt::InitialSortOrderRole) return Qt::AscendingOrder;
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= headers_.size())
        return {};
    return headers_[section];
}

void CollectionModel::sort(int column, Qt::SortOrder order) {
    if (!index_ || column < 0 || column >= kColumnCount) return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // The chosen row stays chosen: persistent indexes follow their tree.
    const QModelIndexList before = persistentIndexList();
    std::vector<std::size_t> trees;
    for (const QModelIndex& i : before) trees.push_back(rows_[i.row()]);
    rows_ = sortRows(index_->trees(), rows_, static_cast<Column>(column),
                     order == Qt::AscendingOrder, today_);
    std::vector<int> rowOf(index_->trees().size(), -1);
    for (std::size_t r = 0; r < rows_.size(); ++r) rowOf[rows_[r]] = static_cast<int>(r);
    QModelIndexList after;
    for (qsizetype k = 0; k < before.size(); ++k)
        after << index(rowOf[trees[k]], before[k].column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    emit sorted(column, order);
}

// ---- CollectionWindow -----------------------------------------------------------------------

CollectionWindow::CollectionWindow(App& app)
    : TavoDialog(app, "CollectionWindow", 1800, QStringLiteral("Collection")) {
    // A window of its own beside the main window, sized at will; it does not keep the program
    // running once the main window is closed.
    setModal(false);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_QuitOnClose, false);
    setMinimumSize(kMinWidth, kMinHeight);
    resize(settings_.width, settings_.height);

    L_Recherche = makeLabel(this, "L_Recherche", 1801, QStringLiteral("Rechercher :"));
    E_Recherche = makeEdit(this, "E_Recherche", 1802,
                           QStringLiteral("Tous les mots tapés, dans les fiches, les travaux et "
                                          "les commentaires des photos."),
                           0);
    E_Recherche->setClearButtonEnabled(true);
    L_Recherche->setBuddy(E_Recherche);

    model_ = new CollectionModel(app, this);
    SG_Collection = placeControl(new CollectionTable(this), "SG_Collection", 0, QString(), {});
    SG_Collection->setModel(model_);
    SG_Collection->setItemDelegateForColumn(static_cast<int>(Column::Thumbnail),
                                            new ThumbnailDelegate(model_, this));
    SG_Collection->setItemDelegate(new TextDelegate(model_, this));
    SG_Collection->setSelectionBehavior(QAbstractItemView::SelectRows);
    SG_Collection->setSelectionMode(QAbstractItemView::SingleSelection);
    SG_Collection->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SG_Collection->setTabKeyNavigation(false);
    SG_Collection->setWordWrap(false);
    SG_Collection->setAlternatingRowColors(true);
    SG_Collection->setShowGrid(false);
    SG_Collection->verticalHeader()->hide();
    SG_Collection->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    QHeaderView* header = SG_Collection->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setHighlightSections(false);
    header->setStretchLastSection(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(static_cast<int>(settings_.column),
                             settings_.ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    SG_Collection->setSortingEnabled(true);

    L_Nombre = makeLabel(this, "L_Nombre", 0, QString());
    L_Total = makeLabel(this, "L_Total", 0, QString());
    B_Ouvrir = makeButton(this, "B_Ouvrir", 1803, QStringLiteral("Ouvrir"),
                          QStringLiteral("Ouvre l'arbre choisi dans la fenêtre principale "
                                         "(Entrée ou double clic)."));
    B_Fermer = makeButton(this, "B_Fermer", 1804, QStringLiteral("Fermer"), QString());

    auto* search = new QHBoxLayout;
    search->addWidget(L_Recherche);
    search->addWidget(E_Recherche, 1);
    auto* footer = new QHBoxLayout;
    footer->addWidget(L_Nombre);
    footer->addSpacing(24);
    footer->addWidget(L_Total);
    footer->addStretch(1);
    footer->addWidget(B_Ouvrir);
    footer->addWidget(B_Fermer);
    auto* all = new QVBoxLayout(this);
    all->addLayout(search);
    all->addWidget(SG_Collection, 1);
    all->addLayout(footer);

    setTabOrder(E_Recherche, SG_Collection);
    setTabOrder(SG_Collection, B_Ouvrir);
    setTabOrder(B_Ouvrir, B_Fermer);

    connect(E_Recherche, &QLineEdit::textChanged, this, guarded([this] { E_RechercheChange(); }));
    connect(SG_Collection, &QTableView::doubleClicked, this, guarded([this] { B_OuvrirClick(); }));
    onClick(B_Ouvrir, [this] { B_OuvrirClick(); });
    connect(B_Fermer, &QPushButton::clicked, this, &QDialog::reject);
    connect(model_, &CollectionModel::sorted, this, [this](int column, Qt::SortOrder order) {
        settings_.column = static_cast<Column>(column);
        settings_.ascending = order == Qt::AscendingOrder;
        if (isVisible()) app_.guard(this, [this] { rememberSettings(); });
    });
    connect(&app_.events, &TreeEvents::treeChanged, this, guarded([this] { TreesChanged(); }));
    connect(&app_.events, &TreeEvents::languageChanged, this, [this] { retranslate(); });
}

void CollectionWindow::showEvent(QShowEvent* event) {
    // The remembered size first: the base class centres the window as it is.
    if (!event->spontaneous()) {
        app_.guard(this, [this] {
            settings_ = readWindowSettings(app_.data().settings());
            resize(settings_.width, settings_.height);
        });
    }
    TavoDialog::showEvent(event);
}

void CollectionWindow::FormActivate() {
    E_Recherche->blockSignals(true);
    E_Recherche->clear();
    E_Recherche->blockSignals(false);
    words_.clear();
    model_->setRows(nullptr, {}, {});
    index_ = CollectionIndex::build(app_.data());
    model_->forgetThumbnails();
    retranslate();
    SG_Collection->horizontalHeader()->setSortIndicator(
        static_cast<int>(settings_.column),
        settings_.ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    showRows(sortedMatches({}), {}, app_.session.openTreeId);
    E_Recherche->setFocus();
}

std::string CollectionWindow::currentId() const {
    const QModelIndex current = SG_Collection->currentIndex();
    return current.isValid() && current.row() < model_->rowCount() ? model_->tree(current.row()).id
                                                                   : std::string();
}

std::vector<std::size_t> CollectionWindow::sortedMatches(
    const std::vector<std::string>& words) const {
    return sortRows(index_.trees(), index_.filter(words), settings_.column, settings_.ascending,
                    localNow());
}

void CollectionWindow::showRows(std::vector<std::size_t> rows, std::vector<std::string> words,
                                const std::string& chosen) {
    words_ = words;
    model_->setRows(&index_, std::move(rows), std::move(words));
    int row = 0;
    for (int r = 0; r < model_->rowCount() && !chosen.empty(); ++r)
        if (model_->tree(r).id == chosen) row = r;
    if (model_->rowCount() > 0) {
        SG_Collection->setCurrentIndex(model_->index(row, static_cast<int>(Column::TreeName)));
        SG_Collection->scrollTo(SG_Collection->currentIndex());
    }
    B_Ouvrir->setEnabled(model_->rowCount() > 0);
    showFooter();
}

void CollectionWindow::E_RechercheChange() {
    // Each translation pass refills the box; a hidden window reads everything when shown.
    if (!isVisible()) return;
    std::vector<std::string> words = searchWords(toUtf8String(E_Recherche->text()));
    // Typing on only narrows the search: the rows shown, already in order, are looked through.
    const std::string chosen = currentId();
    std::vector<std::size_t> rows =
        narrows(words_, words) ? index_.filter(words, model_->rows()) : sortedMatches(words);
    showRows(std::move(rows), std::move(words), chosen);
}

void CollectionWindow::TreesChanged() {
    // A hidden window reads everything again when it is shown.
    if (!isVisible()) return;
    const std::string chosen = currentId();
    const std::vector<std::string> changed = index_.update(app_.session.openTreeId);
    if (changed.empty()) return;
    model_->forgetThumbnails(changed);
    showRows(sortedMatches(words_), words_, chosen);
}

void CollectionWindow::B_OuvrirClick() {
    if (model_->rowCount() == 0) return;
    const QModelIndex current = SG_Collection->currentIndex();
    const std::string id = model_->tree(current.isValid() ? current.row() : 0).id;
    CardCommands(app_).openTree(id);
    // The main window (the first of all) comes to the front, showing the tree.
    if (!app_.windows.all.empty()) {
        app_.windows.all.front()->raise();
        app_.windows.all.front()->activateWindow();
    }
}

void CollectionWindow::showFooter() {
    const Totals t = totals(index_.trees(), model_->rows());
    L_Nombre->setText(app_.msg(Msg::TreesShown).arg(t.shown).arg(t.all));
    const QString locale = app_.translator ? app_.translator->Locale() : QString();
    const QString point =
        QLocale(locale.isEmpty() ? QStringLiteral("fr_FR") : locale).decimalPoint();
    const char separator = point == QStringLiteral(".") ? '.' : ',';
    L_Total->setText(app_.msg(Msg::TotalPrice).arg(toQString(centsText(t.priceCents, separator))));
}

void CollectionWindow::retranslate() {
    E_Recherche->setPlaceholderText(app_.msg(Msg::SearchPlaceholder));
    model_->retranslate();
    showFooter();
    fitColumns();
}

void CollectionWindow::fitColumns() {
    const QFontMetrics fm(font());
    const int rowHeight = std::max(kThumbnailSide + 6, 2 * fm.lineSpacing() + 8);
    SG_Collection->verticalHeader()->setDefaultSectionSize(rowHeight);
    QHeaderView* header = SG_Collection->horizontalHeader();
    // Room for the header's text and its sort arrow.
    const QFontMetrics hm(header->font());
    for (int c = 0; c < kColumnCount; ++c) {
        const QString text = model_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        const int least = text.isEmpty() ? 0 : hm.horizontalAdvance(text) + 32;
        SG_Collection->setColumnWidth(c, std::max(kColumnWidths[c], least));
    }
}

void CollectionWindow::rememberSettings() {
    writeWindowSettings(app_.data().settings(), settings_);
}

bool CollectionWindow::FormKeyPress(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Escape && !E_Recherche->text().isEmpty()) {
        E_Recherche->clear();
        E_Recherche->setFocus();
        return true;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
            button->click();
        else
            app_.guard(this, [this] { B_OuvrirClick(); });
        return true;
    }
    // The arrows move through the rows while the words are typed.
    const bool moves = key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
                       key == Qt::Key_PageDown;
    if (moves && focusWidget() == E_Recherche) {
        QKeyEvent copy(event->type(), key, event->modifiers());
        SG_Collection->setFocus();
        QCoreApplication::sendEvent(SG_Collection, &copy);
        E_Recherche->setFocus();
        return true;
    }
    return TavoDialog::FormKeyPress(event);
}

void CollectionWindow::hideEvent(QHideEvent* event) {
    if (!event->spontaneous() && !isMinimized()) {
        settings_.width = width();
        settings_.height = height();
        app_.guard(this, [this] { rememberSettings(); });
    }
    TavoDialog::hideEvent(event);
}

}  // namespace tavo
