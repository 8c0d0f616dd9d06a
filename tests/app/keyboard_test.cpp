#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>

#include "app/about_box.h"
#include "support/program_fixture.h"
#include "translation/ui/language_chooser.h"
#include "ui_kit/tavo_dialog.h"

using namespace tavo;
using namespace tavo::test;

using KeyboardTest = ProgramTest;

TEST_F(KeyboardTest, EscapeClosesDialogsAndEnterClosesTheAboutBoxOnce) {
    start();
    TF_APropos* about = program->windows().aPropos;
    int closes = 0;
    QObject::connect(about, &QDialog::finished, [&](int) { ++closes; });
    about->show();
    child(about, "Button1")->setFocus();
    QTest::keyClick(child<QPushButton>(about, "Button1"), Qt::Key_Return);
    EXPECT_FALSE(about->isVisible());
    EXPECT_EQ(closes, 1);

    TF_ChoixLangue* chooser = program->windows().choixLangue;
    chooser->show();
    const QString text = textOf(chooser, "CB_ListeLangues");
    QTest::keyClick(child<QComboBox>(chooser, "CB_ListeLangues"), Qt::Key_Escape);
    EXPECT_FALSE(chooser->isVisible());
    EXPECT_EQ(textOf(chooser, "CB_ListeLangues"), text);
}

TEST_F(KeyboardTest, EnterPressesNoButtonWhereItHasNoMeaning) {
    start();
    QDialog* list = reinterpret_cast<QDialog*>(program->windows().all[9]);  // a list editor
    auto* button = new QPushButton("B", list);
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
    list->show();
    auto* edit = new QLineEdit(list);
    edit->show();
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(list->isVisible());
    list->reject();
}

TEST_F(KeyboardTest, EveryControlIsNamedAndEachShowingStartsOnTheFirstInput) {
    start();
    main().treeOpened();
    const auto checkNames = [](QWidget* window) {
        for (QWidget* w : window->findChildren<QWidget*>()) {
            if (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisibleTo(window) || w->isWindow())
                continue;
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
            ASSERT_NE(a, nullptr);
            EXPECT_FALSE(a->text(QAccessible::Name).trimmed().isEmpty())
                << window->objectName().toStdString() << " / " << w->objectName().toStdString()
                << " (" << w->metaObject()->className() << ")";
        }
    };
    checkNames(&main());
    for (QWidget* window : program->windows().all) {
        auto* dialog = qobject_cast<TavoDialog*>(window);
        if (!dialog) continue;
        SCOPED_TRACE(dialog->objectName().toStdString());
        dialog->show();
        checkNames(dialog);
        // Closing with a button must not leave the next showing on that button: each showing
        // starts where the first did, on an input when the window has one.
        QWidget* first = dialog->focusWidget();
        const QList<QWidget*> children = dialog->findChildren<QWidget*>();
        const bool hasInput = std::any_of(children.begin(), children.end(), [&](QWidget* w) {
            return (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(dialog) &&
                   !qobject_cast<QAbstractButton*>(w);
        });
        // The import starts on choosing its file (the field is read-only), the checker's report
        // on closing it.
        if (hasInput && dialog->objectName() != "ImportWindow" &&
            dialog->objectName() != "CheckWindow") {
            EXPECT_FALSE(qobject_cast<QAbstractButton*>(first));
        }
        const auto buttons = dialog->findChildren<QPushButton*>();
        if (!buttons.isEmpty()) buttons.back()->setFocus();
        dialog->hide();
        dialog->show();
        EXPECT_EQ(dialog->focusWidget(), first);
        dialog->hide();
    }
}
