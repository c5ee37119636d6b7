#include "history/day_view.h"

#include <QDateTime>
#include <QTime>
#include <algorithm>
#include <optional>

#include "history/member_order.h"

namespace quellar {

DayView ReadDay(HistoryFile& history, const RosterQuery& query, const QDate& day,
                const QTimeZone& zone, const QLocale& locale) {
  DayView view;
  view.begin = QDateTime(day, QTime(0, 0), zone).toSecsSinceEpoch();
  view.end = QDateTime(day.addDays(1), QTime(0, 0), zone).toSecsSinceEpoch();
  std::optional<QueryPresence> presence = ReadPresence(history, query, view.begin, view.end - 1);
  if (!presence)
    return view;

  std::vector<DayRow> unordered;
  std::vector<std::string> nicks;
  for (MemberPresence& member : presence->members) {
    if (member.spans.empty())
      continue;
    DayRow& row = unordered.emplace_back();
    for (const PresenceSpan& span : member.spans) {
      if (span.first == span.last)
        row.sightings.push_back(span.first);
      else
        row.spans.push_back(
            PresenceSpan{std::max(span.first, view.begin), std::min(span.last, view.end)});
    }
    nicks.push_back(member.nick);
    row.nick = std::move(member.nick);
  }
  for (const std::size_t place : MemberOrder(nicks, locale))
    view.rows.push_back(std::move(unordered[place]));
  return view;
}

}  // namespace quellar
