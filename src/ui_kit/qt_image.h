#pragma once
// Pictures computed by the core, as Qt shows them.
#include <QImage>

#include "imaging/imaging.h"

class QColor;
class QWidget;

namespace tavo {

// A copy of a core picture as a Qt image (24-bit colour).
QImage toQImage(const Image& image);

Rgb rgbOf(const QColor& colour);

// The background colour of the windows (the application palette's), as the core paints it.
Rgb windowBackground();
// A widget's background colour, as the core paints it.
Rgb backgroundOf(const QWidget* widget);

}  // namespace tavo
