#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "standin/roster_query.h"

namespace quellar::standin {
namespace {

TEST(ParseRequestLine, takesTheTargetBetweenTheFirstAndTheLastSpace) {
  const auto line = ParseRequestLine("GET /xml.php?clan=Белые Волки  x HTTP/1.1");
  ASSERT_TRUE(line.has_value());
  EXPECT_EQ(line->method, "GET");
  EXPECT_EQ(line->target, "/xml.php?clan=Белые Волки  x");
  EXPECT_EQ(line->version, "HTTP/1.1");
}

TEST(ParseRequestLine, keepsRawWindows1251BytesOfTheTarget) {
  const auto line =
      ParseRequestLine("GET /xml.php?clan=\xC1\xE5\xEB\xFB\xE5 \xC2\xEE\xEB\xEA\xE8 HTTP/1.0");
  ASSERT_TRUE(line.has_value());
  EXPECT_EQ(line->target, "/xml.php?clan=\xC1\xE5\xEB\xFB\xE5 \xC2\xEE\xEB\xEA\xE8");
  EXPECT_EQ(line->version, "HTTP/1.0");
}

TEST(ParseRequestLine, keepsATargetThatEndsInASpace) {
  const auto line = ParseRequestLine("GET /xml.php?clan=K  HTTP/1.1");
  ASSERT_TRUE(line.has_value());
  EXPECT_EQ(line->target, "/xml.php?clan=K ");
}

struct GarbledLine {
  const char* name;
  std::string line;
};

void PrintTo(const GarbledLine& c, std::ostream* out) {
  *out << c.name;
}

class GarbledRequestLine : public testing::TestWithParam<GarbledLine> {};

TEST_P(GarbledRequestLine, isRefused) {
  EXPECT_FALSE(ParseRequestLine(GetParam().line).has_value());
}

INSTANTIATE_TEST_SUITE_P(
    ParseRequestLine, GarbledRequestLine,
    testing::Values(GarbledLine{"empty", ""}, GarbledLine{"methodAlone", "GET"},
                    GarbledLine{"noVersion", "GET /xml.php"},
                    GarbledLine{"nothingAfterTheLastSpace", "GET /xml.php HTTP/1.1 "},
                    GarbledLine{"emptyTarget", "GET  HTTP/1.1"},
                    GarbledLine{"emptyMethod", " /xml.php HTTP/1.1"},
                    GarbledLine{"byteAbove127InMethod", "G\xC5T /xml.php HTTP/1.1"},
                    GarbledLine{"versionWithoutDot", "GET /xml.php HTTP/11"},
                    GarbledLine{"versionInLowerCase", "GET /xml.php http/1.1"},
                    GarbledLine{"versionWithTrailingText", "GET /xml.php HTTP/1.1x"},
                    GarbledLine{"separatorInMethod", "G(T /xml.php HTTP/1.1"}),
    [](const testing::TestParamInfo<GarbledLine>& info) { return std::string(info.param.name); });

struct TargetCase {
  const char* name;
  std::string target;
  std::string path;
  std::string query;
};

void PrintTo(const TargetCase& c, std::ostream* out) {
  *out << c.name;
}

class TargetForms : public testing::TestWithParam<TargetCase> {};

TEST_P(TargetForms, splitIntoPathAndQuery) {
  const TargetCase& c = GetParam();
  const auto target = SplitTarget(c.target);
  ASSERT_TRUE(target.has_value());
  EXPECT_EQ(target->path, c.path);
  EXPECT_EQ(target->query, c.query);
}

INSTANTIATE_TEST_SUITE_P(
    SplitTarget, TargetForms,
    testing::Values(
        TargetCase{"originForm", "/xml.php?clan=K&case=1", "/xml.php", "clan=K&case=1"},
        TargetCase{"originFormWithoutQuery", "/xml.php", "/xml.php", ""},
        TargetCase{"originFormWithEmptyQuery", "/xml.php?", "/xml.php", ""},
        TargetCase{"absoluteFormWithPort", "http://vorlane.example:80/xml.php?clan=K&server=2",
                   "/xml.php", "clan=K&server=2"},
        TargetCase{"absoluteFormWithoutPort", "http://127.0.0.1/xml.php?clan=K", "/xml.php",
                   "clan=K"},
        TargetCase{"schemeInCapitals", "HTTP://vorlane.example:80/xml.php?clan=K", "/xml.php",
                   "clan=K"},
        TargetCase{"absoluteFormWithoutPath", "http://vorlane.example:80", "/", ""},
        TargetCase{"absoluteFormWithQueryAfterHost", "http://vorlane.example?clan=K", "/",
                   "clan=K"},
        TargetCase{"laterQuestionMarksBelongToTheQuery", "/xml.php?clan=a?b", "/xml.php",
                   "clan=a?b"},
        TargetCase{"rawSpacesAndBytesInTheQuery",
                   "http://vorlane.example:80/xml.php?clan=\xC1\xE5\xEB\xFB\xE5 \xC2\xEE\xEB",
                   "/xml.php", "clan=\xC1\xE5\xEB\xFB\xE5 \xC2\xEE\xEB"}),
    [](const testing::TestParamInfo<TargetCase>& info) { return std::string(info.param.name); });

TEST(SplitTarget, refusesOtherForms) {
  EXPECT_FALSE(SplitTarget("*").has_value());
  EXPECT_FALSE(SplitTarget("vorlane.example:80").has_value());
  EXPECT_FALSE(SplitTarget("https://vorlane.example/xml.php").has_value());
  EXPECT_FALSE(SplitTarget("http:///xml.php").has_value());
  EXPECT_FALSE(SplitTarget("xml.php?clan=K").has_value());
}

struct QueryCase {
  const char* name;
  std::string query;
  RosterQuery expected;
};

void PrintTo(const QueryCase& c, std::ostream* out) {
  *out << c.name;
}

class RosterQueries : public testing::TestWithParam<QueryCase> {};

TEST_P(RosterQueries, areReadFromTheQuery) {
  EXPECT_EQ(ParseRosterQuery(GetParam().query), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    ParseRosterQuery, RosterQueries,
    testing::Values(
        QueryCase{"clanAlone", "clan=Brannock", {"Brannock", false, Server::kX3}},
        QueryCase{"caseAndServer", "clan=K&case=1&server=2", {"K", true, Server::kX300}},
        QueryCase{"emptyClan", "clan=", {"", false, Server::kX3}},
        QueryCase{"noClanKey", "", {"", false, Server::kX3}},
        QueryCase{"caseOtherThanOneIsIgnored", "clan=K&case=yes", {"K", false, Server::kX3}},
        QueryCase{"serverOtherThanTwoIsX3", "clan=K&server=3", {"K", false, Server::kX3}},
        QueryCase{"lastOfARepeatedKeyCounts",
                  "clan=A&server=2&clan=B&server=1",
                  {"B", false, Server::kX3}},
        QueryCase{
            "repeatedCaseKeyStillAsksForCase", "clan=K&case=1&case=1", {"K", true, Server::kX3}},
        QueryCase{"keysAreCaseSensitive", "CLAN=K&Case=1&SERVER=2", {"", false, Server::kX3}},
        QueryCase{"unknownKeysAreIgnored", "x=1&clan=K&y", {"K", false, Server::kX3}},
        QueryCase{"rawSpacesAndCyrillicStay",
                  "clan=\xC1\xE5\xEB\xFB\xE5 \xC2\xEE\xEB\xEA\xE8",
                  {"\xC1\xE5\xEB\xFB\xE5 \xC2\xEE\xEB\xEA\xE8", false, Server::kX3}},
        QueryCase{
            "equalsSignsAfterTheFirstBelongToTheValue", "clan=a=b", {"a=b", false, Server::kX3}},
        QueryCase{"hashIsAnOrdinaryByte", "clan=a#b&case=1", {"a#b", true, Server::kX3}},
        QueryCase{"encodedLineBreaksAndNulAreDecoded",
                  "clan=a%0D%0AHost: x%00b",
                  {std::string("a\r\nHost: x\0b", 12), false, Server::kX3}},
        QueryCase{"otherPercentSequencesStay",
                  "clan=100%25%20%C1",
                  {"100%25%20%C1", false, Server::kX3}}),
    [](const testing::TestParamInfo<QueryCase>& info) { return std::string(info.param.name); });

TEST(DecodeLineBreaksAndNul, acceptsLowerCaseHexDigits) {
  EXPECT_EQ(DecodeLineBreaksAndNul("a%0d%0ab"), "a\r\nb");
}

TEST(DecodeLineBreaksAndNul, leavesAnEscapeCutShortAtTheEnd) {
  EXPECT_EQ(DecodeLineBreaksAndNul("a%0"), "a%0");
  EXPECT_EQ(DecodeLineBreaksAndNul("a%"), "a%");
  EXPECT_EQ(DecodeLineBreaksAndNul("%0D"), "\r");
}

}  // namespace
}  // namespace quellar::standin
