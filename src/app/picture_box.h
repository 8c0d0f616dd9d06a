#pragma once
// Pictures computed by the core, shown in windows.
#include <QImage>
#include <QLabel>

#include "photos/imaging.h"

namespace tavo {

// A copy of a core picture as a Qt image (24-bit colour).
QImage toQImage(const Image& image);

// A widget's background colour, as the core paints it.
Rgb backgroundOf(const QWidget* widget);

// A picture control: shows one picture, unscaled, centred unless told otherwise, and reports
// double clicks. It is its own kind, so the translator gives it no text even when it carries a
// Tag.
class TImage : public QLabel {
    Q_OBJECT
  public:
    explicit TImage(QWidget* parent = nullptr);

    void setPicture(const Image& image);
    void clearPicture();
    // What the control shows (a null image when empty).
    const QImage& picture() const { return picture_; }

  signals:
    void doubleClicked();

  protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    QImage picture_;
};

}  // namespace tavo
