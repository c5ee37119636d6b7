#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>

#include "standin/roster_query.h"

namespace quellar::standin {
namespace {

// What a parse gives, its parts between " | ", or "refused".
std::string Parsed(std::string_view text) {
  const auto line = ParseRequestLine(text);
  return line ? line->method + " | " + line->target + " | " + line->version : "refused";
}

std::string Split(std::string_view text) {
  const auto target = SplitTarget(text);
  return target ? target->path + " | " + target->query : "refused";
}

struct TextCase {
  const char* name;
  std::string text;
  std::string parts;
};

void PrintTo(const TextCase& c, std::ostream* out) {
  *out << c.name;
}

class RequestLines : public testing::TestWithParam<TextCase> {};

TEST_P(RequestLines, giveTheTargetBetweenTheFirstAndTheLastSpaceOrAreRefused) {
  EXPECT_EQ(Parsed(GetParam().text), GetParam().parts);
}

INSTANTIATE_TEST_SUITE_P(
    ParseRequestLine, RequestLines,
    testing::Values(TextCase{"spacesInTheTarget", "GET /xml.php?clan=Белые Волки  x HTTP/1.1",
                             "GET | /xml.php?clan=Белые Волки  x | HTTP/1.1"},
                    TextCase{
                        "rawWindows1251BytesInTheTarget",
                        "GET /xml.php?clan=\xC1\xE5\xEB\xFB\xE5 \xC2\xEE\xEB\xEA\xE8 HTTP/1.0",
                        "GET | /xml.php?clan=\xC1\xE5\xEB\xFB\xE5 \xC2\xEE\xEB\xEA\xE8 | HTTP/1.0"},
                    TextCase{"aTargetEndingInASpace", "GET /xml.php?clan=K  HTTP/1.1",
                             "GET | /xml.php?clan=K  | HTTP/1.1"},
                    TextCase{"empty", "", "refused"}, TextCase{"methodAlone", "GET", "refused"},
                    TextCase{"noVersion", "GET /xml.php", "refused"},
                    TextCase{"nothingAfterTheLastSpace", "GET /xml.php HTTP/1.1 ", "refused"},
                    TextCase{"emptyTarget", "GET  HTTP/1.1", "refused"},
                    TextCase{"emptyMethod", " /xml.php HTTP/1.1", "refused"},
                    TextCase{"byteAbove127InMethod", "G\xC5T /xml.php HTTP/1.1", "refused"},
                    TextCase{"versionWithoutDot", "GET /xml.php HTTP/11", "refused"},
                    TextCase{"versionInLowerCase", "GET /xml.php http/1.1", "refused"},
                    TextCase{"versionWithTrailingText", "GET /xml.php HTTP/1.1x", "refused"},
                    TextCase{"separatorInMethod", "G(T /xml.php HTTP/1.1", "refused"}),
    [](const testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

class Targets : public testing::TestWithParam<TextCase> {};

TEST_P(Targets, ofTheOriginOrAbsoluteFormSplitIntoPathAndQueryOthersAreRefused) {
  EXPECT_EQ(Split(GetParam().text), GetParam().parts);
}

INSTANTIATE_TEST_SUITE_P(
    SplitTarget, Targets,
    testing::Values(
        TextCase{"originForm", "/xml.php?clan=K&case=1", "/xml.php | clan=K&case=1"},
        TextCase{"originFormWithoutQuery", "/xml.php", "/xml.php | "},
        TextCase{"originFormWithEmptyQuery", "/xml.php?", "/xml.php | "},
        TextCase{"absoluteFormWithPort", "http://vorlane.example:80/xml.php?clan=K&server=2",
                 "/xml.php | clan=K&server=2"},
        TextCase{"absoluteFormWithoutPort", "http://127.0.0.1/xml.php?clan=K", "/xml.php | clan=K"},
        TextCase{"schemeInCapitals", "HTTP://vorlane.example:80/xml.php?clan=K",
                 "/xml.php | clan=K"},
        TextCase{"absoluteFormWithoutPath", "http://vorlane.example:80", "/ | "},
        TextCase{"absoluteFormWithQueryAfterHost", "http://vorlane.example?clan=K", "/ | clan=K"},
        TextCase{"laterQuestionMarksBelongToTheQuery", "/xml.php?clan=a?b", "/xml.php | clan=a?b"},
        TextCase{"rawSpacesAndBytesInTheQuery",
                 "http://vorlane.example:80/xml.php?clan=\xC1\xE5\xEB\xFB\xE5 \xC2\xEE\xEB",
                 "/xml.php | clan=\xC1\xE5\xEB\xFB\xE5 \xC2\xEE\xEB"},
        TextCase{"asterisk", "*", "refused"},
        TextCase{"authorityForm", "vorlane.example:80", "refused"},
        TextCase{"https", "https://vorlane.example/xml.php", "refused"},
        TextCase{"noHost", "http:///xml.php", "refused"},
        TextCase{"relative", "xml.php?clan=K", "refused"}),
    [](const testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

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
        QueryCase{"clanAlone", "clan=Brannock", {"Brannock", Server::kX3, false}},
        QueryCase{"caseAndServer", "clan=K&case=1&server=2", {"K", Server::kX300, true}},
        QueryCase{"emptyClan", "clan=", {"", Server::kX3, false}},
        QueryCase{"noClanKey", "", {"", Server::kX3, false}},
        QueryCase{"caseOtherThanOneIsIgnored", "clan=K&case=yes", {"K", Server::kX3, false}},
        QueryCase{"serverOtherThanTwoIsX3", "clan=K&server=3", {"K", Server::kX3, false}},
        QueryCase{"lastOfARepeatedKeyCounts",
                  "clan=A&server=2&clan=B&server=1",
                  {"B", Server::kX3, false}},
        QueryCase{
            "repeatedCaseKeyStillAsksForCase", "clan=K&case=1&case=1", {"K", Server::kX3, true}},
        QueryCase{"keysAreCaseSensitive", "CLAN=K&Case=1&SERVER=2", {"", Server::kX3, false}},
        QueryCase{"unknownKeysAreIgnored", "x=1&clan=K&y", {"K", Server::kX3, false}},
        QueryCase{"rawSpacesAndCyrillicStay",
                  "clan=\xC1\xE5\xEB\xFB\xE5 \xC2\xEE\xEB\xEA\xE8",
                  {"\xC1\xE5\xEB\xFB\xE5 \xC2\xEE\xEB\xEA\xE8", Server::kX3, false}},
        QueryCase{
            "equalsSignsAfterTheFirstBelongToTheValue", "clan=a=b", {"a=b", Server::kX3, false}},
        QueryCase{"hashIsAnOrdinaryByte", "clan=a#b&case=1", {"a#b", Server::kX3, true}},
        QueryCase{"encodedLineBreaksAndNulAreDecoded",
                  "clan=a%0D%0AHost: x%00b",
                  {std::string("a\r\nHost: x\0b", 12), Server::kX3, false}},
        QueryCase{"otherPercentSequencesStay",
                  "clan=100%25%20%C1",
                  {"100%25%20%C1", Server::kX3, false}}),
    [](const testing::TestParamInfo<QueryCase>& info) { return std::string(info.param.name); });

TEST(DecodeLineBreaksAndNul, acceptsLowerCaseHexDigitsAndLeavesAnEscapeCutShortAtTheEnd) {
  EXPECT_EQ(DecodeLineBreaksAndNul("a%0d%0ab"), "a\r\nb");
  EXPECT_EQ(DecodeLineBreaksAndNul("a%0"), "a%0");
  EXPECT_EQ(DecodeLineBreaksAndNul("a%"), "a%");
  EXPECT_EQ(DecodeLineBreaksAndNul("%0D"), "\r");
}

}  // namespace
}  // namespace quellar::standin
