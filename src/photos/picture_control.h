#pragma once
// A picture control: shows one picture computed by the core, unscaled, and reports double
// clicks. It is not a plain label, so the translation pass never replaces its picture by a text.
#include <QImage>
#include <QLabel>

#include "photos/imaging.h"

namespace tavo {

class PictureControl : public QLabel {
    Q_OBJECT
  public:
    explicit PictureControl(QWidget* parent = nullptr);

    // Shows `picture`; with centred content it sits in the middle of the control, otherwise at
    // its top-left corner.
    void setPicture(const Image& picture);
    void clearPicture();
    // The picture shown (null when none).
    const QImage& picture() const { return picture_; }

  signals:
    void doubleClicked();

  protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    QImage picture_;
};

// The colour of a window's background, as the core paints it.
Rgb backgroundOf(const QWidget* window);

}  // namespace tavo
