#include "ui/shell.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QSize>
#include <QTranslator>

#include "settings/clan_lists.h"
#include "settings/settings_file.h"
#include "ui/about_dialog.h"
#include "ui/error_box.h"
#include "ui/font_warm_up.h"
#include "ui/settings_dialog.h"

namespace quellar {
namespace {

// Qt's own texts (the error box's button, the edit fields' context menus) in
// Russian like the rest of the program, whatever the desktop's language.
void LoadQtRussianTexts(QApplication& application) {
  auto* translator = new QTranslator(&application);
  if (translator->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"),
                       QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(translator);
}

// The windows' icon: the images of the executable's own icon up to 64 pixels, as
// PNG files, which Qt reads itself. The .ico made Qt load an image plugin and
// decode every image in it, the 256-pixel one too, which came to a tenth of all
// the work before the main window's first paint.
QIcon WindowIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64})
    icon.addFile(QStringLiteral(":/icons/quellar-%1.png").arg(size), QSize(size, size));
  return icon;
}

}  // namespace

std::unique_ptr<MainWindow> CreateWindows(MainWindowContext context) {
  // The name is also the X11 window class the desktop entry names.
  QCoreApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
  QApplication::setWindowIcon(WindowIcon());
  ClanLists& clans = context.clans.get();
  auto main = std::make_unique<MainWindow>(std::move(context));
  auto* settings = new SettingsDialog(main->settingsFile(), clans, main.get());
  auto* about = new AboutDialog(main.get());
  QObject::connect(settings, &SettingsDialog::settingsSaved, main.get(),
                   &MainWindow::reloadSettings);
  main->attachDialogs(settings, about);
  return main;
}

int RunQuellar(int argc, char** argv) {
  FontConfigWarmUp fonts;
  TheClanLists();  // the clan lists exist before any window
  QApplication application(argc, argv);
  LoadQtRussianTexts(application);
  fonts.Wait();
  std::unique_ptr<MainWindow> main = CreateWindows();
  main->show();
  return QApplication::exec();
}

}  // namespace quellar
