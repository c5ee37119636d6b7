// The history file: where it lives, what it refuses, and that bytes survive.

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <QLocale>
#include <QTemporaryDir>
#include <filesystem>
#include <functional>
#include <string>

#include "common/cp1251.h"
#include "common/error.h"
#include "common/path_text.h"
#include "history/history_fetches.h"
#include "history/history_location.h"
#include "history/history_recorder.h"
#include "history/member_activity.h"
#include "history/recorded_queries.h"
#include "settings/settings_test_files.h"

namespace quellar {
namespace {

namespace fs = std::filesystem;

const RosterQuery kClan{"Clan", Server::kX3, false};

// An SQLite file of someone else's, made with SQLite's own calls; keepLog leaves
// its write-ahead log unwritten back, as a program still running would.
void MakeDatabase(const fs::path& file, const char* sql, bool keepLog = false) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(file.string().c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
  if (keepLog)
    sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
  sqlite3_close(db);
}

// While full is set, a write that would make a write-ahead log longer, where
// every recording goes, fails as on a full disk: the logs opened while the
// object lives are on that disk.
class FillingDisk {
 public:
  FillingDisk() : real_(sqlite3_vfs_find(nullptr)), disk_(*real_) {
    current_ = this;
    disk_.zName = "filling-disk";
    disk_.xOpen = [](sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* out) {
      const int result = current_->real_->xOpen(current_->real_, name, file, flags, out);
      if (file->pMethods != nullptr && (flags & SQLITE_OPEN_WAL) != 0) {
        current_->realLog_ = file->pMethods;
        current_->log_ = *file->pMethods;
        current_->log_.xWrite = [](sqlite3_file* log, const void* bytes, int size,
                                   sqlite3_int64 at) {
          sqlite3_int64 length = 0;
          log->pMethods->xFileSize(log, &length);
          return current_->full && at + size > length
                     ? SQLITE_FULL
                     : current_->realLog_->xWrite(log, bytes, size, at);
        };
        file->pMethods = &current_->log_;
      }
      return result;
    };
    sqlite3_vfs_register(&disk_, 1);
  }
  ~FillingDisk() {
    sqlite3_vfs_unregister(&disk_);
    sqlite3_vfs_register(real_, 1);
  }
  FillingDisk(const FillingDisk&) = delete;
  FillingDisk& operator=(const FillingDisk&) = delete;

  bool full = false;

 private:
  static inline FillingDisk* current_ = nullptr;
  sqlite3_vfs* real_;
  sqlite3_vfs disk_;
  const sqlite3_io_methods* realLog_ = nullptr;
  sqlite3_io_methods log_{};
};

struct FileFault {
  const char* name;
  std::function<void(const fs::path& file)> make;
  std::u16string_view reason;
};

class HistoryFileFaults : public testing::TestWithParam<FileFault> {};

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Error& error) {
    return error.what();
  }
  return "no error";
}

// Recording fails naming the file and the reason, and so does reading; every
// byte in the folder stays as it was.
TEST_P(HistoryFileFaults, failRecordingAndReadingWithTheirReasonAndTouchNothing) {
  const QTemporaryDir folder;
  const fs::path file = test::HistoryIn(PathFromQString(folder.path()));
  GetParam().make(file);
  const auto before = test::Snapshot(file.parent_path());
  const std::string path = ToCp1251(PathToQString(file));
  const std::string reason = ToCp1251(GetParam().reason);

  HistoryFile history(file);
  EXPECT_EQ(
      ErrorOf([&] { RecordFetch(history, test::Fetched(kClan, {"A"}), test::AtMinute(0)); }),
      ToCp1251(u"Не удалось записать историю в файл «") + path + ToCp1251(u"»: ") + reason + ".");
  EXPECT_EQ(ErrorOf([&] { ReadRecordedQueries(history); }),
            ToCp1251(u"Не удалось прочитать историю из файла «") + path + ToCp1251(u"»: ") +
                reason + ".");
  EXPECT_EQ(test::Snapshot(file.parent_path()), before);
}

INSTANTIATE_TEST_SUITE_P(
    History, HistoryFileFaults,
    testing::Values(
        FileFault{"aDirectoryInItsPlace", [](const fs::path& file) { fs::create_directory(file); },
                  u"на месте файла находится папка"},
        FileFault{
            "aFileThatIsNoDatabase",
            [](const fs::path& file) { test::WriteBytes(file, "[x3]\r\nClanName1=Brannock\r\n"); },
            u"это не файл истории, а файл другого рода"},
        FileFault{"anotherProgramsDatabase",
                  [](const fs::path& file) {
                    MakeDatabase(file,
                                 "CREATE TABLE notes(text); INSERT INTO notes VALUES('mine');"
                                 "PRAGMA user_version = 7;");
                  },
                  u"это база данных другой программы"},
        FileFault{"anotherProgramsDatabaseWithTablesOnlyInItsLog",
                  [](const fs::path& file) {
                    MakeDatabase(file,
                                 "PRAGMA journal_mode = WAL; CREATE TABLE notes(text);"
                                 "INSERT INTO notes VALUES('mine');",
                                 true);
                    ASSERT_GT(fs::file_size(fs::path(file) += "-wal"), 0u);
                  },
                  u"это база данных другой программы"},
        FileFault{"aNewerSchemaVersion",
                  [](const fs::path& file) {
                    MakeDatabase(file,
                                 "CREATE TABLE later(x); PRAGMA application_id = 1366059123;"
                                 "PRAGMA user_version = 2;");
                  },
                  u"файл записан более новой версией Quellar"}),
    [](const testing::TestParamInfo<FileFault>& info) { return std::string(info.param.name); });

TEST(HistoryFile, aFolderThatTakesNoNewFileFailsTheRecordingAndReadsAsNoHistory) {
  const QTemporaryDir folder;
  const fs::path locked = PathFromQString(folder.path()) / "locked";
  fs::create_directory(locked);
  const test::UnwritableFile unwritable(locked);
  if (!unwritable.Made())
    GTEST_SKIP() << "this file system cannot make a folder immutable for root";
  HistoryFile history(test::HistoryIn(locked));
  EXPECT_EQ(ErrorOf([&] { RecordFetch(history, test::Fetched(kClan, {"A"}), test::AtMinute(0)); }),
            ToCp1251(u"Не удалось записать историю в файл «") +
                ToCp1251(PathToQString(history.path())) +
                ToCp1251(u"»: в этой папке нельзя создать файл."));
  EXPECT_TRUE(ReadRecordedQueries(history).empty());
  EXPECT_TRUE(fs::is_empty(locked));
}

TEST(HistoryFile, aFullDiskFailsTheRecordingWithItsReasonAndKeepsEveryEarlierOne) {
  const QTemporaryDir folder;
  FillingDisk disk;
  HistoryFile history(test::HistoryIn(PathFromQString(folder.path())));
  RecordFetch(history, test::Fetched(kClan, {"A"}), test::AtMinute(0));
  disk.full = true;
  EXPECT_EQ(ErrorOf([&] {
              RecordFetch(history, test::Fetched(kClan, {"A", "B"}), test::AtMinute(1));
            }),
            ToCp1251(u"Не удалось записать историю в файл «") +
                ToCp1251(PathToQString(history.path())) + ToCp1251(u"»: на диске нет места."));
  disk.full = false;
  RecordFetch(history, test::Fetched(kClan, {"B"}), test::AtMinute(2));
  const auto members =
      ReadMemberActivity(history, kClan, test::AtMinute(3), QTimeZone::utc(), {1}, QLocale());
  ASSERT_TRUE(members && members->size() == 2);
  EXPECT_EQ((*members)[0].lastSeen, test::MinuteSeconds(0));  // A, not in the failed fetch
  EXPECT_EQ((*members)[1].lastSeen, test::MinuteSeconds(2));
}

// 0x98 is the one byte of Windows-1251 without a character.
TEST(HistoryFile, nicksAndClansReadBackByteForByte) {
  const QTemporaryDir folder;
  const RosterQuery clan{"\x98\xCA\xEB\xE0\xED", Server::kX300, true};
  const std::string nick = "\x98\xCD\xE8\xEA\x98";
  {
    HistoryFile history(test::HistoryIn(PathFromQString(folder.path())));
    RecordFetch(history, test::Fetched(clan, {nick, ""}), test::AtMinute(0));
  }
  HistoryFile history(test::HistoryIn(PathFromQString(folder.path())));
  ASSERT_EQ(ReadRecordedQueries(history).size(), 1u);
  EXPECT_EQ(ReadRecordedQueries(history)[0].query, clan);
  const auto members =
      ReadMemberActivity(history, clan, test::AtMinute(1), QTimeZone::utc(), {1}, QLocale());
  ASSERT_TRUE(members);
  ASSERT_EQ(members->size(), 2u);
  EXPECT_EQ((*members)[0].nick, "");
  EXPECT_EQ((*members)[1].nick, nick);
}

TEST(HistoryLocation, besideTheSettingsWhenTheyLiveBesideTheExecutableOtherwiseInTheDataFolder) {
  const fs::path bin = "/opt/quellar";
  const fs::path data = "/home/u/.local/share/quellar";
  EXPECT_EQ(ChooseHistoryFile(bin / "options.ini", bin, data), bin / "history.sqlite");
  EXPECT_EQ(ChooseHistoryFile("/home/u/.config/quellar/options.ini", bin, data),
            data / "history.sqlite");
}

}  // namespace
}  // namespace quellar
