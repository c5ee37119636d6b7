#include <gtest/gtest.h>

#include <QDate>
#include <QString>
#include <cctype>
#include <ostream>
#include <string>
#include <vector>

#include "common/cp1251.h"
#include "common/error.h"
#include "common/int_conversion.h"
#include "standin/roster_sample.h"

namespace quellar::standin {
namespace {

// Windows-1251 bytes of a text written here in UTF-8.
std::string Cp(const char* utf8) {
  return ToCp1251(QString::fromUtf8(utf8));
}

const char* const kSample =
    "# two servers\n"
    "@server x3 1342\n"
    "@server x300 587 игроков\n"
    "\n"
    "@clan x3 Brannock\n"
    "Тень-Ворона|||1520|||рег.: 12.03.2007|||Воин\n"
    "Snegir|||87|||рег.: 02.11.2008|||Лучник\n"
    "@clan x3 Белые Волки\r\n"
    "Ёжик|||10|||рег.: 30.01.2009|||Жрец\r\n"
    "@clan x3 BRANNOCK\n"
    "Tessel|||9|||рег.: 03.03.2007|||Маг\n"
    "@clan x3 Пустошь\n"
    "@clan x300 Brannock\n"
    "Lynx|||95|||рег.: 12.12.2008|||Лучник\n"
    "@clan x300 Live\n"
    "A|||1|||b|||c\n"
    "@rotate 2\n"
    "B|||2|||b|||c\n"
    "C|||3|||b|||c\n";

// Clan and answer written in UTF-8; the test asks and compares in Windows-1251.
struct AnswerCase {
  const char* name;
  const char* clan;
  bool caseSensitive;
  Server server;
  const char* answer;
};

void PrintTo(const AnswerCase& c, std::ostream* out) {
  *out << c.name;
}

class SampleAnswer : public testing::TestWithParam<AnswerCase> {};

// The server line, then the records of every clan the query names, in Windows-1251.
TEST_P(SampleAnswer, givesTheServerLineThenTheRecordsOfTheClansNamed) {
  RosterSample sample = RosterSample::FromUtf8(kSample);
  const AnswerCase& c = GetParam();
  EXPECT_EQ(sample.Answer({Cp(c.clan), c.server, c.caseSensitive}), Cp(c.answer));
}

INSTANTIATE_TEST_SUITE_P(
    RosterSample, SampleAnswer,
    testing::Values(
        AnswerCase{"cyrillicClanWithCase", "Белые Волки", true, Server::kX3,
                   "1342\r\nЁжик|||10|||рег.: 30.01.2009|||Жрец\r\n"},
        AnswerCase{"everyClanWhoseNameDiffersOnlyInLetterCase", "brannock", false, Server::kX3,
                   "1342\r\n"
                   "Тень-Ворона|||1520|||рег.: 12.03.2007|||Воин\r\n"
                   "Snegir|||87|||рег.: 02.11.2008|||Лучник\r\n"
                   "Tessel|||9|||рег.: 03.03.2007|||Маг\r\n"},
        AnswerCase{"cyrillicInCapitalsWithoutCase", "БЕЛЫЕ ВОЛКИ", false, Server::kX3,
                   "1342\r\nЁжик|||10|||рег.: 30.01.2009|||Жрец\r\n"},
        AnswerCase{"cyrillicInSmallLettersWithoutCase", "белые волки", false, Server::kX3,
                   "1342\r\nЁжик|||10|||рег.: 30.01.2009|||Жрец\r\n"},
        AnswerCase{"exactBytesWithCase", "BRANNOCK", true, Server::kX3,
                   "1342\r\nTessel|||9|||рег.: 03.03.2007|||Маг\r\n"},
        AnswerCase{"cyrillicInOtherLettersWithCase", "белые волки", true, Server::kX3, "1342\r\n"},
        AnswerCase{"latinInOtherLettersWithCase", "brannock", true, Server::kX3, "1342\r\n"},
        AnswerCase{"theChosenServer", "Brannock", true, Server::kX300,
                   "587 игроков\r\nLynx|||95|||рег.: 12.12.2008|||Лучник\r\n"},
        AnswerCase{"unknownClan", "Nobody", false, Server::kX3, "1342\r\n"},
        AnswerCase{"clanOfTheOtherServer", "Белые Волки", false, Server::kX300, "587 игроков\r\n"},
        AnswerCase{"emptyClan", "", false, Server::kX3, "1342\r\n"},
        AnswerCase{"clanWithNobodyOnline", "Пустошь", false, Server::kX3, "1342\r\n"},
        AnswerCase{"partOfAName", "Bran", false, Server::kX3, "1342\r\n"},
        AnswerCase{"nameWithATrailingBlank", "Brannock ", false, Server::kX3, "1342\r\n"}),
    [](const testing::TestParamInfo<AnswerCase>& info) { return std::string(info.param.name); });

TEST(RosterSample, movesARotatingClanOnByOneMemberAtEachRequestForIt) {
  RosterSample sample = RosterSample::FromUtf8(kSample);
  const RosterQuery live{"live", Server::kX300, false};
  const std::string online = Cp("587 игроков\r\n");
  EXPECT_EQ(sample.Answer(live), online + "A|||1|||b|||c\r\nB|||2|||b|||c\r\n");
  sample.Answer({"Brannock", Server::kX300, false});  // another clan's request
  EXPECT_EQ(sample.Answer(live), online + "B|||2|||b|||c\r\nC|||3|||b|||c\r\n");
  EXPECT_EQ(sample.Answer(live), online + "C|||3|||b|||c\r\nA|||1|||b|||c\r\n");
  EXPECT_EQ(sample.Answer(live), online + "A|||1|||b|||c\r\nB|||2|||b|||c\r\n");
}

TEST(RosterSample, skipsAByteOrderMarkAndGivesZeroForAServerWithoutFigure) {
  RosterSample sample = RosterSample::FromUtf8("\xEF\xBB\xBF@clan x3 K\nA|||1|||b|||c\n");
  EXPECT_EQ(sample.Answer({"K", Server::kX3, false}), "0\r\nA|||1|||b|||c\r\n");
  EXPECT_EQ(sample.server(Server::kX300).online, "0");
}

struct BadSample {
  const char* name;
  std::string text;
  std::string message;
};

void PrintTo(const BadSample& c, std::ostream* out) {
  *out << c.name;
}

class BadSamples : public testing::TestWithParam<BadSample> {};

TEST_P(BadSamples, areRefusedNamingTheLine) {
  try {
    RosterSample::FromUtf8(GetParam().text);
    FAIL() << "loaded";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), GetParam().message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    RosterSample, BadSamples,
    testing::Values(BadSample{"recordBeforeAnyClan", "# c\nA|||1|||b|||c\n",
                              "roster sample, line 2: a record before the first @clan line"},
                    BadSample{"lineWithoutSeparator", "@clan x3 K\nA|1|b\n",
                              "roster sample, line 2: a record needs fields separated by \"|||\""},
                    BadSample{"unknownServer", "@clan x30 K\n",
                              "roster sample, line 1: the server must be \"x3\" or \"x300\""},
                    BadSample{"clanWithoutName", "@clan x300\n",
                              "roster sample, line 1: nothing follows the server"},
                    BadSample{"serverWithoutFigure", "\n\n@server x3 \n",
                              "roster sample, line 3: nothing follows the server"},
                    BadSample{"rotationWithoutACount", "@clan x3 K\n@rotate 0\n",
                              "roster sample, line 2: @rotate needs a number of members from 1 up"},
                    BadSample{"unknownDirective", "@clans x3 K\n",
                              "roster sample, line 1: unknown directive"},
                    BadSample{"characterOutsideWindows1251", "@clan x3 K\nA|||1|||b|||中\n",
                              "roster sample, line 2: text that Windows-1251 cannot hold"},
                    BadSample{"invalidUtf8", "@clan x3 K\xFF\n",
                              "roster sample, line 1: text that Windows-1251 cannot hold"}),
    [](const testing::TestParamInfo<BadSample>& info) { return std::string(info.param.name); });

TEST(RosterSample, reportsAFileThatCannotBeRead) {
  EXPECT_THROW(RosterSample::FromFile("/nonexistent/roster-sample.txt"), Error);
}

// The sample shipped with the service feeds every column of the client's table
// with text its sorts accept.
class ShippedSample : public testing::Test {
 protected:
  RosterSample sample = RosterSample::FromFile(QUELLAR_STANDIN_SAMPLE);

  static std::vector<std::string> Fields(const std::string& record) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (auto sep = record.find("|||"); sep != std::string::npos; sep = record.find("|||", start)) {
      fields.push_back(record.substr(start, sep - start));
      start = sep + 3;
    }
    fields.push_back(record.substr(start));
    return fields;
  }
};

TEST_F(ShippedSample, holdsSeveralClansOnEachServerWithAFigure) {
  for (Server server : {Server::kX3, Server::kX300}) {
    const ServerRoster& roster = sample.server(server);
    EXPECT_GE(roster.clans.size(), 3u);
    ASSERT_TRUE(TryStrToInt(roster.online).has_value()) << roster.online;
  }
}

TEST_F(ShippedSample, hasFourSortableFieldsInEveryRecord) {
  int records = 0;
  for (Server server : {Server::kX3, Server::kX300}) {
    for (const ClanRoster& clan : sample.server(server).clans) {
      for (const std::string& record : clan.records) {
        ++records;
        const auto fields = Fields(record);
        ASSERT_EQ(fields.size(), 4u) << FromCp1251(record).toStdString();
        EXPECT_FALSE(fields[0].empty());
        EXPECT_TRUE(TryStrToInt(fields[1]).has_value()) << fields[1];
        ASSERT_EQ(fields[2].size(), 16u) << FromCp1251(fields[2]).toStdString();
        EXPECT_TRUE(
            QDate::fromString(QString::fromLatin1(fields[2].substr(6)), "dd.MM.yyyy").isValid())
            << FromCp1251(fields[2]).toStdString();
        EXPECT_FALSE(fields[3].empty());
      }
    }
  }
  EXPECT_GE(records, 20);
}

TEST_F(ShippedSample, mixesCyrillicLatinAndHyphenatedNicks) {
  bool cyrillic = false;
  bool latin = false;
  bool hyphen = false;
  for (Server server : {Server::kX3, Server::kX300}) {
    for (const ClanRoster& clan : sample.server(server).clans) {
      for (const std::string& record : clan.records) {
        const std::string nick = Fields(record)[0];
        const auto first = static_cast<unsigned char>(nick.front());
        cyrillic = cyrillic || first >= 0xC0 || first == 0xA8 || first == 0xB8;
        latin = latin || (first < 0x80 && std::isalpha(first));
        hyphen = hyphen || nick.find('-') != std::string::npos;
      }
    }
  }
  EXPECT_TRUE(cyrillic);
  EXPECT_TRUE(latin);
  EXPECT_TRUE(hyphen);
}

}  // namespace
}  // namespace quellar::standin
