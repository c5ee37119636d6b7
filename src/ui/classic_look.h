#pragma once

#include <QFont>

class QWidget;

namespace quellar {

// The font every window's controls were sized for: a sans face with the widths of
// the classic Windows dialog fonts (Liberation Sans has Arial's), 11 pixels high.
QFont ClassicWindowFont();

// Gives the group boxes of window a frame whose top line runs through the middle
// of the title, as classic ones do, so the controls placed just below a title
// stay clear of the frame. Call once the controls exist.
void UseClassicGroupBoxes(QWidget& window);

}  // namespace quellar
