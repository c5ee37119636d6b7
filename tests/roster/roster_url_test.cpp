#include <gtest/gtest.h>

#include "roster/roster_url.h"
#include "support/printers.h"

namespace quellar {
namespace {

using test::PrintTo;  // names each case in gtest's output

struct UrlCase {
  const char* name;
  std::string clan;
  Server server;
  bool caseSensitive;
  std::string url;
};

class RosterUrl : public testing::TestWithParam<UrlCase> {};

TEST_P(RosterUrl, isBuiltFromClanServerAndCaseFlag) {
  const UrlCase& c = GetParam();
  EXPECT_EQ(BuildRosterUrl("vorlane.example", RosterQuery{c.clan, c.server, c.caseSensitive}),
            c.url);
}

INSTANTIATE_TEST_SUITE_P(
    BuildRosterUrl, RosterUrl,
    testing::Values(UrlCase{"x3WithoutCase", "Brannock", Server::kX3, false,
                            "http://vorlane.example/xml.php?clan=Brannock"},
                    UrlCase{"x3WithCase", "Brannock", Server::kX3, true,
                            "http://vorlane.example/xml.php?clan=Brannock&case=1"},
                    UrlCase{"x300WithoutCase", "Brannock", Server::kX300, false,
                            "http://vorlane.example/xml.php?clan=Brannock&server=2"},
                    UrlCase{"x300WithCaseEndsCaseThenServer", "K", Server::kX300, true,
                            "http://vorlane.example/xml.php?clan=K&case=1&server=2"},
                    UrlCase{"emptyClanSendsEmptyValue", "", Server::kX3, false,
                            "http://vorlane.example/xml.php?clan="},
                    UrlCase{"spacesAmpersandsAndCyrillicStayRaw", "a b&c=\xCA\xEB\xE0\xED",
                            Server::kX3, false,
                            "http://vorlane.example/xml.php?clan=a b&c=\xCA\xEB\xE0\xED"},
                    UrlCase{"nameHoldingCaseKeyAddsSecondKey", "K&case=1", Server::kX3, true,
                            "http://vorlane.example/xml.php?clan=K&case=1&case=1"},
                    UrlCase{"hashAndBackslashStayInTheUrl", "a\\b#c", Server::kX300, true,
                            "http://vorlane.example/xml.php?clan=a\\b#c&case=1&server=2"},
                    UrlCase{"percentStaysRaw", "100%25", Server::kX3, false,
                            "http://vorlane.example/xml.php?clan=100%25"},
                    UrlCase{"lineBreaksAndNulArePercentEncoded", std::string("a\r\nHost: x\0b", 12),
                            Server::kX3, false,
                            "http://vorlane.example/xml.php?clan=a%0D%0AHost: x%00b"}),
    [](const testing::TestParamInfo<UrlCase>& info) { return std::string(info.param.name); });

TEST(BuildRosterUrl, keepsAPortInTheHost) {
  EXPECT_EQ(BuildRosterUrl("127.0.0.1:8080", RosterQuery{"K"}),
            "http://127.0.0.1:8080/xml.php?clan=K");
}

TEST(ServerNamed, knowsTheTwoServersSpeltExactlyAndNoOther) {
  EXPECT_EQ(ServerNamed("x3"), Server::kX3);
  EXPECT_EQ(ServerNamed("x300"), Server::kX300);
  for (const char* other : {"X300", "x30", "x3 ", ""})
    EXPECT_EQ(ServerNamed(other), std::nullopt) << other;
}

}  // namespace
}  // namespace quellar
