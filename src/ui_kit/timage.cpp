#include "ui_kit/timage.h"

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
    setPixmap(QPixmap::fromImage(toQImage(image)));
}

void TImage::clearPicture() {
    clear();
}

void TImage::mouseDoubleClickEvent(QMouseEvent* event) {
    QLabel::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

}  // namespace tavo
