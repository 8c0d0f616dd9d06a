#include "app/picture_box.h"

#include <QMouseEvent>
#include <QPixmap>

namespace tavo {

QImage toQImage(const Image& image) {
    if (image.empty()) return {};
    return QImage(image.data(), image.width, image.height, static_cast<qsizetype>(image.stride()),
                  QImage::Format_RGB888)
        .copy();
}

Rgb backgroundOf(const QWidget* widget) {
    const QColor c = widget->palette().color(QPalette::Window);
    return {static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
            static_cast<std::uint8_t>(c.blue())};
}

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
