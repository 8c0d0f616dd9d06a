#include "ui_kit/controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui_kit/app.h"
#include "ui_kit/tags.h"

namespace tavo {

void placeWidget(QWidget* control, const char* name, int tag, const QString& hint,
                 const QRect& geometry) {
    control->setObjectName(QString::fromLatin1(name));
    if (tag != 0) setTag(control, tag);
    if (!hint.isEmpty()) control->setToolTip(hint);
    if (!geometry.isNull()) control->setGeometry(geometry);
}

QLabel* makeLabel(QWidget* parent, const char* name, int tag, const QString& text,
                  const QRect& geometry) {
    return placeControl(new QLabel(text, parent), name, tag, QString(), geometry);
}

QLabel* makeLabel(QWidget* parent, const char* name, int tag, const QString& text,
                  const QPoint& topLeft) {
    QLabel* label = makeLabel(parent, name, tag, text);
    label->move(topLeft);
    label->adjustSize();
    // Sized to its text, so it must grow with a longer translation (the translator looks).
    label->setProperty(kSizedToText, true);
    return label;
}

QLineEdit* makeEdit(QWidget* parent, const char* name, int tag, const QString& hint, int maxLength,
                    const QRect& geometry) {
    auto* edit = new QLineEdit(parent);
    if (maxLength > 0) edit->setMaxLength(maxLength);
    return placeControl(edit, name, tag, hint, geometry);
}

QPushButton* makeButton(QWidget* parent, const char* name, int tag, const QString& caption,
                        const QString& hint, const QRect& geometry) {
    return placeControl(new QPushButton(caption, parent), name, tag, hint, geometry);
}

QGroupBox* makeGroup(QWidget* parent, const char* name, int tag, const QString& title,
                     const QRect& geometry) {
    return placeControl(new QGroupBox(title, parent), name, tag, QString(), geometry);
}

QComboBox* makeCombo(QWidget* parent, const char* name, int tag, const QString& hint,
                     const QRect& geometry) {
    auto* box = new QComboBox(parent);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    return placeControl(box, name, tag, hint, geometry);
}

QCheckBox* makeCheckBox(QWidget* parent, const char* name, int tag, const QString& caption,
                        const QString& hint, const QRect& geometry) {
    return placeControl(new QCheckBox(caption, parent), name, tag, hint, geometry);
}

}  // namespace tavo
