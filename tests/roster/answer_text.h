#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "roster/roster_row.h"

namespace quellar {

// The service's answer that gives serverLine and rows: each row one record line
// of its four fields. No field may hold the separator "|||" or a CR LF.
inline std::string AnswerText(std::string_view serverLine, const std::vector<RosterRow>& rows) {
  std::string text(serverLine);
  text += "\r\n";
  for (const RosterRow& row : rows)
    text += row.nick + "|||" + row.playTime + "|||" + row.registration + "|||" + row.profession +
            "\r\n";
  return text;
}

}  // namespace quellar
