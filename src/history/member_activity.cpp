#include "history/member_activity.h"

#include <algorithm>

#include "history/local_clock.h"
#include "history/member_order.h"
#include "history/presence.h"

namespace quellar {
namespace {

// The spans' time and local days within [from, to], a span that began earlier
// counted from from.
PlayTally Tally(const std::vector<PresenceSpan>& spans, std::int64_t from, std::int64_t to,
                const LocalClock& clock) {
  PlayTally tally;
  std::vector<std::int64_t> days;
  for (const PresenceSpan& span : spans) {
    const std::int64_t first = std::max(span.first, from);
    const std::int64_t last = std::min(span.last, to);
    if (first > last)
      continue;
    tally.onlineSeconds += last - first;
    // Local days only go backwards at a rare midnight change of offset; the
    // days between the two ends are held either way.
    const std::int64_t firstDay = clock.Day(first);
    const std::int64_t lastDay = clock.Day(last);
    for (std::int64_t day = std::min(firstDay, lastDay); day <= std::max(firstDay, lastDay); ++day)
      days.push_back(day);
  }
  std::sort(days.begin(), days.end());
  tally.daysWithPlay = static_cast<int>(std::unique(days.begin(), days.end()) - days.begin());
  return tally;
}

}  // namespace

std::optional<std::vector<MemberActivity>> ReadMemberActivity(
    HistoryFile& history, const RosterQuery& query, const QDateTime& now, const QTimeZone& zone,
    const std::vector<int>& periodDays, const QLocale& locale) {
  const std::int64_t to = now.toSecsSinceEpoch();
  const int longest =
      periodDays.empty() ? 1 : *std::max_element(periodDays.begin(), periodDays.end());
  const std::int64_t from = to - longest * kSecondsPerDay;
  std::optional<QueryPresence> presence = ReadPresence(history, query, from, to);
  if (!presence)
    return std::nullopt;

  const LocalClock clock(zone, from, to);
  std::vector<MemberActivity> unordered;
  std::vector<std::string> nicks;
  unordered.reserve(presence->members.size());
  nicks.reserve(presence->members.size());
  for (MemberPresence& member : presence->members) {
    MemberActivity& activity = unordered.emplace_back();
    for (const int days : periodDays)
      activity.periods.push_back(Tally(member.spans, to - days * kSecondsPerDay, to, clock));
    activity.lastSeen = member.lastSeen;
    nicks.push_back(member.nick);
    activity.nick = std::move(member.nick);
  }

  std::vector<MemberActivity> ordered;
  ordered.reserve(unordered.size());
  for (const std::size_t place : MemberOrder(nicks, locale))
    ordered.push_back(std::move(unordered[place]));
  return ordered;
}

}  // namespace quellar
