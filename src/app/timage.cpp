#include "app/timage.h"

#include <QMouseEvent>
#include <QPixmap>

namespace tavo {

TImage::TImage(QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignCenter);
}

void TImage::setPicture(const Image& image) {
    if (image.empty()) {
        clearPicture();
        return;
    }
    picture_ = toQImage(image);
    setPixmap(QPixmap::fromImage(picture_));
}

void TImage::clearPicture() {
    picture_ = QImage();
    clear();
}

void TImage::mouseDoubleClickEvent(QMouseEvent* event) {
    QLabel::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

}  // namespace tavo
