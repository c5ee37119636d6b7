// Processes recording into one history file: at once, and killed part way.

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <iostream>
#include <random>
#include <string>
#include <thread>

#include "common/path_text.h"
#include "history/history_fetches.h"
#include "history/history_recorder.h"
#include "support/wine.h"

namespace quellar {
namespace {

// What SQLite itself says of the file, and how many fetches it holds.
struct FileCheck {
  std::string integrity;
  long long fetches = -1;
};

FileCheck Check(const std::filesystem::path& file) {
  // A process killed before it made the file leaves nothing, which is sound.
  if (!std::filesystem::exists(file))
    return FileCheck{"ok", 0};
  FileCheck check;
  sqlite3* db = nullptr;
  // Read and write, as the next recorder opens it: a log left by the killed one
  // is then taken in.
  if (sqlite3_open_v2(file.string().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &statement, nullptr) != SQLITE_OK)
      check.integrity = sqlite3_errmsg(db);
    while (sqlite3_step(statement) == SQLITE_ROW)
      check.integrity += reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    sqlite3_finalize(statement);
    // A process killed before its first recording may leave the file without tables.
    if (sqlite3_prepare_v2(db, "SELECT count(*) FROM fetches", -1, &statement, nullptr) !=
        SQLITE_OK)
      check.fetches = 0;
    else if (sqlite3_step(statement) == SQLITE_ROW)
      check.fetches = sqlite3_column_int64(statement, 0);
    sqlite3_finalize(statement);
  }
  sqlite3_close(db);
  return check;
}

void StartChild(QProcess& child, const std::filesystem::path& file, int count) {
  child.start(QStringLiteral(QUELLAR_RECORD_CHILD),
              {PathToQString(file), QStringLiteral("Clan"), QString::number(count)});
}

TEST(HistoryProcesses, twoRecordingTheSameClanAtOnceBothSucceedAndLoseNoFetch) {
  const QTemporaryDir folder;
  const auto file = test::HistoryIn(PathFromQString(folder.path()));
  constexpr int kEach = 200;
  QProcess first;
  QProcess second;
  StartChild(first, file, kEach);
  StartChild(second, file, kEach);
  for (QProcess* child : {&first, &second}) {
    ASSERT_TRUE(child->waitForFinished(60000));
    EXPECT_EQ(child->readAllStandardError().toStdString(), "");
    EXPECT_EQ(child->exitCode(), 0);
  }
  const FileCheck check = Check(file);
  EXPECT_EQ(check.integrity, "ok");
  EXPECT_EQ(check.fetches, 2 * kEach);
}

unsigned Seed() {
  if (const char* text = std::getenv("QUELLAR_KILL_SEED"))
    return static_cast<unsigned>(std::strtoul(text, nullptr, 10));
  return 20261207u;
}

// Killed at random moments, from its start (making the file) to its recordings,
// a recorder leaves a sound file holding every fetch whose recording returned,
// and the next recording goes on from it.
TEST(HistoryProcesses, aRecorderKilledAtAnyMomentLeavesASoundFileWithEveryReturnedFetch) {
  const unsigned seed = Seed();
  std::cout << "kill-during-recording seed " << seed << " (set QUELLAR_KILL_SEED to repeat)"
            << std::endl;
  std::mt19937 random(seed);
  // Wine runs the recorder's first steps, which make the file, ten times slower.
  std::uniform_int_distribution<int> delayMicroseconds(0,
                                                       test::RunningUnderWine() ? 300000 : 30000);
  const QTemporaryDir folder;
  const auto file = test::HistoryIn(PathFromQString(folder.path()));
  long long returned = 0;
  for (int trial = 0; trial < 30; ++trial) {
    QProcess child;
    StartChild(child, file, 0);
    ASSERT_TRUE(child.waitForStarted(20000)) << "trial " << trial;
    // The moment counts from the recorder's own start, not the process's.
    ASSERT_TRUE(child.waitForReadyRead(20000)) << "trial " << trial;
    std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(random)));
    child.kill();
    ASSERT_TRUE(child.waitForFinished(10000));
    returned += child.readAllStandardOutput().count("recorded");
    const FileCheck check = Check(file);
    ASSERT_EQ(check.integrity, "ok") << "trial " << trial << ", seed " << seed;
    // The one in flight may have been committed just before the kill.
    ASSERT_GE(check.fetches, returned) << "trial " << trial << ", seed " << seed;
    ASSERT_LE(check.fetches, returned + trial + 1) << "trial " << trial << ", seed " << seed;
  }
  ASSERT_GT(returned, 0) << "no kill came after a recording";
  HistoryFile history(file);
  RecordFetch(history, test::Fetched({"Clan", Server::kX3, false}, {"A"}), test::AtMinute(0));
  EXPECT_GE(Check(file).fetches, returned + 1);
}

}  // namespace
}  // namespace quellar
