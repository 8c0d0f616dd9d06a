#pragma once
// What every window shares: the session state, the UI seam, the translator, the windows and the
// events that tell what changed.
#include <QString>
#include <exception>
#include <filesystem>
#include <functional>
#include <memory>

#include "common/paths.h"
#include "translation/messages.h"
#include "ui_kit/session.h"
#include "ui_kit/tree_events.h"
#include "ui_kit/ui_seam.h"
#include "ui_kit/windows.h"

class QDialog;
class QWidget;

namespace tavo {

class TEdtTranslator;
class FolderLock;

// What this program may do with its data folder.
enum class FolderAccess {
    Write,     // the program holds the folder's lock (or nobody can write the folder at all)
    ReadOnly,  // another program holds it, and the user chose to read only
    Quit,      // another program holds it, and the user chose to quit
};

class App {
  public:
    App(Session& session, UiSeam& ui);
    ~App();

    Session& session;
    UiSeam& ui;
    TEdtTranslator* translator = nullptr;  // lives on the main window
    Windows windows;
    TreeEvents events;
    OpenTreeView* treeView = nullptr;  // the main window

    // A message of the message table, fetched from the translator at the moment it is needed.
    QString msg(Msg m) const;
    // The main window, the parent of messages that have no window of their own; null before
    // the windows are made.
    QWidget* mainWindow() const { return windows.all.empty() ? nullptr : windows.all.front(); }
    // The data folder and every path in it.
    DataPaths data() const { return DataPaths{session.dataFolder}; }

    // The error box's text for `error`, in the interface language.
    QString errorText(const std::exception& error) const;
    // Takes the lock of the session's data folder, releasing the lock of the folder held
    // before. When another program holds it, the user is asked whether to read only or quit.
    FolderAccess lockDataFolder(QWidget* parent);
    // The folder the last lockDataFolder was about (held or not).
    const std::filesystem::path& lockedFolder() const { return lockedFolder_; }
    bool readOnly() const { return readOnly_; }
    // The lock this program holds on its data folder; none in read-only mode.
    const FolderLock* folderLock() const { return folderLock_.get(); }
    // Every command that writes the data folder asks first: in read-only mode the user is told
    // why nothing happens (over `parent`, or the main window), and the answer is false.
    bool writable(QWidget* parent = nullptr);

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
    std::unique_ptr<FolderLock> folderLock_;
    std::filesystem::path lockedFolder_;
    bool readOnly_ = false;
};

}  // namespace tavo
