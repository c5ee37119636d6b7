#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <QTimeZone>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "common/roster_query.h"
#include "roster/fetch_step.h"

namespace quellar::test {

// Monday 7 December 2026, 00:00 UTC: the tests' fetches are minutes after it.
inline QDateTime Base() {
  return QDateTime(QDate(2026, 12, 7), QTime(0, 0), QTimeZone::utc());
}
inline QDateTime AtMinute(int minute) {
  return Base().addSecs(minute * 60LL);
}
inline std::int64_t MinuteSeconds(int minute) {
  return AtMinute(minute).toSecsSinceEpoch();
}

// A successful fetch of query listing nicks, as the fetch step gives it: the
// server's figure "1342", one row a nick.
inline FetchedRoster Fetched(const RosterQuery& query, const std::vector<std::string>& nicks) {
  std::string body = "1342\r\n";
  for (const std::string& nick : nicks)
    body += nick + "|||1|||reg|||prof\r\n";
  FetchedRoster fetched;
  fetched.filled = ParseAnswer(std::move(body));
  fetched.seen = std::make_shared<SeenRoster>(SeenRoster{query, NicksOf(fetched.filled.rows)});
  return fetched;
}

// history.sqlite in a fresh temporary folder.
inline std::filesystem::path HistoryIn(const std::filesystem::path& folder) {
  return folder / "history.sqlite";
}

}  // namespace quellar::test
