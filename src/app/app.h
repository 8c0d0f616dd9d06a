#pragma once
// What every window shares: the session state, the UI seam, the translator, the windows and the
// events that tell what changed.
#include <QString>
#include <exception>
#include <filesystem>
#include <functional>

#include "app/session.h"
#include "app/tree_events.h"
#include "app/ui_seam.h"
#include "app/windows.h"
#include "common/paths.h"

class QDialog;
class QWidget;

namespace tavo {

class TEdtTranslator;

class App {
  public:
    App(Session& session, UiSeam& ui) : session(session), ui(ui) {}

    Session& session;
    UiSeam& ui;
    TEdtTranslator* translator = nullptr;  // lives on the main window
    Windows windows;
    TreeEvents events;
    OpenTreeView* treeView = nullptr;  // the main window

    // Message N of the message table, fetched from the translator at the moment it is needed.
    QString msg(int n) const;
    // The data folder and every path in it.
    DataPaths data() const { return DataPaths{session.dataFolder}; }

    // The error box's text for `error`, in the interface language.
    QString errorText(const std::exception& error) const;

    // Runs one user command: errors of the core (and any other exception) are shown in the
    // general error box, the cursor is restored and the window stays open. Returns false when
    // the command failed.
    bool guard(QWidget* parent, const std::function<void()>& command);

    // Shows a window modally through the seam and returns its result; `events.dialogsClosed`
    // fires when the last open dialog closes.
    int showModal(QDialog* dialog);

    // The program version, four numbers joined by ".".
    static QString version();
    // Today's date as the program stores dates: dd/mm/yyyy.
    static QString today();

  private:
    int modalDepth_ = 0;
};

}  // namespace tavo
