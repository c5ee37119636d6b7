#pragma once

#include <QLocale>
#include <string>
#include <string_view>
#include <vector>

#include "roster/roster_row.h"

namespace quellar {

// The roster service's answer: its first line, the server's online figure shown as
// is, and one row per non-empty record line, in the order of the lines.
struct ParsedRoster {
  std::string serverLine;
  std::vector<RosterRow> rows;
};

// Splits the answer into the server line and the rows. Lines end with CR LF; text
// after the last CR LF is not a line. Every body gives a result.
ParsedRoster ParseRoster(std::string_view body);

// The same, with the rows already in nick order (see NickOrder). Each row is
// built once, in its final place, rather than parsed in arrival order and then
// moved, which for a long roster costs passes over scattered memory.
ParsedRoster ParseRosterInNickOrder(std::string_view body, const QLocale& locale);

}  // namespace quellar
