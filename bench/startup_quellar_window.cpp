// Quellar's own start-up up to the first paint of its main window, as the program
// makes it: the font configuration read beside the rest, the clan lists, the
// application, the main window loading the settings file given as the first
// argument's directory, the hidden settings and about dialogs, then show.
#include <QApplication>
#include <QElapsedTimer>
#include <memory>
#include <utility>

#include "settings/clan_lists.h"
#include "startup_first_paint.h"
#include "ui/font_warm_up.h"
#include "ui/shell.h"

int main(int argc, char** argv) {
  QElapsedTimer sinceMain;
  sinceMain.start();
  quellar::FontConfigWarmUp fonts;
  quellar::TheClanLists();
  QApplication application(argc, argv);
  quellar::MainWindowContext context;
  if (argc > 1)
    context.settingsDirectory = argv[1];
  fonts.Wait();
  std::unique_ptr<quellar::MainWindow> main = quellar::CreateWindows(std::move(context));
  quellar::bench::FirstPaint firstPaint(*main, sinceMain);
  main->show();
  return QApplication::exec();
}
