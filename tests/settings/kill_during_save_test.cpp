#include <gtest/gtest.h>

#include <QProcess>
#include <QString>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <random>
#include <string>
#include <thread>

#include "settings/save_race_settings.h"
#include "settings/settings_test_files.h"

namespace quellar {
namespace {

using test::ExecutableDir;
using test::ReadBytes;
using test::SavedSettings;
using test::WriteBytes;

constexpr int kTrials = 100;

unsigned Seed() {
  if (const char* text = std::getenv("QUELLAR_KILL_SEED"))
    return static_cast<unsigned>(std::strtoul(text, nullptr, 10));
  return 20261208u;
}

// The file as it stands after saving the given settings over itself (the clan
// sections then follow the proxy section).
std::string SteadyBytes(const SavedSettings& first, const SavedSettings& then) {
  const ExecutableDir dir;
  SavedSettings a = first;
  SavedSettings b = then;
  SaveSettings(dir.SettingsFile(), a.clans, a.fields);
  SaveSettings(dir.SettingsFile(), a.clans, a.fields);
  SaveSettings(dir.SettingsFile(), b.clans, b.fields);
  return ReadBytes(dir.SettingsFile());
}

// Starts the saving child on dir and waits until it has begun.
void StartChild(QProcess& child, const ExecutableDir& dir) {
  child.start(QStringLiteral(QUELLAR_SAVE_CHILD), {QString::fromStdString(dir.Path().string())});
  ASSERT_TRUE(child.waitForStarted(10000));
  ASSERT_TRUE(child.waitForReadyRead(10000));
}

// How long one save takes here, measured by letting the child save for a while:
// the kills are spread over a few saves whatever the speed of the build.
std::chrono::microseconds SaveDuration(const std::string& startBytes) {
  const ExecutableDir dir;
  WriteBytes(dir.SettingsFile(), startBytes);
  QProcess child;
  StartChild(child, dir);
  const auto watched = std::chrono::milliseconds(500);
  std::this_thread::sleep_for(watched);
  child.kill();
  child.waitForFinished(10000);
  const long long saves = child.readAllStandardOutput().count("saved");
  return std::chrono::duration_cast<std::chrono::microseconds>(watched) / std::max(1LL, saves);
}

bool LoadsAs(const std::filesystem::path& file, const SavedSettings& expected) {
  ClanLists clans;
  const DialogSettings fields = LoadDialogSettings(file, clans);
  return clans.clansX3 == expected.clans.clansX3 && clans.clansX300 == expected.clans.clansX300 &&
         fields.useProxy == expected.fields.useProxy &&
         fields.proxyHost == expected.fields.proxyHost &&
         fields.proxyPort == expected.fields.proxyPort;
}

// A child process saves the new and the old settings in turn and is killed at a
// random moment: the file is always one or the other, whole.
TEST(KillDuringSave, theFileAlwaysHoldsTheOldOrTheNewSettingsWhole) {
  const unsigned seed = Seed();
  std::cout << "kill-during-save seed " << seed << " (set QUELLAR_KILL_SEED to repeat)"
            << std::endl;
  RecordProperty("seed", std::to_string(seed));
  const SavedSettings oldSettings = test::OldSettings();
  const SavedSettings newSettings = test::NewSettings();
  const std::string oldBytes = SteadyBytes(newSettings, oldSettings);
  const std::string newBytes = SteadyBytes(oldSettings, newSettings);
  ASSERT_NE(oldBytes, newBytes);
  ASSERT_GT(oldBytes.size(), 200000u);

  const auto saveDuration = SaveDuration(oldBytes);
  std::cout << "one save takes about " << saveDuration.count() << " us" << std::endl;
  std::mt19937 random(seed);
  std::uniform_int_distribution<long long> delayMicroseconds(0, 4 * saveDuration.count());

  const ExecutableDir dir;
  WriteBytes(dir.SettingsFile(), oldBytes);
  int oldSeen = 0;
  int newSeen = 0;
  for (int trial = 0; trial < kTrials; ++trial) {
    QProcess child;
    StartChild(child, dir);
    if (HasFatalFailure())
      return;
    std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(random)));
    child.kill();
    ASSERT_TRUE(child.waitForFinished(10000)) << "trial " << trial;
    ASSERT_EQ(child.exitStatus(), QProcess::CrashExit) << "trial " << trial;

    const std::string bytes = ReadBytes(dir.SettingsFile());
    if (bytes == oldBytes) {
      ++oldSeen;
      ASSERT_TRUE(LoadsAs(dir.SettingsFile(), oldSettings)) << "trial " << trial;
    } else if (bytes == newBytes) {
      ++newSeen;
      ASSERT_TRUE(LoadsAs(dir.SettingsFile(), newSettings)) << "trial " << trial;
    } else {
      FAIL() << "trial " << trial << " (seed " << seed << ") left " << bytes.size()
             << " bytes, neither the old " << oldBytes.size() << " nor the new " << newBytes.size();
    }
  }
  std::cout << "old settings after " << oldSeen << " kills, new after " << newSeen << std::endl;
}

}  // namespace
}  // namespace quellar
