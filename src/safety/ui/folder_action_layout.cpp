#include "safety/ui/folder_action_layout.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui_kit/app.h"
#include "ui_kit/controls.h"
#include "ui_kit/qt_text.h"

namespace tavo {

FolderActionControls buildFolderActionLayout(App& app, QDialog* window,
                                             const FolderActionTexts& texts,
                                             const std::function<void()>& browse,
                                             const std::function<void()>& action) {
    FolderActionControls c;
    c.label = makeLabel(window, "Label1", texts.labelTag, texts.label, {16, 12, 320, 20});
    // The folder is chosen with the browser only, never typed.
    c.path = makeEdit(window, "Edit1", texts.pathTag, texts.pathHint, 0, {16, 36, 384, 26});
    c.path->setEnabled(false);
    c.path->setFrame(false);
    c.browse = makeButton(window, "btn_parcourir1", texts.browseTag, QStringLiteral("Parcourir..."),
                          texts.browseHint, {408, 35, 100, 28});
    c.action = makeButton(window, texts.actionName, texts.actionTag, texts.actionCaption,
                          texts.actionHint, {154, 86, 100, 28});
    c.action->setEnabled(false);
    c.cancel = makeButton(window, texts.cancelName, texts.cancelTag, QStringLiteral("Annuler"),
                          texts.cancelHint, {266, 86, 100, 28});
    QObject::connect(c.browse, &QPushButton::clicked, window,
                     [&app, window, browse] { app.guard(window, browse); });
    QObject::connect(c.action, &QPushButton::clicked, window,
                     [&app, window, action] { app.guard(window, action); });
    QObject::connect(c.cancel, &QPushButton::clicked, window, &QDialog::reject);
    return c;
}

void finishFolderAction(App& app, QDialog* window, const std::string& failure, Msg message,
                        bool succeeded) {
    if (!failure.empty()) app.ui.error(window, toQString(failure));
    app.ui.message(window, app.msg(message));
    if (succeeded)
        window->accept();
    else
        window->reject();
}

}  // namespace tavo
