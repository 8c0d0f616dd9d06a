#pragma once
// The one way every window makes its controls: each gets its name, its Tag (0 means none, so
// the translation leaves it alone), its built-in caption or hint, and its place in the parent.
// A null geometry leaves the place to be set later, by a layout pass of the window.
#include <QRect>
#include <QString>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace tavo {

// Names, tags, hints and places a control made elsewhere (an empty hint sets none).
void placeWidget(QWidget* control, const char* name, int tag, const QString& hint,
                 const QRect& geometry);

template <class Control>
Control* placeControl(Control* control, const char* name, int tag, const QString& hint,
                      const QRect& geometry) {
    placeWidget(control, name, tag, hint, geometry);
    return control;
}

QLabel* makeLabel(QWidget* parent, const char* name, int tag, const QString& text,
                  const QRect& geometry = {});
// A label placed at topLeft and sized to its text; it carries the property kSizedToText.
inline constexpr const char* kSizedToText = "tavoSizedToText";
QLabel* makeLabel(QWidget* parent, const char* name, int tag, const QString& text,
                  const QPoint& topLeft);

// maxLength 0 keeps the line edit's own limit.
QLineEdit* makeEdit(QWidget* parent, const char* name, int tag, const QString& hint, int maxLength,
                    const QRect& geometry = {});

QPushButton* makeButton(QWidget* parent, const char* name, int tag, const QString& caption,
                        const QString& hint, const QRect& geometry = {});

QGroupBox* makeGroup(QWidget* parent, const char* name, int tag, const QString& title,
                     const QRect& geometry = {});

// An editable combo box whose typed text is never added to its list.
QComboBox* makeCombo(QWidget* parent, const char* name, int tag, const QString& hint,
                     const QRect& geometry = {});

QCheckBox* makeCheckBox(QWidget* parent, const char* name, int tag, const QString& caption,
                        const QString& hint, const QRect& geometry = {});

}  // namespace tavo
