#include "history/history_location.h"

#include <QStandardPaths>

#include "common/path_text.h"

namespace quellar {
namespace {

constexpr char kHistoryFileName[] = "history.sqlite";

}  // namespace

std::filesystem::path ChooseHistoryFile(const std::filesystem::path& settingsFile,
                                        const std::filesystem::path& executableDirectory,
                                        const std::filesystem::path& userDataDirectory) {
  if (settingsFile.parent_path() == executableDirectory)
    return executableDirectory / kHistoryFileName;
  return userDataDirectory / kHistoryFileName;
}

std::filesystem::path UserDataDirectory() {
  return PathFromQString(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

}  // namespace quellar
