#include "roster/roster_changes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quellar {
namespace {

using Nicks = std::vector<std::string>;

struct Case {
  const char* name;
  Nicks previous;
  Nicks current;
  RosterChanges expected;
};

// 100,000 members "m0"..., of whom the first 1,000 leave and 1,000 others come.
Case ThousandChangedAmongHundredThousand() {
  Case c{"aThousandChangedAmongAHundredThousand", {}, {}, {}};
  for (int i = 0; i < 100000; ++i) {
    c.previous.push_back("m" + std::to_string(i));
    c.current.push_back("m" + std::to_string(i + 1000));
  }
  c.expected.left.assign(c.previous.begin(), c.previous.begin() + 1000);
  c.expected.arrived.assign(c.current.end() - 1000, c.current.end());
  return c;
}

class CompareRostersTable : public testing::TestWithParam<Case> {};

NickList ListOf(const Nicks& nicks) {
  NickList list;
  for (const std::string& nick : nicks)
    list.push_back(nick);
  return list;
}

TEST_P(CompareRostersTable, givesTheArrivalsAndDeparturesInNickOrder) {
  EXPECT_EQ(CompareRosters(ListOf(GetParam().previous), ListOf(GetParam().current)),
            GetParam().expected);
}

// "\xB8\xE6\xE8\xEA" and "\xA8\xE6\xE8\xEA" are "ёжик" and "Ёжик" in Windows-1251.
INSTANTIATE_TEST_SUITE_P(
    Rosters, CompareRostersTable,
    testing::Values(
        Case{"nobodyOnlineThenSome", {}, {"Alder", "Brannock"}, {{"Alder", "Brannock"}, {}}},
        Case{"theSameRosterTwice", {"Alder", "Brannock"}, {"Alder", "Brannock"}, {}},
        Case{"theSameMembersInAnotherOrder", {"Brannock", "Alder"}, {"Alder", "Brannock"}, {}},
        Case{"aNickListedTwiceCountsOnce",
             {"Alder", "Alder", "Brannock"},
             {"Brannock", "Cedar", "Cedar"},
             {{"Cedar"}, {"Alder"}}},
        Case{"nicksAreTheirExactBytes",
             {"\xB8\xE6\xE8\xEA"},
             {"\xA8\xE6\xE8\xEA"},
             {{"\xA8\xE6\xE8\xEA"}, {"\xB8\xE6\xE8\xEA"}}},
        Case{"anEmptyNickIsAMember", {"", "Alder"}, {"Alder", "Brannock"}, {{"Brannock"}, {""}}},
        ThousandChangedAmongHundredThousand()),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quellar
