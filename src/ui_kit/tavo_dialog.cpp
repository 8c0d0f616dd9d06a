#include "ui_kit/tavo_dialog.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>

#include "ui_kit/accessibility.h"
#include "ui_kit/app.h"
#include "ui_kit/tags.h"

namespace tavo {
namespace {
constexpr const char* kWrites = "tavoWrites";
}

TavoDialog::TavoDialog(App& app, const char* className, int tag, const QString& title,
                       QWidget* parent)
    : QDialog(parent), app_(app) {
    setObjectName(QString::fromLatin1(className));
    setTag(this, tag);
    setWindowTitle(title);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint);
    setModal(true);
}

void TavoDialog::setClientSize(int width, int height) {
    setFixedSize(width, height);
}

void TavoDialog::showEvent(QShowEvent* event) {
    watchChildren();
    if (!tabsOrdered_) {
        orderTabsByReading(this);
        tabsOrdered_ = true;
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
    // The control that had the focus when the window closed gives it up.
    if (QWidget* last = focusWidget()) last->clearFocus();
    app_.guard(this, [this] { FormActivate(); });
    nameControls(this);
    // A window shown while another program holds the data folder changes nothing.
    if (app_.readOnly())
        for (auto* child : findChildren<QWidget*>())
            if (child->property(kWrites).toBool()) child->setEnabled(false);
    // Each showing starts on the first input, not on the button that closed the window last
    // time, unless the window chose its focus itself.
    if (!focusWidget())
        if (QWidget* first = firstInput()) first->setFocus(Qt::TabFocusReason);
}

QWidget* TavoDialog::firstInput() const {
    QWidget* firstFocusable = nullptr;
    for (QWidget* w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain()) {
        if (!isAncestorOf(w) || !w->isEnabled() || !w->isVisibleTo(this) ||
            !(w->focusPolicy() & Qt::TabFocus))
            continue;
        if (!qobject_cast<QAbstractButton*>(w)) return w;
        if (!firstFocusable) firstFocusable = w;
    }
    return firstFocusable;
}

std::function<void()> TavoDialog::guarded(std::function<void()> command) {
    return [this, command = std::move(command)] { app_.guard(this, command); };
}

void TavoDialog::onClick(QAbstractButton* button, std::function<void()> command) {
    connect(button, &QAbstractButton::clicked, this, guarded(std::move(command)));
}

void TavoDialog::markWriting(std::initializer_list<QWidget*> controls) {
    for (QWidget* c : controls) c->setProperty(kWrites, true);
}

void TavoDialog::watchChildren() {
    // Enter must not press a button by accident: no button is a default one.
    for (auto* button : findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    for (auto* child : findChildren<QWidget*>()) child->installEventFilter(this);
}

bool TavoDialog::FormKeyPress(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Escape ||
        (closeOnEnter_ && (key == Qt::Key_Return || key == Qt::Key_Enter))) {
        reject();
        return true;
    }
    return false;
}

bool TavoDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && isVisible())
        if (FormKeyPress(static_cast<QKeyEvent*>(event))) return true;
    // The key that closes the window is consumed entirely, release and shortcut included.
    if (event->type() == QEvent::ShortcutOverride) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape) {
            event->accept();
            return false;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TavoDialog::keyPressEvent(QKeyEvent* event) {
    if (!FormKeyPress(event)) QDialog::keyPressEvent(event);
}

}  // namespace tavo
