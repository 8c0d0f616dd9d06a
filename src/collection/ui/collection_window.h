#pragma once
// The collection window: every tree in one sortable table, and a search over everything written
// about them. It stays open beside the main window and follows the changes made there.
#include <QAbstractTableModel>
#include <QHash>
#include <QImage>
#include <optional>
#include <string>
#include <vector>

#include "collection/collection_index.h"
#include "collection/collection_settings.h"
#include "collection/collection_table.h"
#include "ui_kit/tavo_dialog.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace tavo {

// The trees shown, as rows over the core's index: the window keeps the index and the order,
// the model only tells the view what each cell holds.
class CollectionModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    CollectionModel(App& app, QObject* parent);

    // Shows `rows` (positions in index.trees()) with the excerpts of `words`.
    void setRows(const CollectionIndex* index, std::vector<std::size_t> rows,
                 std::vector<std::string> words);
    const std::vector<std::size_t>& rows() const { return rows_; }
    const TreeEntry& tree(int row) const { return index_->trees()[rows_[row]]; }

    // The text under row `row`'s name: where the words were found, and the excerpt in pieces,
    // the odd ones in bold. Empty when no search is typed.
    struct Excerpt {
        QString where;
        QStringList pieces;
    };
    const Excerpt& excerpt(int row) const;
    bool searching() const { return !words_.empty(); }

    // The reference photo of row `row`, decoded at `side` pixels the first time it is asked
    // for, that is when its row is painted.
    QImage thumbnail(int row, int side) const;
    // Forgets the thumbnails of trees read again, or all of them.
    void forgetThumbnails(const std::vector<std::string>& ids);
    void forgetThumbnails() { thumbnails_.clear(); }

    // The column headers and excerpt labels in the current language.
    void retranslate();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

  signals:
    void sorted(int column, Qt::SortOrder order);

  private:
    App& app_;
    const CollectionIndex* index_ = nullptr;
    std::vector<std::size_t> rows_;
    std::vector<std::string> words_;
    LocalTime today_;
    mutable std::vector<std::optional<Excerpt>> excerpts_;
    mutable QHash<QString, QImage> thumbnails_;
    QStringList headers_;  // fetched when the language is known
};

class CollectionWindow : public TavoDialog {
    Q_OBJECT
  public:
    explicit CollectionWindow(App& app);

    CollectionModel* model() const { return model_; }
    const CollectionIndex& index() const { return index_; }

  protected:
    bool FormKeyPress(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    // Reads the whole collection again, each time the window is shown.
    void FormActivate() override;

    QLabel* L_Recherche;
    QLineEdit* E_Recherche;
    QTableView* SG_Collection;
    QLabel* L_Nombre;
    QLabel* L_Total;
    QPushButton* B_Ouvrir;
    QPushButton* B_Fermer;

    // Opens the current tree (the first one shown when none is chosen) in the main window.
    void B_OuvrirClick();
    // Rows follow the words typed.
    void E_RechercheChange();
    // A change made elsewhere: the trees concerned are read again, the search and order kept.
    void TreesChanged();

    // The tree of the current row; empty when none.
    std::string currentId() const;
    // Shows `rows` for `words`, row of tree `chosen` current (the first row when not shown).
    void showRows(std::vector<std::size_t> rows, std::vector<std::string> words,
                  const std::string& chosen);
    // Every tree matching the words, in the chosen order.
    std::vector<std::size_t> sortedMatches(const std::vector<std::string>& words) const;
    void showFooter();
    void retranslate();
    void fitColumns();
    void rememberSettings();

    CollectionModel* model_;
    CollectionIndex index_;
    WindowSettings settings_;
    std::vector<std::string> words_;
};

}  // namespace tavo
