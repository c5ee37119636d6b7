#pragma once

#include <string>
#include <vector>

#include "roster/roster_model.h"

namespace quellar::test {

// The nicks of the roster's rows in their shown order, as Windows-1251 bytes.
inline std::vector<std::string> Nicks(const RosterModel& roster) {
  std::vector<std::string> nicks;
  for (const RosterRowView row : roster.rows())
    nicks.emplace_back(row.nick);
  return nicks;
}

}  // namespace quellar::test
