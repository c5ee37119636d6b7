#include "history/history_messages.h"

#include <QString>

#include "common/cp1251.h"
#include "common/path_text.h"

namespace quellar {

// Every text the history layer shows, in one place.
std::string ProblemText(HistoryProblem problem, const std::string& detail) {
  switch (problem) {
    case HistoryProblem::kDirectoryInPlace:
      return ToCp1251(u"на месте файла находится папка");
    case HistoryProblem::kNoFolder:
      return ToCp1251(u"не удалось создать папку для него");
    case HistoryProblem::kCannotCreate:
      return ToCp1251(u"в этой папке нельзя создать файл");
    case HistoryProblem::kReadOnly:
      return ToCp1251(u"нет прав на запись в файл или его папку");
    case HistoryProblem::kNotADatabase:
      return ToCp1251(u"это не файл истории, а файл другого рода");
    case HistoryProblem::kForeign:
      return ToCp1251(u"это база данных другой программы");
    case HistoryProblem::kNewer:
      return ToCp1251(u"файл записан более новой версией Quellar");
    case HistoryProblem::kCorrupt:
      return ToCp1251(u"файл повреждён");
    case HistoryProblem::kDiskFull:
      return ToCp1251(u"на диске нет места");
    case HistoryProblem::kBusy:
      return ToCp1251(u"файл слишком долго занят другой программой");
    case HistoryProblem::kInputOutput:
      return ToCp1251(u"ошибка чтения или записи на диске");
    case HistoryProblem::kOther:
      break;
  }
  return detail;
}

std::string RecordFailureMessage(const std::filesystem::path& file, const std::string& reason) {
  return ToCp1251(u"Не удалось записать историю в файл «") + ToCp1251(PathToQString(file)) +
         ToCp1251(u"»: ") + reason + ".";
}

std::string ReadFailureMessage(const std::filesystem::path& file, const std::string& reason) {
  return ToCp1251(u"Не удалось прочитать историю из файла «") + ToCp1251(PathToQString(file)) +
         ToCp1251(u"»: ") + reason + ".";
}

}  // namespace quellar
