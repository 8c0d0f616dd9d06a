#include "ui_kit/qt_image.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

namespace tavo {

QImage toQImage(const Image& image) {
    if (image.empty()) return {};
    return QImage(image.data(), image.width, image.height, static_cast<qsizetype>(image.stride()),
                  QImage::Format_RGB888)
        .copy();
}

Rgb rgbOf(const QColor& c) {
    return {static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
            static_cast<std::uint8_t>(c.blue())};
}

Rgb backgroundOf(const QWidget* widget) {
    return rgbOf(widget->palette().color(QPalette::Window));
}

Rgb windowBackground() {
    return rgbOf(QApplication::palette().color(QPalette::Window));
}

}  // namespace tavo
