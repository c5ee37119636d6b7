#include "history/member_order.h"

#include <utility>

#include "roster/nick_order.h"
#include "roster/roster_rows.h"

namespace quellar {

// The nicks as the record lines of an answer, which the table's order sorts: a
// line without a field separator is all nick, and a nick never holds CR LF or
// the separator. An empty nick needs the separator to make its line non-empty.
std::vector<std::size_t> MemberOrder(const std::vector<std::string>& nicks, const QLocale& locale) {
  std::string lines;
  std::vector<std::size_t> starts;
  starts.reserve(nicks.size());
  for (const std::string& nick : nicks) {
    starts.push_back(lines.size());
    lines += nick.empty() ? std::string("|||") : nick;
    lines += "\r\n";
  }
  return NickOrder(RosterRows(std::move(lines), std::move(starts)), locale);
}

}  // namespace quellar
