#include "net/http_url.h"

#include <gtest/gtest.h>

#include <string>

#include "common/error.h"
#include "support/printers.h"

namespace quellar {
namespace {

using test::PrintTo;  // names each case in gtest's output

using namespace std::string_literals;

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
        SplitCase{"noPathIsTheRoot", "http://vorlane.example", "vorlane.example", 80, "/"},
        SplitCase{"queryWithoutPath", "http://vorlane.example?clan=K", "vorlane.example", 80,
                  "/?clan=K"},
        SplitCase{"backslashesCountAsSlashes", "http:\\\\vorlane.example\\dir\\xml.php?clan=a\\b",
                  "vorlane.example", 80, "/dir/xml.php?clan=a/b"},
        SplitCase{"hashEndsTheUrl", "http://vorlane.example/xml.php?clan=a#b&case=1",
                  "vorlane.example", 80, "/xml.php?clan=a"},
        SplitCase{"hashInTheAuthority", "http://vorlane.example#x/xml.php", "vorlane.example", 80,
                  "/"},
        SplitCase{"withoutScheme", "vorlane.example/xml.php", "vorlane.example", 80, "/xml.php"},
        SplitCase{"ipv6Literal", "http://[::1]:8080/xml.php", "[::1]", 8080, "/xml.php"},
        SplitCase{"ipv6LiteralWithoutPort", "http://[::1]/xml.php", "[::1]", 80, "/xml.php"},
        SplitCase{"rawBytesStay", "http://h/xml.php?clan=a b&\xCA\xEB\xE0\xED%25", "h", 80,
                  "/xml.php?clan=a b&\xCA\xEB\xE0\xED%25"},
        SplitCase{"lineBreaksAndNulAreEscaped", "http://h/xml.php?clan=a\r\nb\0c"s, "h", 80,
                  "/xml.php?clan=a%0D%0Ab%00c"}),
    [](const testing::TestParamInfo<SplitCase>& info) { return std::string(info.param.name); });

TEST(SplitHttpUrl, aPortThatIsNotAnIntegerFails) {
  try {
    SplitHttpUrl("http://vorlane.example:http/xml.php");
    FAIL() << "no error";
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(), "'http' is not a valid integer value");
  }
}

TEST(HostHeaderValue, leavesOutPort80) {
  EXPECT_EQ(HostHeaderValue({"vorlane.example", 80, "/"}), "vorlane.example");
}

TEST(HostHeaderValue, namesAnyOtherPort) {
  EXPECT_EQ(HostHeaderValue({"vorlane.example", 8080, "/"}), "vorlane.example:8080");
  EXPECT_EQ(HostHeaderValue({"[::1]", 81, "/"}), "[::1]:81");
}

TEST(ProxiedRequestTarget, writesPort80Out) {
  EXPECT_EQ(ProxiedRequestTarget({"vorlane.example", 80, "/xml.php?clan=K"}),
            "http://vorlane.example:80/xml.php?clan=K");
}

TEST(ProxiedRequestTarget, keepsAnotherPort) {
  EXPECT_EQ(ProxiedRequestTarget({"vorlane.example", 8080, "/xml.php?clan=a b"}),
            "http://vorlane.example:8080/xml.php?clan=a b");
}

}  // namespace
}  // namespace quellar
