#include "photos/picture_control.h"

#include <QMouseEvent>
#include <QPixmap>

namespace tavo {

PictureControl::PictureControl(QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void PictureControl::setPicture(const Image& picture) {
    if (picture.empty()) {
        clearPicture();
        return;
    }
    picture_ = QImage(picture.data(), picture.width, picture.height,
                      static_cast<qsizetype>(picture.stride()), QImage::Format_RGB888)
                   .copy();
    setPixmap(QPixmap::fromImage(picture_));
}

void PictureControl::clearPicture() {
    picture_ = QImage();
    clear();
}

void PictureControl::mouseDoubleClickEvent(QMouseEvent* event) {
    QLabel::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

Rgb backgroundOf(const QWidget* window) {
    const QColor c = window->palette().color(QPalette::Window);
    return {static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
            static_cast<std::uint8_t>(c.blue())};
}

}  // namespace tavo
