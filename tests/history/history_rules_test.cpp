// What a recorded history means: who was online when, from the fetches alone.

#include <gtest/gtest.h>

#include <QLocale>
#include <QTemporaryDir>
#include <ostream>
#include <string>
#include <vector>

#include "common/path_text.h"
#include "history/history_fetches.h"
#include "history/history_recorder.h"
#include "history/member_activity.h"

namespace quellar {
namespace {

const RosterQuery kClan{"Clan", Server::kX3, false};
const RosterQuery kClanOnX300{"Clan", Server::kX300, false};
const RosterQuery kOtherClan{"Other", Server::kX3, false};

struct Step {
  int minute;  // after Monday 7 December 2026, 00:00 UTC
  std::vector<std::string> nicks;
  RosterQuery query = kClan;
  bool failed = false;  // a failed fetch: the front end has nothing to record
};

struct Rule {
  const char* name;
  std::vector<Step> fetches;
  // Each member of "Clan" on x3 in nick order: last seen and time online in the
  // last 7 days, in minutes after the base, and days with play in them.
  std::vector<std::string> members;
  int zoneOffsetHours = 0;
  int nowMinute = 24 * 60;
};

void PrintTo(const Rule& rule, std::ostream* out) {
  *out << rule.name;
}

class HistoryRules : public testing::TestWithParam<Rule> {};

TEST_P(HistoryRules, giveEachMembersLastSightingTimeOnlineAndDaysWithPlay) {
  const QTemporaryDir folder;
  HistoryFile history(test::HistoryIn(PathFromQString(folder.path())));
  for (const Step& step : GetParam().fetches) {
    if (!step.failed)
      RecordFetch(history, test::Fetched(step.query, step.nicks), test::AtMinute(step.minute));
  }
  const QTimeZone zone(GetParam().zoneOffsetHours * 3600);
  const auto members = ReadMemberActivity(history, kClan, test::AtMinute(GetParam().nowMinute),
                                          zone, {7}, QLocale(QLocale::Russian));
  ASSERT_TRUE(members);
  std::vector<std::string> lines;
  for (const MemberActivity& member : *members) {
    lines.push_back(member.nick +
                    " last=" + std::to_string((member.lastSeen - test::MinuteSeconds(0)) / 60) +
                    " online=" + std::to_string(member.periods[0].onlineSeconds / 60) +
                    " days=" + std::to_string(member.periods[0].daysWithPlay));
  }
  EXPECT_EQ(lines, GetParam().members);
}

INSTANTIATE_TEST_SUITE_P(
    History, HistoryRules,
    testing::Values(Rule{"consecutiveFetchesListingAMemberMakeThemOnlineBetween",
                         {{0, {"A", "B"}}, {10, {"A", "B"}}, {20, {"A"}}},
                         {"A last=20 online=20 days=1", "B last=10 online=10 days=1"}},
                    Rule{"fetchesSixtyFiveMinutesApartAreStillConsecutive",
                         {{0, {"A"}}, {65, {"A"}}},
                         {"A last=65 online=65 days=1"}},
                    Rule{"aLongerGapIsUnknownTimeNeitherOnlineNorOffline",
                         {{0, {"A"}}, {66, {"A"}}, {67, {"A"}}},
                         {"A last=67 online=1 days=1"}},
                    Rule{"aMemberListedByNeitherNeighbourWasOnlySeen",
                         {{0, {"B"}}, {5, {"A", "B"}}, {10, {"B"}}},
                         {"A last=5 online=0 days=1", "B last=10 online=10 days=1"}},
                    Rule{"aMemberWhoLeftAndCameBackWasOfflineBetween",
                         {{0, {"A"}}, {1, {"A"}}, {2, {}}, {3, {"A"}}, {4, {"A"}}},
                         {"A last=4 online=2 days=1"}},
                    Rule{"aFailedFetchBetweenRecordsNothing",
                         {{0, {"A"}}, {10, {}, kClan, true}, {20, {"A"}}},
                         {"A last=20 online=20 days=1"}},
                    Rule{"fetchesOfAnotherClanOrServerBetweenAreNotNeighbours",
                         {{0, {"A"}}, {10, {"B"}, kOtherClan}, {15, {}, kClanOnX300}, {20, {"A"}}},
                         {"A last=20 online=20 days=1"}},
                    Rule{"aNickListedTwiceIsOneMember",
                         {{0, {"A", "A"}}, {1, {"A"}}},
                         {"A last=1 online=1 days=1"}},
                    // 20:30 to 21:30 UTC is 23:30 to 00:30 at UTC+3.
                    Rule{"aSpanAcrossLocalMidnightCountsForBothDays",
                         {{20 * 60 + 30, {"A"}}, {21 * 60 + 30, {"A"}}},
                         {"A last=1290 online=60 days=2"},
                         3},
                    // 04:00 and 06:00 UTC are 23:00 and 01:00 at UTC-5, on either side of midnight.
                    Rule{"daysAreTheMachinesLocalDays",
                         {{4 * 60, {"A"}}, {6 * 60, {"A"}}},
                         {"A last=360 online=0 days=2"},
                         -5},
                    Rule{"theLastDaysCutASpanThatBeganBeforeThem",
                         {{0, {"A"}}, {30, {"A"}}, {60, {"A"}}, {90, {"B"}}},
                         {"A last=60 online=30 days=1", "B last=90 online=0 days=1"},
                         0,
                         7 * 24 * 60 + 30},
                    Rule{"aMemberSeenOnlyBeforeTheLastDaysKeepsTheLastSighting",
                         {{0, {"A"}}, {10, {"A"}}, {8 * 24 * 60, {"B"}}},
                         {"A last=10 online=0 days=0", "B last=11520 online=0 days=1"},
                         0,
                         8 * 24 * 60}),
    [](const testing::TestParamInfo<Rule>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quellar
