#pragma once
// What the export and import windows share: a run that shows its progress and can be stopped
// with the cancel button (or Escape, or the window's close button), and the check of the folder
// the run writes into.
#include <QElapsedTimer>
#include <QList>
#include <filesystem>

#include "exchange/exchange.h"
#include "ui_kit/tavo_dialog.h"

class QProgressBar;
class QPushButton;

namespace tavo {

class ExchangeDialog : public TavoDialog {
    Q_OBJECT
  public:
    using TavoDialog::TavoDialog;

    // While a run goes on, closing the window asks it to stop instead; the run then removes
    // what it wrote and the window stays open to say so.
    void reject() override;
    bool running() const { return running_; }

  protected:
    // Marks the window as running for its lifetime: inputs off, the bar reset.
    class Run {
      public:
        explicit Run(ExchangeDialog& dialog);
        ~Run();
        Run(const Run&) = delete;
        Run& operator=(const Run&) = delete;

      private:
        ExchangeDialog& dialog_;
    };

    // Moves the bar and lets the window answer clicks between two steps of the run; false once
    // the user asked to stop.
    Progress progress();

    // The folder typed or chosen, made absolute; empty when nothing is given.
    static std::filesystem::path folderOf(const QString& text);
    // Tells the user why `folder` cannot take the run (message box) and returns false, or
    // returns true when it is new or empty and outside the data folder.
    bool acceptsFolder(const std::filesystem::path& folder);

    QProgressBar* progressBar_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QList<QWidget*> inputs_;  // turned off while running

  private:
    bool running_ = false;
    bool stopAsked_ = false;
    QElapsedTimer sincePump_;
};

}  // namespace tavo
