#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>

#include "settings/settings_file.h"
#include "settings/settings_test_files.h"

namespace quellar {
namespace {

namespace fs = std::filesystem;
using test::ExecutableDir;
using test::ReadBytes;
using test::WriteBytes;
using testing::Each;
using testing::ElementsAre;
using testing::IsEmpty;
using testing::SizeIs;

// Files that hold no settings the program can read: the lists load empty, the
// proxy switches off and keeps its host and port, and the dialog's fields are
// reset, its port "80".
struct EmptyLoad {
  const char* name;
  std::function<void(const fs::path&)> make;
};

class BadSettingsFileLoadsAsEmpty : public testing::TestWithParam<EmptyLoad> {};

TEST_P(BadSettingsFileLoadsAsEmpty, withTheProxyOffAndItsHostAndPortKept) {
  const ExecutableDir dir;
  GetParam().make(dir.SettingsFile());
  ClanLists clans{{"a"}, {"b"}};
  ProxySettings proxy{true, "host", 3128};
  LoadSettings(dir.SettingsFile(), clans, proxy);
  EXPECT_THAT(clans.clansX3, IsEmpty());
  EXPECT_THAT(clans.clansX300, IsEmpty());
  EXPECT_FALSE(proxy.useProxy);
  EXPECT_EQ(proxy.proxyHost, "host");
  EXPECT_EQ(proxy.proxyPort, 3128);
  clans = {{"a"}, {"b"}};
  const DialogSettings fields = LoadDialogSettings(dir.SettingsFile(), clans);
  EXPECT_THAT(clans.clansX3, IsEmpty());
  EXPECT_THAT(clans.clansX300, IsEmpty());
  EXPECT_FALSE(fields.useProxy);
  EXPECT_EQ(fields.proxyHost, "");
  EXPECT_EQ(fields.proxyPort, "80");
}

INSTANTIATE_TEST_SUITE_P(
    BadSettingsFile, BadSettingsFileLoadsAsEmpty,
    testing::Values(EmptyLoad{"aMissingFile", [](const fs::path&) {}},
                    EmptyLoad{"anEmptyFile", [](const fs::path& file) { WriteBytes(file, ""); }},
                    EmptyLoad{"aDirectoryInPlaceOfTheFile",
                              [](const fs::path& file) { fs::create_directory(file); }},
                    EmptyLoad{"utf16",
                              [](const fs::path& file) {
                                using namespace std::string_literals;
                                WriteBytes(file,
                                           "\xFF\xFE[\0x\0\x33\0]\0\r\0\n\0k\0=\0v\0\r\0\n\0"s);
                              }}),
    [](const testing::TestParamInfo<EmptyLoad>& info) { return std::string(info.param.name); });

TEST(BadSettingsFile, randomBytesLoadWithinTheLimitsAndSaveKeepsThem) {
  std::mt19937 random(1251);
  std::string bytes(1 << 20, '\0');
  for (char& byte : bytes)
    byte = static_cast<char>(random() & 0xFF);
  // Give the noise sections to find.
  bytes.insert(1000, "\r\n[x3]\r\n");
  bytes.insert(500000, "\n[x300]\n");
  bytes.insert(900000, "\r[Proxy]\r");
  const ExecutableDir dir;
  WriteBytes(dir.SettingsFile(), bytes);

  ClanLists clans;
  ProxySettings proxy;
  LoadSettings(dir.SettingsFile(), clans, proxy);
  EXPECT_THAT(clans.clansX3, Each(SizeIs(testing::Le(2047u))));
  EXPECT_THAT(clans.clansX300, Each(SizeIs(testing::Le(2047u))));
  EXPECT_THAT(clans.clansX3, SizeIs(testing::Le(16382u / 2)));
  EXPECT_THAT(proxy.proxyHost, SizeIs(testing::Le(2047u)));

  // The save removes what it replaces and appends: the noise outside the clan
  // sections' header and key lines is still there.
  DialogSettings fields;
  SaveSettings(dir.SettingsFile(), ClanLists{{"A"}, {"B"}}, fields);
  const std::string saved = ReadBytes(dir.SettingsFile());
  EXPECT_EQ(saved.substr(0, 1000), bytes.substr(0, 1000));
  ClanLists reloaded;
  LoadSettings(dir.SettingsFile(), reloaded, proxy);
  EXPECT_THAT(reloaded.clansX3, ElementsAre("A"));
  EXPECT_THAT(reloaded.clansX300, ElementsAre("B"));
}

// 100 MB: a 10 MB value, then about 90 MB of names, a key name of 1 MB and the
// proxy at the very end.
TEST(BadSettingsFile, aHundredMegabyteFileLoadsWithinTheLimits) {
  const ExecutableDir dir;
  {
    std::ofstream out(dir.SettingsFile(), std::ios::binary);
    out << "[x3]\r\nClanName1=" << std::string(10 << 20, 'v') << "\r\n";
    for (int i = 2; i <= 2000; ++i)
      out << "ClanName" << i << "=clan " << i << "\r\n";
    std::string filler;
    while (filler.size() < (1 << 20))
      filler += "Filler=more of the same\r\n";
    for (int i = 0; i < 88; ++i)
      out << filler;
    out << "[x300]\r\n" << std::string(1 << 20, 'K') << "=1\r\n";
    out << "[Proxy]\r\nuse=1\r\nserver=far.away\r\nport=3128\r\n";
    ASSERT_TRUE(out);
  }
  ASSERT_GE(fs::file_size(dir.SettingsFile()), 99u << 20);

  ClanLists clans;
  ProxySettings proxy;
  LoadSettings(dir.SettingsFile(), clans, proxy);
  ASSERT_EQ(clans.clansX3.size(), 1345u);
  EXPECT_EQ(clans.clansX3.front(), std::string(2047, 'v'));
  EXPECT_EQ(clans.clansX3.back(), "clan 1345");
  // The one name of "x300" does not fit the names buffer: cut in two, not seen.
  EXPECT_THAT(clans.clansX300, IsEmpty());
  EXPECT_TRUE(proxy.useProxy);
  EXPECT_EQ(proxy.proxyHost, "far.away");
  EXPECT_EQ(proxy.proxyPort, 3128);
}

}  // namespace
}  // namespace quellar
