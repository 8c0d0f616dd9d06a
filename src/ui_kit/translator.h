#pragma once
// The translator component: loads a language file into its text table, walks the program's
// windows setting every tagged component's texts, and answers numbered-text lookups.
#include <QLabel>
#include <QObject>
#include <QString>
#include <QTranslator>
#include <functional>
#include <memory>
#include <vector>

#include "translation/language_table.h"

class QMenuBar;
class QMenu;
class QAction;

namespace tavo {

class UiSeam;

enum class TTransType { ttComplete = 0, ttPartial = 1 };

class TEdtTranslator : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString LanguageFile READ LanguageFile WRITE SetLanguageFile)
    Q_PROPERTY(QString PathFiles READ PathFiles WRITE SetPathFiles)
    Q_PROPERTY(bool DebugMode READ DebugMode WRITE SetDebugMode)
  public:
    // `windows` lists the program's windows in creation order; `ui` shows the warning box.
    TEdtTranslator(QWidget* owner, const std::vector<QWidget*>* windows, UiSeam* ui);

    QString LanguageFile() const { return languageFile_; }
    QString PathFiles() const { return pathFiles_; }
    bool DebugMode() const { return debugMode_; }
    TTransType TranlationType() const { return type_; }
    void SetLanguageFile(const QString& v) { languageFile_ = v; }
    void SetPathFiles(const QString& v) { pathFiles_ = v; }
    void SetDebugMode(bool v) { debugMode_ = v; }
    void SetTranlationType(TTransType v) { type_ = v; }

    // One translation pass. A malformed number in the file throws ConversionError.
    void Translate();
    // The stored text, or the empty text when missing (with the warning box in debug mode,
    // except for hints, key 1).
    QString GetTranslation(int section, int key);
    // The same without the warning box.
    QString QuietTranslation(int section, int key) const;
    bool LoadLanguageFile(const QString& path);
    void TranslateComponent(QObject* component);
    // The locale of the language file (its entry 0990 0000, "fr_FR" for instance).
    QString Locale() const;

  signals:
    void OnBeforeTranslate(QObject* sender);
    void OnTranslate(QObject* sender);
    void OnAfterTranslate(QObject* sender);

  private:
    void translateMenuItems(const QList<QAction*>& items);
    // Qt's own texts (Yes and No buttons, the folder browser) follow the language file's locale.
    void useQtTexts();

    QWidget* owner_;
    const std::vector<QWidget*>* windows_;
    UiSeam* ui_;
    QString languageFile_;
    QString pathFiles_;
    bool debugMode_ = false;
    TTransType type_ = TTransType::ttComplete;
    LanguageTable table_;
    std::unique_ptr<QTranslator> qtTexts_;
};

// A label that opens its hint (a link target) with the desktop when clicked.
class TEdtURLLabel : public QLabel {
    Q_OBJECT
  public:
    TEdtURLLabel(UiSeam* ui, QWidget* parent = nullptr);

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    UiSeam* ui_;
};

}  // namespace tavo
