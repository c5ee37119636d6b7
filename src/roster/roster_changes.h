#pragma once

#include <cstddef>
#include <optional>
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

// What one fetch asked for. Two fetches see the same members only when they ask
// for the same clan bytes on the same server with the same letter-case rule.
struct WatchedQuery {
  std::string clan;
  std::string server;
  bool caseSensitive = false;

  friend bool operator==(const WatchedQuery&, const WatchedQuery&) = default;
};

// The roster that the next successful fetch is compared with.
class RosterWatch {
 public:
  // Takes the nicks of a successful fetch, in nick order. Gives the changes since
  // the previous successful fetch of the same query; nothing for the first fetch
  // of a query, which only becomes what the next one is compared with.
  std::optional<RosterChanges> Take(WatchedQuery query, NickList nicks);

  // Forgets the roster kept, so that the next fetch is a first one.
  void Forget();

 private:
  std::optional<WatchedQuery> query_;
  NickList nicks_;
};

}  // namespace quellar
