#pragma once
// What the three list editors share: a list window showing a list file in a grid with
// "Créer", "Modifier" and "Supprimer", and its entry dialog that writes the file when the user
// confirms. The windows differ only by their list file, their texts and a few behaviours, all
// given by a setup.
#include <QStringList>
#include <cstddef>
#include <optional>
#include <vector>

#include "common/paths.h"
#include "translation/messages.h"
#include "ui_kit/tavo_dialog.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace tavo {

struct Windows;
class ListEntryDialog;

// What the entry window does with its entry on OK.
enum class ListEntryMode { Create, Modify, Delete };

// One list file seen as grid rows: one text per grid column.
class ListRows {
  public:
    virtual ~ListRows() = default;
    virtual void createIfMissing(const DataPaths& data) const = 0;
    virtual std::vector<QStringList> readAll(const DataPaths& data) const = 0;
    virtual void append(const DataPaths& data, const QStringList& row) const = 0;
    virtual void overwrite(const DataPaths& data, std::size_t index,
                           const QStringList& row) const = 0;
    virtual void remove(const DataPaths& data, std::size_t index) const = 0;
};

// A list file of the core (`open` names it in the data folder) with the conversions of one
// entry to a grid row and back.
template <class File, class Entry>
class FileRows final : public ListRows {
  public:
    using Open = File (*)(const DataPaths&);
    using ToRow = QStringList (*)(const Entry&);
    using FromRow = Entry (*)(const QStringList&);
    FileRows(Open open, ToRow toRow, FromRow fromRow)
        : open_(open), toRow_(toRow), fromRow_(fromRow) {}

    void createIfMissing(const DataPaths& data) const override { open_(data).createIfMissing(); }
    std::vector<QStringList> readAll(const DataPaths& data) const override {
        std::vector<QStringList> rows;
        for (const Entry& entry : open_(data).readAll()) rows.push_back(toRow_(entry));
        return rows;
    }
    void append(const DataPaths& data, const QStringList& row) const override {
        open_(data).append(fromRow_(row));
    }
    void overwrite(const DataPaths& data, std::size_t index,
                   const QStringList& row) const override {
        open_(data).overwrite(index, fromRow_(row));
    }
    void remove(const DataPaths& data, std::size_t index) const override {
        open_(data).remove(index);
    }

  private:
    Open open_;
    ToRow toRow_;
    FromRow fromRow_;
};

// Name, Tag, built-in text and hint of one control (texts in UTF-8).
struct ControlText {
    const char* name;
    int tag;
    const char* text;
    const char* hint;
};

struct ListWindowSetup {
    const char* className;
    int tag;
    const char* caption;
    std::vector<ControlText> heads;  // labels above the grid
    std::vector<int> columnWidths;
    ControlText create, modify, remove, close;
    bool clickEnablesButtons;  // a click on a blank row disables "Modifier" and "Supprimer"
    // Caption of the dialog's OK for "Modifier"; none: "Modifier".
    std::optional<Msg> modifyCaptionMessage;
    ListEntryDialog* (*entryDialog)(const Windows&);
};

struct ListEntryDialogSetup {
    const char* className;
    int tag;
    const char* caption;
    std::vector<ControlText> labels;  // one per edit box
    std::vector<const char*> editNames;
    int maxLength;
    ControlText ok, cancel;
};

class ListWindow : public TavoDialog {
    Q_OBJECT
  public:
    // Entries of the list file at its last reading; grid rows from here on are blank.
    int entryCount() const { return entryCount_; }

  protected:
    ListWindow(App& app, const ListWindowSetup& setup, const ListRows& rows);

    // Each window places the shared controls itself.
    QTableWidget* SGrid;
    QPushButton* BtnCreer;
    QPushButton* BtnModifier;
    QPushButton* BtnSupprimer;
    std::vector<QLabel*> heads_;
    QPushButton* close_;

  private:
    void FormActivate() override;

    void BtnCreerClick();
    void BtnModifierClick();
    void BtnSupprimerClick();
    void SGridClick();

    ListEntryDialog& entryDialog() const;
    DataPaths data() const;
    // The current row when it holds an entry; otherwise shows Msg::SelectLineFirst and returns -1.
    int selectedEntry();
    QStringList rowTexts(int row) const;
    bool runDialog(ListEntryMode mode, int row, const QStringList& texts, const QString& okCaption,
                   bool okEnabled);
    void setRowCount(int rows);
    void blankRows(int last);
    void reload();

    const ListWindowSetup& setup_;
    const ListRows& rows_;
    int entryCount_ = 0;
};

class ListEntryDialog : public TavoDialog {
    Q_OBJECT
  public:
    ListEntryMode mode = ListEntryMode::Create;
    int entryIndex = 0;  // the entry to modify or delete (the grid row)

    // Fills the edit boxes and sets the OK button before the dialog is shown.
    void prepare(ListEntryMode newMode, int index, const QStringList& texts,
                 const QString& okCaption, bool okEnabled);
    QStringList texts() const;

  protected:
    ListEntryDialog(App& app, const ListEntryDialogSetup& setup, const ListRows& rows);
    // Writes the list file as the mode says, then closes with OK.
    void carryOut();

    std::vector<QLabel*> labels_;
    std::vector<QLineEdit*> edits_;
    QPushButton* ok_;
    QPushButton* cancel_;

  private:
    void EditChange();

    const ListRows& rows_;
    int maxLength_;  // characters the user may type in each box
};

}  // namespace tavo
