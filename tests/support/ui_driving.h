#pragma once
// Driving windows as a person does: controls are found by their object name, menu items are
// triggered and buttons clicked, so every command passes the error guard once.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

namespace tavo::test {

// The child of `root` of type T named `name`; a test that names a missing control fails.
template <class T = QWidget>
T* child(const QObject* root, const char* name) {
    T* found = root->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << "no control named " << name;
    return found;
}

// Chooses a menu item, as a click on it would (a disabled item does nothing).
inline void trigger(const QObject* window, const char* action) {
    if (QAction* a = child<QAction>(window, action)) a->trigger();
}

// Whether the control or menu item `name` can be used.
inline bool enabled(const QObject* window, const char* name) {
    QObject* o = child<QObject>(window, name);
    if (auto* a = qobject_cast<QAction*>(o)) return a->isEnabled();
    if (auto* w = qobject_cast<QWidget*>(o)) return w->isEnabled();
    return false;
}

// Whether the check box or radio button `name` is ticked.
inline bool checked(const QObject* window, const char* name) {
    const QAbstractButton* b = child<QAbstractButton>(window, name);
    return b && b->isChecked();
}

// A click on a push button, check box or radio button.
inline void click(const QObject* window, const char* button) {
    if (QAbstractButton* b = child<QAbstractButton>(window, button)) b->click();
}

// The text shown by the line edit, label or combo box `name`.
inline QString textOf(const QObject* window, const char* name) {
    QWidget* w = child(window, name);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text();
    if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
    if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->currentText();
    ADD_FAILURE() << name << " shows no text";
    return {};
}

// Sets the text of the line edit `name` (its textChanged fires, as when typing).
inline void setText(const QObject* window, const char* name, const QString& text) {
    if (QLineEdit* e = child<QLineEdit>(window, name)) e->setText(text);
}

// A double click on the current row of a grid (on its first cell).
inline void doubleClick(const QObject* window, const char* grid) {
    if (QTableWidget* g = child<QTableWidget>(window, grid))
        emit g->cellDoubleClicked(std::max(0, g->currentRow()), 0);
}

}  // namespace tavo::test
