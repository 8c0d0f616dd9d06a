#include "ui_kit/busy_cursor.h"

#include <QApplication>

namespace tavo {

BusyCursor::BusyCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}
BusyCursor::~BusyCursor() {
    QApplication::restoreOverrideCursor();
}

}  // namespace tavo
