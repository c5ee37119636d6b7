#pragma once

#include <QFont>

class QGroupBox;
class QHeaderView;
class QString;
class QWidget;

namespace quellar {

// The font every window's controls were sized for: a sans face with the widths of
// the classic Windows dialog fonts (Liberation Sans has Arial's), 11 pixels high.
// Where the platform resolves the list of faces to a face outside it, the first
// face of the list that is installed.
QFont ClassicWindowFont();

// A group box in parent whose frame's top line runs through the middle of the
// title, as classic ones do, so the controls placed just below a title stay clear
// of the frame.
QGroupBox* NewClassicGroupBox(const QString& title, QWidget* parent);

// A horizontal table header in parent that measures its captions in its own font
// rather than in bold.
QHeaderView* NewPlainHeader(QWidget* parent);

}  // namespace quellar
