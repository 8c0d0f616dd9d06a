#pragma once
// TImage: the picture control of the windows.
#include <QImage>
#include <QLabel>

#include "ui_kit/qt_image.h"

namespace tavo {

// A picture control: shows one picture, unscaled, centred unless told otherwise, and reports
// double clicks. It is its own kind, so the translator gives it no text even when it carries a
// Tag.
class TImage : public QLabel {
    Q_OBJECT
  public:
    explicit TImage(QWidget* parent = nullptr);

    void setPicture(const Image& image);
    void clearPicture();
    // What the control shows (a null image when empty). The picture is held once, as the
    // control's pixmap; this copies it out.
    QImage picture() const { return pixmap().toImage(); }

  signals:
    void doubleClicked();

  protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

}  // namespace tavo
