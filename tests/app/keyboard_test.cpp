#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/about_box.h"
#include "support/program_fixture.h"
#include "translation/ui/language_chooser.h"

using namespace tavo;
using namespace tavo::test;

using KeyboardTest = ProgramTest;

TEST_F(KeyboardTest, EscapeClosesDialogsAndEnterClosesTheAboutBoxOnce) {
    start();
    TF_APropos* about = program->windows().aPropos;
    int closes = 0;
    QObject::connect(about, &QDialog::finished, [&](int) { ++closes; });
    about->show();
    about->Button1->setFocus();
    QTest::keyClick(about->Button1, Qt::Key_Return);
    EXPECT_FALSE(about->isVisible());
    EXPECT_EQ(closes, 1);

    TF_ChoixLangue* chooser = program->windows().choixLangue;
    chooser->show();
    const QString text = chooser->CB_ListeLangues->currentText();
    QTest::keyClick(chooser->CB_ListeLangues, Qt::Key_Escape);
    EXPECT_FALSE(chooser->isVisible());
    EXPECT_EQ(chooser->CB_ListeLangues->currentText(), text);
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
