#include "ui/shell.h"

#include <QApplication>

#include "settings/clan_lists.h"
#include "settings/settings_file.h"
#include "ui/Unit3.h"
#include "ui/Unit4.h"
#include "ui/error_box.h"

namespace quellar {

std::unique_ptr<TMain> CreateWindows(MainWindowContext context) {
  QCoreApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
  ClanLists& clans = context.clans.get();
  auto main = std::make_unique<TMain>(std::move(context));
  auto* param = new Tparam(main->settingsFile(), clans, main.get());
  auto* about = new TAbout(main.get());
  QObject::connect(param, &Tparam::settingsSaved, main.get(), &TMain::FormCreate);
  main->AttachDialogs(param, about);
  return main;
}

int RunQuellar(int argc, char** argv) {
  TheClanLists();  // the clan lists exist before any window
  QApplication application(argc, argv);
  std::unique_ptr<TMain> Main = CreateWindows();
  Main->show();
  return QApplication::exec();
}

}  // namespace quellar
