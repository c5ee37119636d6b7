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
// proxy switches off and keeps its host and port, and the dialog's port is "80".
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
  EXPECT_EQ(LoadDialogSettings(dir.SettingsFile(), clans).proxyPort, "80");
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

TEST(BadSettingsFile, zeroBytesAreKeptAsBytes) {
  using namespace std::string_literals;
  const ExecutableDir dir;
  WriteBytes(dir.SettingsFile(), "\0\0[x3]\r\nk\0=\0v\xFF\r\n\0\r\n[Proxy]\r\nport=8\0\r\n"s);
  ClanLists clans;
  ProxySettings proxy{false, "", 21};
  LoadSettings(dir.SettingsFile(), clans, proxy);
  // The first line "\0\0[x3]" is no header.
  EXPECT_THAT(clans.clansX3, IsEmpty());
  EXPECT_EQ(proxy.proxyPort, 21);

  WriteBytes(dir.SettingsFile(), "[x3]\r\nk\0=\0v\xFF\r\n\0\r\n"s);
  LoadSettings(dir.SettingsFile(), clans, proxy);
  EXPECT_THAT(clans.clansX3, ElementsAre("\0v\xFF"s));
}

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

// Every section of a server's name goes, whatever its spelling; the others keep
// their bytes, and the reload gives exactly the lists saved.
TEST(BadSettingsFile, duplicateClanSectionsAreAllReplacedBySave) {
  const ExecutableDir dir;
  WriteBytes(dir.SettingsFile(),
             "[x3]\r\nClanName1=A\r\n[x3]\r\nfoo=B\r\n[Window]\r\nleft=1\r\n[X3]\r\nbar=C\r\n"
             "; kept\r\n[x300]\r\nClanName1=D\r\n[ X300 ]\r\nbaz=E\r\n");
  DialogSettings fields;
  SaveSettings(dir.SettingsFile(), ClanLists{{"X"}, {"Y"}}, fields);
  EXPECT_EQ(ReadBytes(dir.SettingsFile()),
            "[Window]\r\nleft=1\r\n; kept\r\n[x3]\r\nClanName1=X\r\n[x300]\r\nClanName1=Y\r\n"
            "[Proxy]\r\nuse=0\r\nserver=\r\nport=80\r\n");
  ClanLists reloaded;
  ProxySettings proxy;
  LoadSettings(dir.SettingsFile(), reloaded, proxy);
  EXPECT_THAT(reloaded.clansX3, ElementsAre("X"));
  EXPECT_THAT(reloaded.clansX300, ElementsAre("Y"));
}

TEST(BadSettingsFile, utf8WithAByteOrderMarkKeepsItsBytesAndHidesTheFirstSection) {
  const ExecutableDir dir;
  // "Клан" and "Ёж" in UTF-8.
  WriteBytes(dir.SettingsFile(),
             "\xEF\xBB\xBF[x3]\r\nClanName1=\xD0\x9A\xD0\xBB\xD0\xB0\xD0\xBD\r\n"
             "[x300]\r\nClanName1=\xD0\x81\xD0\xB6\r\n");
  ClanLists clans;
  ProxySettings proxy;
  LoadSettings(dir.SettingsFile(), clans, proxy);
  EXPECT_THAT(clans.clansX3, IsEmpty());
  EXPECT_THAT(clans.clansX300, ElementsAre("\xD0\x81\xD0\xB6"));
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
