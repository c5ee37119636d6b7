// A fetch fills the table straight from the answer, its rows held in the answer
// itself; for every kind of answer that must give the answer's rows in nick
// order, whole, and its status texts, in one reset.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <string>
#include <vector>

#include "common/cp1251.h"
#include "roster/nick_order.h"
#include "roster/roster_model.h"
#include "roster/roster_parse.h"
#include "roster/roster_row_printer.h"
#include "support/printers.h"

namespace quellar {
namespace {

using test::PrintTo;  // names each case in gtest's output

const QLocale kRussian(QLocale::Russian, QLocale::Russia);

// Many lines: Cyrillic and Latin nicks in both cases, hyphens and apostrophes,
// repeats, empty nicks inside and after the last named row, lines without a
// separator and short lines, enough rows for the bucketed sort.
std::string ManyLines() {
  const std::vector<std::string> stems = {
      "\xC0\xED\xFF", "\xE0\xED\xFF", "\xA8\xE6", "\xC5\xE6",          "Zed", "zed", "Dark-Knight",
      "DarkKnight",   "O'Neil",       "ONeil",    "\xD2\xE5\xED\xFC-1"};
  std::string body = "4321 \xE8\xE3\xF0\xEE\xEA\xEE\xE2\r\n";
  for (int i = 0; i < 6000; ++i) {
    const std::string nick =
        i % 97 == 0 ? std::string() : stems[i % stems.size()] + std::to_string(i % 13);
    if (i % 101 == 0)
      body += nick + "\r\n";  // no separator: the whole line is the nick
    else if (i % 103 == 0)
      body += nick + "|||" + std::to_string(i) + "\r\n";  // a short line
    else
      body += nick + "|||" + std::to_string(i) + "|||12:00 01.02.2009|||\xCC\xE0\xE3\r\n";
    if (i % 211 == 0)
      body += "\r\n";  // empty lines are no rows
  }
  body += "|||1|||after|||the last named\r\n|||2|||x|||y\r\nno line end";
  return body;
}

struct AnswerCase {
  const char* name;
  std::string body;
};

class AnswerFill : public testing::TestWithParam<AnswerCase> {};

TEST_P(AnswerFill, fillsTheTableAndStatusTextsInOneReset) {
  const std::string& body = GetParam().body;
  RosterAnswer expected = ParseAnswer(body);
  expected.rows.Arrange(NickOrder(expected.rows, kRussian));
  RosterModel table(kRussian);
  table.Show(FillRoster("1\r\nOld|||1|||2|||3\r\n", table.locale()));
  QSignalSpy resets(&table, &RosterModel::modelReset);
  QSignalSpy texts(&table, &RosterModel::statusTextsChanged);

  table.Show(FillRoster(body, table.locale()));

  EXPECT_EQ(table.rows(), expected.rows);
  EXPECT_EQ(table.clanStatusText(),
            QStringLiteral("Онлайн клана: ") + QString::number(expected.rows.size()));
  EXPECT_EQ(table.serverStatusText(),
            QStringLiteral("Онлайн сервера: ") + FromCp1251(expected.serverLine));
  EXPECT_EQ(resets.count(), 1);
  EXPECT_EQ(texts.count(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    RosterModel, AnswerFill,
    testing::Values(
        AnswerCase{"emptyBody", ""}, AnswerCase{"noLineEnd", "1234"},
        AnswerCase{"serverLineOnly", "1234\r\n"}, AnswerCase{"oneRow", "1234\r\nA|||1|||2|||3\r\n"},
        AnswerCase{"outOfOrder",
                   "1500\r\nZed|||300|||12:00 01.02.2009|||Mage\r\nAda|||100|||08:30 03.04.2010|||"
                   "Smith\r\nMira|||200|||23:59 05.06.2011|||Hunter\r\n"},
        AnswerCase{"equalNicksKeepTheirArrivalOrder", "1\r\nA|||1\r\nB|||2\r\nA|||3\r\nA|||4\r\n"},
        AnswerCase{"emptyNicksAfterTheLastNamedStayBehind",
                   "1\r\n|||1\r\nB|||2\r\n|||3\r\nA|||4\r\n|||5\r\n|||6\r\n"},
        AnswerCase{"hyphensWeighLess", "1\r\nab-c|||1\r\nabc|||2\r\nab'c|||3\r\naBc|||4\r\n"},
        AnswerCase{"manyLines", ManyLines()}),
    [](const testing::TestParamInfo<AnswerCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quellar
