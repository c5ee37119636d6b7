#include "net/http_url.h"

#include <gtest/gtest.h>

#include <string>

#include "support/printers.h"

namespace quellar {
namespace {

using test::PrintTo;  // names each case in gtest's output

struct SplitCase {
  const char* name;
  std::string url;
  std::string host;
  std::int32_t port;
  std::string target;
};

class SplitUrl : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitUrl, givesHostPortAndTarget) {
  const SplitCase& c = GetParam();
  const HttpUrl url = SplitHttpUrl(c.url);
  EXPECT_EQ(url.host, c.host);
  EXPECT_EQ(url.port, c.port);
  EXPECT_EQ(url.target, c.target);
}

INSTANTIATE_TEST_SUITE_P(
    SplitHttpUrl, SplitUrl,
    testing::Values(
        SplitCase{"defaultPortIs80", "http://vorlane.example/xml.php?clan=K", "vorlane.example", 80,
                  "/xml.php?clan=K"},
        SplitCase{"namedPort", "http://vorlane.example:8080/xml.php", "vorlane.example", 8080,
                  "/xml.php"},
        SplitCase{"emptyPortIs80", "http://vorlane.example:/xml.php", "vorlane.example", 80,
                  "/xml.php"},
        SplitCase{"backslashesCountAsSlashes", "http:\\\\vorlane.example\\dir\\xml.php?clan=a\\b",
                  "vorlane.example", 80, "/dir/xml.php?clan=a/b"},
        SplitCase{"hashInTheAuthority", "http://vorlane.example#x/xml.php", "vorlane.example", 80,
                  "/"},
        SplitCase{"withoutScheme", "vorlane.example/xml.php", "vorlane.example", 80, "/xml.php"},
        SplitCase{"ipv6Literal", "http://[::1]:8080/xml.php", "[::1]", 8080, "/xml.php"},
        SplitCase{"ipv6LiteralWithoutPort", "http://[::1]/xml.php", "[::1]", 80, "/xml.php"}),
    [](const testing::TestParamInfo<SplitCase>& info) { return std::string(info.param.name); });

TEST(HostHeaderValue, namesAPortOtherThan80) {
  EXPECT_EQ(HostHeaderValue({"[::1]", 81, "/"}), "[::1]:81");
}

}  // namespace
}  // namespace quellar
