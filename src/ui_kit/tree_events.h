#pragma once
// How the subsystems' commands tell the rest of the program what changed, without knowing who
// shows it. The main window shows the open tree through OpenTreeView, called directly so that
// a file that cannot be read reports its error through the command's guard; the signals of
// TreeEvents let any other window follow along.
#include <QObject>

namespace tavo {

// The window that shows the open tree (the main window).
class OpenTreeView {
  public:
    virtual ~OpenTreeView() = default;
    // True while a tree is shown.
    virtual bool treeOpen() const = 0;
    // Panels and commands as after a creation, an opening, a closing or a deletion.
    virtual void treeCreated() = 0;
    virtual void treeOpened() = 0;
    virtual void treeClosed() = 0;
    virtual void treeDeleted(long cardCounter) = 0;
    // Shows the session's open tree and current card (names and reference photo).
    virtual void showTree() = 0;
    // Refills the works grid from the open tree's works file; an empty log shows Msg::NoWorksLine
    // when `reportEmpty`. With `blank`, the grid is only emptied (a new tree has no line).
    virtual void refillWorks(bool reportEmpty) = 0;
    virtual void blankWorks() = 0;
};

class TreeEvents : public QObject {
    Q_OBJECT
  signals:
    // A tree was created, opened, changed, closed or deleted, or its works log or gallery
    // changed: whatever shows several trees refreshes.
    void treeChanged();
    // The interface language changed and every text has been translated again.
    void languageChanged();
    // The last of the program's open dialogs closed: the main window is active again.
    void dialogsClosed();
};

}  // namespace tavo
