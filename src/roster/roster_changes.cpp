#include "roster/roster_changes.h"

#include <string_view>
#include <unordered_set>
#include <utility>

namespace quellar {
namespace {

using NickSet = std::unordered_set<std::string_view>;

NickSet SetOf(const std::vector<std::string>& nicks) {
  return NickSet(nicks.begin(), nicks.end(), nicks.size());
}

// The nicks of from that others lacks, each once, in from's order.
std::vector<std::string> Missing(const std::vector<std::string>& from, const NickSet& others) {
  std::vector<std::string> missing;
  NickSet listed;
  for (const std::string& nick : from) {
    if (!others.contains(nick) && listed.insert(nick).second)
      missing.push_back(nick);
  }
  return missing;
}

}  // namespace

std::vector<std::string> NicksOf(const RosterRows& rows) {
  std::vector<std::string> nicks;
  nicks.reserve(rows.size());
  for (std::size_t row = 0; row < rows.size(); ++row)
    nicks.emplace_back(rows.nick(row));
  return nicks;
}

RosterChanges CompareRosters(const std::vector<std::string>& previous,
                             const std::vector<std::string>& current) {
  return RosterChanges{Missing(current, SetOf(previous)), Missing(previous, SetOf(current))};
}

std::optional<RosterChanges> RosterWatch::Take(WatchedQuery query, std::vector<std::string> nicks) {
  std::optional<RosterChanges> changes;
  if (query_ == query)
    changes = CompareRosters(nicks_, nicks);
  query_ = std::move(query);
  nicks_ = std::move(nicks);
  return changes;
}

void RosterWatch::Forget() {
  query_.reset();
  nicks_.clear();
}

}  // namespace quellar
