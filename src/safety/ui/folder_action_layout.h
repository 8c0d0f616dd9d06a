#pragma once
// The layout the backup and restore windows share: a label, the chosen folder shown read-only,
// a browse button, the action button (off until a folder is chosen) and a cancel button.
#include <QString>
#include <functional>
#include <string>

#include "translation/messages.h"

class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tavo {

class App;

// What tells the two windows apart: their texts, the Tags and the names of the last two buttons.
struct FolderActionTexts {
    int labelTag;
    QString label;
    int pathTag;  // 0: the folder box is not translated
    QString pathHint;
    int browseTag;
    QString browseHint;
    const char* actionName;
    int actionTag;
    QString actionCaption;
    QString actionHint;
    const char* cancelName;
    int cancelTag;
    QString cancelHint;
};

struct FolderActionControls {
    QLabel* label;
    QLineEdit* path;
    QPushButton* browse;
    QPushButton* action;
    QPushButton* cancel;
};

// Builds the controls in the window and connects the buttons: browse and action run their
// handler under the error guard, cancel rejects the window.
FolderActionControls buildFolderActionLayout(App& app, QDialog* window,
                                             const FolderActionTexts& texts,
                                             const std::function<void()>& browse,
                                             const std::function<void()>& action);

// Ends the action: why it failed comes first (when there is a reason), then the program's own
// message `message`; the window closes with OK only when the action succeeded.
void finishFolderAction(App& app, QDialog* window, const std::string& failure, Msg message,
                        bool succeeded);

}  // namespace tavo
