#include "roster/roster_parse.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "roster/roster_row_printer.h"
#include "support/printers.h"

namespace quellar {
namespace {

using test::PrintTo;  // names each case in gtest's output

using namespace std::string_literals;

struct ParseCase {
  const char* name;
  std::string body;
  std::string serverLine;
  std::vector<RosterRow> rows;
};

class ParseAnswerCases : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseAnswerCases, givesServerLineAndRowsInLineOrder) {
  const ParseCase& c = GetParam();
  const RosterAnswer answer = ParseAnswer(c.body);
  EXPECT_EQ(answer.serverLine, c.serverLine);
  EXPECT_EQ(answer.rows, c.rows);
}

INSTANTIATE_TEST_SUITE_P(
    ParseAnswer, ParseAnswerCases,
    testing::Values(
        ParseCase{"emptyBodyGivesNothing", "", "", {}},
        ParseCase{
            "bodyWithoutLineEndGivesEmptyServerLineAndNoRows", "1500\nA|||1|||r|||p\r", "", {}},
        ParseCase{"serverLineOnlyGivesNoRows", "1500\r\n", "1500", {}},
        ParseCase{"serverLineIsKeptUnchanged", " 1|||2 \r\n", " 1|||2 ", {}},
        ParseCase{"emptyServerLine", "\r\nA|||1|||r|||p\r\n", "", {{"A", "1", "r", "p"}}},
        ParseCase{"recordsInLineOrder",
                  "1500\r\nZed|||10|||reg Zed|||Mage\r\nAda|||20|||reg Ada|||Smith\r\n",
                  "1500",
                  {{"Zed", "10", "reg Zed", "Mage"}, {"Ada", "20", "reg Ada", "Smith"}}},
        ParseCase{"emptyLinesAreSkipped",
                  "7\r\n\r\nA|||1|||r|||p\r\n\r\n\r\nB|||2|||s|||q\r\n\r\n",
                  "7",
                  {{"A", "1", "r", "p"}, {"B", "2", "s", "q"}}},
        ParseCase{"lastRecordWithoutLineEndIsNotShown",
                  "7\r\nA|||1|||r|||p\r\nB|||2|||s|||q",
                  "7",
                  {{"A", "1", "r", "p"}}},
        ParseCase{"tailAfterLastLineEndIsIgnored", "7\r\nB|||2|||s|||q\r", "7", {}},
        ParseCase{"loneLfAndCrAreNotLineEnds",
                  "7\nx\r\nA|||1\n2|||r\r|||p\r\r\n",
                  "7\nx",
                  {{"A", "1\n2", "r\r", "p\r"}}},
        ParseCase{"nickAndOneFieldRepeatsItInEveryColumn",
                  "7\r\nA|||42\r\n",
                  "7",
                  {{"A", "42", "42", "42"}}},
        ParseCase{"nickAndTwoFieldsRepeatsTheSecond",
                  "7\r\nA|||42|||reg\r\n",
                  "7",
                  {{"A", "42", "reg", "reg"}}},
        ParseCase{"fieldsBeyondTheFourthAreDropped",
                  "7\r\nA|||1|||r|||p|||extra|||more\r\n",
                  "7",
                  {{"A", "1", "r", "p"}}},
        ParseCase{"trailingSeparatorAfterFourthFieldChangesNothing",
                  "7\r\nA|||1|||r|||p|||\r\n",
                  "7",
                  {{"A", "1", "r", "p"}}},
        ParseCase{"trailingSeparatorAfterThirdFieldLeavesProfessionEmpty",
                  "7\r\nA|||1|||r|||\r\n",
                  "7",
                  {{"A", "1", "r", ""}}},
        ParseCase{"lineStartingWithSeparatorHasEmptyNick",
                  "7\r\n|||1|||r|||p\r\n",
                  "7",
                  {{"", "1", "r", "p"}}},
        ParseCase{"lineOfOnlySeparatorGivesEmptyRow", "7\r\n|||\r\n", "7", {{"", "", "", ""}}},
        ParseCase{"lineWithoutSeparatorIsAllNick",
                  "7\r\nLonely wolf\r\n",
                  "7",
                  {{"Lonely wolf", "", "", ""}}},
        ParseCase{"fourPipesLeaveOneInTheNextField",
                  "7\r\nA||||1|||r|||p\r\n",
                  "7",
                  {{"A", "|1", "r", "p"}}},
        ParseCase{
            "spacesAreKept", "7\r\n A ||| 1 |||r |||p \r\n", "7", {{" A ", " 1 ", "r ", "p "}}},
        ParseCase{"bytesAboveAsciiAreKeptExactly",
                  "\xCE\xED\xEB\xE0\xE9\xED: 1500\r\n"
                  "\xC8\xE2\xE0\xED|||\x98\xFF\x80|||\xA8\xB8 01.02.2009|||\xCC\xE0\xE3\r\n",
                  "\xCE\xED\xEB\xE0\xE9\xED: 1500",
                  {{"\xC8\xE2\xE0\xED", "\x98\xFF\x80", "\xA8\xB8 01.02.2009", "\xCC\xE0\xE3"}}},
        ParseCase{
            "nulBytesAreKept", "7\0\r\nA\0|||1|||r|||p\r\n"s, "7\0"s, {{"A\0"s, "1", "r", "p"}}}),
    [](const testing::TestParamInfo<ParseCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quellar
