#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "roster/roster_rows.h"

namespace quellar {

// Who came online and who went offline between two consecutive rosters of one
// clan on one server. A member is a nick's exact bytes as the service sent them:
// a nick listed twice is one member, and an empty nick is a member like any other.
struct RosterChanges {
  std::vector<std::string> arrived;
  std::vector<std::string> left;

  bool empty() const { return arrived.empty() && left.empty(); }
  friend bool operator==(const RosterChanges&, const RosterChanges&) = default;
};

// A roster's nicks in the table's order, held in one block: a refresh keeps the
// previous roster's for as long as the next fetch takes, a million of them at
// most a few bytes each beyond their text.
class NickList {
 public:
  NickList() = default;

  void reserve(std::size_t count);
  void push_back(std::string_view nick);
  std::size_t size() const { return ends_.size(); }
  std::string_view operator[](std::size_t place) const;

 private:
  std::string bytes_;
  std::vector<std::size_t> ends_;
};

// The nicks of rows, in the rows' order.
NickList NicksOf(const RosterRows& rows);

// previous and current are the two rosters' nicks in the table's nick order, as
// a fill leaves them; the arrivals and departures keep that order, each member
// once.
RosterChanges CompareRosters(const NickList& previous, const NickList& current);

}  // namespace quellar
