#pragma once

#include <QDateTime>
#include <string>
#include <string_view>

#include "roster/roster_changes.h"
#include "roster/roster_rows.h"

namespace quellar::watch {

// Everything quellar-watch prints is UTF-8 made from the core's Windows-1251
// texts, one record a line, each line ended by "\n".

// The rows in their order: nick, play time, registration and profession
// separated by tabs, or, for json, one object a row with those four keys.
std::string RosterLines(const RosterRows& rows, bool json);

// "+<TAB>nick" for each arrival, then "-<TAB>nick" for each departure.
std::string ChangeLines(const RosterChanges& changes);

// The same changes as JSON objects: event "online" or "offline", nick, clan,
// server and the fetch's time.
struct ChangeContext {
  std::string_view clan;  // Windows-1251, as asked for
  std::string_view server;
  QDateTime time;
};
std::string ChangeJsonLines(const RosterChanges& changes, const ChangeContext& context);

// A message of the program (Windows-1251, lines separated by LF or CR LF), a line
// for each of its lines.
std::string MessageLines(std::string_view message);

// A JSON string of UTF-8 text: quotes, backslashes and control characters escaped.
std::string JsonString(std::string_view utf8);

// Local time with its offset from UTC, "2026-12-09T14:05:00+03:00".
std::string IsoTimeWithOffset(const QDateTime& time);

}  // namespace quellar::watch
