#include "settings/settings_location.h"

#include <QStandardPaths>
#include <QString>
#include <QTemporaryFile>
#include <system_error>

#include "common/path_text.h"
#include "settings/settings_file.h"

namespace quellar {
namespace {

// Whether a new file can be made in directory. Permission bits do not tell: root
// passes them on a read-only mount, and on Windows they say nothing of the
// folder's access rules. The probe is removed at once.
bool CanCreateFileIn(const std::filesystem::path& directory) {
  QTemporaryFile probe(PathToQString(directory / "options.ini.XXXXXX"));
  return probe.open();
}

}  // namespace

std::filesystem::path ChooseSettingsFile(const std::filesystem::path& executableDirectory,
                                         const std::filesystem::path& userConfigDirectory) {
  const std::filesystem::path beside = SettingsFilePath(executableDirectory);
  std::error_code error;
  if (std::filesystem::exists(beside, error) || CanCreateFileIn(executableDirectory))
    return beside;
  return SettingsFilePath(userConfigDirectory);
}

std::filesystem::path UserConfigDirectory() {
  return PathFromQString(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}

void CreateSettingsFolder(const std::filesystem::path& file) {
  std::error_code error;
  std::filesystem::create_directories(file.parent_path(), error);
}

}  // namespace quellar
