// The yardsticks for start-up: a bare Qt Widgets window of the main window's size,
// empty, or (with the argument "label") showing one line of text, so that it pays
// for starting the font system as every window with a caption does.
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QWidget>
#include <cstring>

#include "startup_first_paint.h"

int main(int argc, char** argv) {
  QElapsedTimer sinceMain;
  sinceMain.start();
  QApplication application(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Quellar"));
  window.setFixedSize(410, 417);
  window.move(359, 198);
  if (argc > 1 && std::strcmp(argv[1], "label") == 0)
    (new QLabel(QStringLiteral("Quellar"), &window))->move(8, 8);
  quellar::bench::FirstPaint firstPaint(window, sinceMain);
  window.show();
  return QApplication::exec();
}
