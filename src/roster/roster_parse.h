#pragma once

#include <string>
#include <string_view>

#include "roster/roster_row.h"
#include "roster/roster_rows.h"

namespace quellar {

// The roster service's answer: its first line, the server's online figure shown as
// is, and one row per non-empty record line, in the order of the lines, the rows
// held in the answer itself rather than copied out of it.
struct RosterAnswer {
  std::string serverLine;
  RosterRows rows;
};

// Splits the answer into the server line and the rows, taking the answer over as
// the rows' storage. Lines end with CR LF; text after the last CR LF is not a
// line. Every body gives a result.
RosterAnswer ParseAnswer(std::string body);

// One non-empty record line's four columns, as views into the line.
RosterRowView SplitRecordLine(std::string_view line);

// The nick SplitRecordLine gives, alone.
std::string_view NickOfRecordLine(std::string_view line);

}  // namespace quellar
