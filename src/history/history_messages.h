#pragma once

#include <filesystem>
#include <string>

namespace quellar {

// Why the history file could not be used, in the user's words.
enum class HistoryProblem {
  kDirectoryInPlace,  // a folder stands where the file should be
  kNoFolder,          // its folder could not be made
  kCannotCreate,      // its folder takes no new file
  kReadOnly,          // the file or its folder may not be written
  kNotADatabase,      // the bytes are no SQLite database
  kForeign,           // an SQLite database of another program
  kNewer,             // written by a newer Quellar
  kCorrupt,
  kDiskFull,
  kBusy,  // another program held it locked for the whole busy time-out
  kInputOutput,
  kOther,  // SQLite's own description follows
};

// The reason as a sentence part in Windows-1251; detail is SQLite's description,
// used only by kOther.
std::string ProblemText(HistoryProblem problem, const std::string& detail = {});

// "Не удалось записать историю в файл «<file>»: <reason>." in Windows-1251.
std::string RecordFailureMessage(const std::filesystem::path& file, const std::string& reason);

// "Не удалось прочитать историю из файла «<file>»: <reason>." in Windows-1251.
std::string ReadFailureMessage(const std::filesystem::path& file, const std::string& reason);

}  // namespace quellar
