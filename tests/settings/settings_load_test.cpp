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
using test::PrintTo;  // names each case in gtest's output
using test::WriteBytes;
using testing::ElementsAre;
using namespace std::string_literals;

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

// Each list is every key of its server's first section, in file order.
struct ListsCase {
  const char* name;
  std::string bytes;
  std::vector<std::string> clansX3;
  std::vector<std::string> clansX300;
};

class MainWindowLists : public testing::TestWithParam<ListsCase> {};

TEST_P(MainWindowLists, holdTheValuesOfTheirSectionsKeys) {
  const MainWindowLoad load = LoadMain(GetParam().bytes);
  EXPECT_EQ(load.clans.clansX3, GetParam().clansX3);
  EXPECT_EQ(load.clans.clansX300, GetParam().clansX300);
}

INSTANTIATE_TEST_SUITE_P(
    LoadSettings, MainWindowLists,
    testing::Values(
        ListsCase{
            "bothServers",
            "[x3]\r\nClanName1=Alpha\r\nClanName2=\xCA\xEB\xE0\xED\r\n[x300]\r\nClanName1=Beta\r\n"
            "[Proxy]\r\nuse=1\r\nserver=proxy.local\r\nport=8080\r\n",
            {"Alpha", "\xCA\xEB\xE0\xED"},
            {"Beta"}},
        ListsCase{"keysOfAnyNameInFileOrder",
                  "[X3]\r\nfoo=Alpha\r\n  Bar = Beta\r\n; ClanName9=Comment\r\nno equals sign\r\n"
                  "\xEA\xEB\xFE\xF7=Gamma\r\nempty=\r\n",
                  {"Alpha", "Beta", "Gamma", ""},
                  {}},
        ListsCase{"namesTrimmedAndUnquoted",
                  "[x300]\r\nClanName1=  Alpha \t\r\nClanName2=\"Beta\"\r\nClanName3='Gamma'\r\n"
                  "ClanName4= \" Delta \" \r\n",
                  {},
                  {"Alpha", "Beta", "Gamma", " Delta "}},
        ListsCase{"onlyTheFirstSectionOfAServer",
                  "[x3]\r\nClanName1=A\r\n[x3]\r\nClanName1=B\r\n",
                  {"A"},
                  {}},
        // "Клан" and "Ёж" in UTF-8: the mark makes the first line no header.
        ListsCase{"utf8WithAByteOrderMark",
                  "\xEF\xBB\xBF[x3]\r\nClanName1=\xD0\x9A\xD0\xBB\xD0\xB0\xD0\xBD\r\n"
                  "[x300]\r\nClanName1=\xD0\x81\xD0\xB6\r\n",
                  {},
                  {"\xD0\x81\xD0\xB6"}},
        ListsCase{"zeroBytesKeptAsBytes", "[x3]\r\nk\0=\0v\xFF\r\n\0\r\n"s, {"\0v\xFF"s}, {}},
        ListsCase{"zeroBytesBeforeAHeaderMakeItNone", "\0\0[x3]\r\nk\0=\0v\xFF\r\n"s, {}, {}}),
    [](const testing::TestParamInfo<ListsCase>& info) { return std::string(info.param.name); });

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
        ProxyCase{"port=1.5\r\n", false, "before", 1080},
        ProxyCase{"port=8\0\r\n"s, false, "before", 1080}));

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
