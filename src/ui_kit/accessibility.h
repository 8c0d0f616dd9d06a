#pragma once
// What a screen reader and the Tab key need of a window built by hand: every input named by the
// label beside or above it, and a tab order that follows the reading order.
class QWidget;

namespace tavo {

// Gives each input of `window` the text of its label as accessible name (the label found once,
// by place: on its left on the same line, else just above it), a button without text its tool
// tip, and then any input still unnamed its tool tip or its group's title. Run again after a
// change of language: names follow the labels' texts.
void nameControls(QWidget* window);

// Orders the Tab key through `window` as one reads: container by container, each row from left
// to right, rows from top to bottom.
void orderTabsByReading(QWidget* window);

}  // namespace tavo
