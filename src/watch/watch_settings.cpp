#include "watch/watch_settings.h"

#include <QCoreApplication>
#include <QFile>
#include <filesystem>

#include "history/history_location.h"
#include "settings/clan_lists.h"
#include "settings/settings_file.h"
#include "settings/settings_location.h"

namespace quellar::watch {
namespace {

std::filesystem::path ExecutableDirectory() {
#ifdef _WIN32
  // Qt names it with forward slashes; messages name options.ini the Windows way.
  return std::filesystem::path(QCoreApplication::applicationDirPath().toStdWString())
      .make_preferred();
#else
  return std::filesystem::path(
      QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
#endif
}

}  // namespace

ProxySettings LoadProxySettings() {
  ClanLists clans;  // the window's lists; a watcher names its clan itself
  ProxySettings proxy;
  LoadSettings(ChooseSettingsFile(ExecutableDirectory(), UserConfigDirectory()), clans, proxy);
  return proxy;
}

std::filesystem::path HistoryFilePath() {
  const std::filesystem::path executableDirectory = ExecutableDirectory();
  return ChooseHistoryFile(ChooseSettingsFile(executableDirectory, UserConfigDirectory()),
                           executableDirectory, UserDataDirectory());
}

}  // namespace quellar::watch
