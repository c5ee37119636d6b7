#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/settings_file.h"
#include "settings/settings_test_files.h"
#include "support/printers.h"

namespace quellar {
namespace {

using test::ExecutableDir;
using test::WriteBytes;
using testing::ElementsAre;
using testing::IsEmpty;

// Loads bytes as the main window does, starting from the given proxy settings.
struct MainWindowLoad {
  ClanLists clans;
  ProxySettings proxy;
};

MainWindowLoad LoadMain(const std::string& bytes, ProxySettings before = {}) {
  const ExecutableDir dir;
  WriteBytes(dir.SettingsFile(), bytes);
  MainWindowLoad load{{{"stale x3"}, {"stale x300"}}, before};
  LoadSettings(dir.SettingsFile(), load.clans, load.proxy);
  return load;
}

TEST(LoadSettings, readsBothListsAndTheProxy) {
  const MainWindowLoad load = LoadMain(
      "[x3]\r\nClanName1=Alpha\r\nClanName2=\xCA\xEB\xE0\xED\r\n[x300]\r\nClanName1=Beta\r\n"
      "[Proxy]\r\nuse=1\r\nserver=proxy.local\r\nport=8080\r\n");
  EXPECT_THAT(load.clans.clansX3, ElementsAre("Alpha", "\xCA\xEB\xE0\xED"));
  EXPECT_THAT(load.clans.clansX300, ElementsAre("Beta"));
  EXPECT_TRUE(load.proxy.useProxy);
  EXPECT_EQ(load.proxy.proxyHost, "proxy.local");
  EXPECT_EQ(load.proxy.proxyPort, 8080);
}

TEST(LoadSettings, keysOfAnyNameLoadInFileOrder) {
  const MainWindowLoad load = LoadMain(
      "[X3]\r\nfoo=Alpha\r\n  Bar = Beta\r\n; ClanName9=Comment\r\nno equals sign\r\n"
      "\xEA\xEB\xFE\xF7=Gamma\r\nempty=\r\n");
  EXPECT_THAT(load.clans.clansX3, ElementsAre("Alpha", "Beta", "Gamma", ""));
  EXPECT_THAT(load.clans.clansX300, IsEmpty());
}

TEST(LoadSettings, aKeyNameTwiceInASectionReadsItsFirstValueTwice) {
  const MainWindowLoad load = LoadMain("[x3]\r\nClan=first\r\nother=x\r\nCLAN=second\r\n");
  EXPECT_THAT(load.clans.clansX3, ElementsAre("first", "x", "first"));
}

TEST(LoadSettings, namesReadBackTrimmedAndUnquoted) {
  const MainWindowLoad load = LoadMain(
      "[x300]\r\nClanName1=  Alpha \t\r\nClanName2=\"Beta\"\r\nClanName3='Gamma'\r\n"
      "ClanName4= \" Delta \" \r\n");
  EXPECT_THAT(load.clans.clansX300, ElementsAre("Alpha", "Beta", "Gamma", " Delta "));
}

TEST(LoadSettings, onlyTheFirstSectionOfAServerIsRead) {
  const MainWindowLoad load = LoadMain("[x3]\r\nClanName1=A\r\n[x3]\r\nClanName1=B\r\n");
  EXPECT_THAT(load.clans.clansX3, ElementsAre("A"));
}

// "ClanName1".."ClanName999" take 11880 bytes of the 16382 the names may fill;
// "ClanName1000".."ClanName1345" take 4498 more, and the last 4 bytes hold the
// "Clan" of "ClanName1346": a name cut in two, which is no name of the file.
TEST(LoadSettings, namesBeyondTheListBufferAreNotSeenNorTheNameCutInTwo) {
  std::string file = "[x3]\r\n";
  for (int i = 1; i <= 2000; ++i)
    file += "ClanName" + std::to_string(i) + "=clan " + std::to_string(i) + "\r\n";
  file += "Clan=phantom\r\n";
  const MainWindowLoad load = LoadMain(file);
  ASSERT_EQ(load.clans.clansX3.size(), 1345u);
  EXPECT_EQ(load.clans.clansX3.front(), "clan 1");
  EXPECT_EQ(load.clans.clansX3.back(), "clan 1345");
}

TEST(LoadSettings, aValueIsSeenUpTo2047Bytes) {
  const MainWindowLoad load = LoadMain("[x3]\r\nClanName1=" + std::string(5000, 'n') + "\r\n" +
                                       "[Proxy]\r\nserver=" + std::string(3000, 'h') + "\r\n");
  EXPECT_THAT(load.clans.clansX3, ElementsAre(std::string(2047, 'n')));
  EXPECT_EQ(load.proxy.proxyHost, std::string(2047, 'h'));
}

struct ProxyCase {
  std::string proxySection;  // the lines of section "Proxy"
  bool useProxy;
  std::string proxyHost;
  std::int32_t proxyPort;
};

void PrintTo(const ProxyCase& c, std::ostream* out) {
  *out << testing::PrintToString(c.proxySection);
}

class MainWindowProxy : public testing::TestWithParam<ProxyCase> {};

// Before the load the proxy is on, host "before", port 1080.
TEST_P(MainWindowProxy, readsUseAndPortAsIntegersAndKeepsHostAndPortWhenMissing) {
  const ProxyCase& c = GetParam();
  const MainWindowLoad load = LoadMain("[Proxy]\r\n" + c.proxySection, {true, "before", 1080});
  EXPECT_EQ(load.proxy.useProxy, c.useProxy) << c.proxySection;
  EXPECT_EQ(load.proxy.proxyHost, c.proxyHost) << c.proxySection;
  EXPECT_EQ(load.proxy.proxyPort, c.proxyPort) << c.proxySection;
}

INSTANTIATE_TEST_SUITE_P(
    LoadSettings, MainWindowProxy,
    testing::Values(
        ProxyCase{"", false, "before", 1080}, ProxyCase{"use=1\r\n", true, "before", 1080},
        ProxyCase{"use=0\r\n", false, "before", 1080}, ProxyCase{"use=2\r\n", true, "before", 1080},
        ProxyCase{"use=-1\r\n", true, "before", 1080},
        ProxyCase{"use=0x10\r\n", true, "before", 1080},
        ProxyCase{"use=$0\r\n", false, "before", 1080},
        ProxyCase{"use= 1 \r\n", true, "before", 1080},
        ProxyCase{"use=yes\r\n", false, "before", 1080},
        ProxyCase{"use=\r\n", false, "before", 1080}, ProxyCase{"USE=1\r\n", true, "before", 1080},
        ProxyCase{"server=\r\n", false, "", 1080},
        ProxyCase{"server= proxy.local \r\n", false, "proxy.local", 1080},
        ProxyCase{"server=\"my proxy\"\r\n", false, "my proxy", 1080},
        ProxyCase{"port=8080\r\n", false, "before", 8080},
        ProxyCase{"port=0x1F\r\n", false, "before", 31},
        ProxyCase{"port=0X1f\r\n", false, "before", 31},
        ProxyCase{"port=$1F\r\n", false, "before", 31},
        ProxyCase{"port=-5\r\n", false, "before", -5},
        ProxyCase{"port= 80 \r\n", false, "before", 80},
        ProxyCase{"port='3128'\r\n", false, "before", 3128},
        ProxyCase{"port=abc\r\n", false, "before", 1080},
        ProxyCase{"port=\r\n", false, "before", 1080},
        ProxyCase{"port=80a\r\n", false, "before", 1080},
        ProxyCase{"port=99999999999\r\n", false, "before", 1080},
        ProxyCase{"port=1.5\r\n", false, "before", 1080}));

TEST(LoadDialogSettings, aMissingFileGivesTheResetFields) {
  const ExecutableDir dir;
  ClanLists clans{{"a"}, {"b"}};
  const DialogSettings fields = LoadDialogSettings(dir.SettingsFile(), clans);
  EXPECT_THAT(clans.clansX3, IsEmpty());
  EXPECT_THAT(clans.clansX300, IsEmpty());
  EXPECT_FALSE(fields.useProxy);
  EXPECT_EQ(fields.proxyHost, "");
  EXPECT_EQ(fields.proxyPort, "80");
}

struct DialogCase {
  std::string proxySection;
  bool useProxy;
  std::string proxyHost;
  std::string proxyPort;
};

void PrintTo(const DialogCase& c, std::ostream* out) {
  *out << testing::PrintToString(c.proxySection);
}

class DialogProxy : public testing::TestWithParam<DialogCase> {};

TEST_P(DialogProxy, readsUseAsAnIntegerAndThePortAsText) {
  const DialogCase& c = GetParam();
  const ExecutableDir dir;
  WriteBytes(dir.SettingsFile(), "[x3]\r\nk=A\r\n[x300]\r\nk=B\r\n[Proxy]\r\n" + c.proxySection);
  ClanLists clans{{"stale"}, {}};
  const DialogSettings fields = LoadDialogSettings(dir.SettingsFile(), clans);
  EXPECT_THAT(clans.clansX3, ElementsAre("A"));
  EXPECT_THAT(clans.clansX300, ElementsAre("B"));
  EXPECT_EQ(fields.useProxy, c.useProxy) << c.proxySection;
  EXPECT_EQ(fields.proxyHost, c.proxyHost) << c.proxySection;
  EXPECT_EQ(fields.proxyPort, c.proxyPort) << c.proxySection;
}

INSTANTIATE_TEST_SUITE_P(
    LoadDialogSettings, DialogProxy,
    testing::Values(DialogCase{"", false, "", "80"},
                    DialogCase{"use=1\r\nserver=h\r\nport=0x1F\r\n", true, "h", "0x1F"},
                    DialogCase{"use=x\r\nport=\r\n", false, "", ""},
                    DialogCase{"use=3\r\nport= abc \r\n", true, "", "abc"},
                    DialogCase{"server= \"h h\" \r\nport=\"8080\"\r\n", false, "h h", "8080"}));

}  // namespace
}  // namespace quellar
