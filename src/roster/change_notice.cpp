#include "roster/change_notice.h"

#include <algorithm>
#include <string>
#include <vector>

namespace quellar {
namespace {

// "Вошли: ", "Вышли: " and " и ещё " in Windows-1251.
constexpr std::string_view kArrivedLead = "\xC2\xEE\xF8\xEB\xE8: ";
constexpr std::string_view kLeftLead = "\xC2\xFB\xF8\xEB\xE8: ";
constexpr std::string_view kAndMore = " \xE8 \xE5\xF9\xB8 ";

std::string ListLine(std::string_view lead, const std::vector<std::string>& nicks,
                     std::size_t named) {
  std::string line(lead);
  for (std::size_t i = 0; i < named; ++i) {
    if (i > 0)
      line += ", ";
    line += nicks[i];
  }
  const std::size_t rest = nicks.size() - named;
  if (rest > 0) {
    if (named > 0)
      line += kAndMore;
    line += std::to_string(rest);
  }
  return line;
}

std::string Body(const RosterChanges& changes, std::size_t arrivedNamed, std::size_t leftNamed) {
  std::string body;
  if (!changes.arrived.empty())
    body = ListLine(kArrivedLead, changes.arrived, arrivedNamed);
  if (!changes.left.empty()) {
    if (!body.empty())
      body += '\n';
    body += ListLine(kLeftLead, changes.left, leftNamed);
  }
  return body;
}

}  // namespace

ChangeNotice MakeChangeNotice(std::string_view clan, const RosterChanges& changes,
                              const NoticeLimits& limits) {
  ChangeNotice notice;
  notice.summary = "Quellar: ";
  notice.summary += clan;
  if (notice.summary.size() > limits.summaryLength)
    notice.summary.resize(limits.summaryLength);

  std::size_t arrivedNamed = std::min(changes.arrived.size(), limits.nicksPerLine);
  std::size_t leftNamed = std::min(changes.left.size(), limits.nicksPerLine);
  notice.body = Body(changes, arrivedNamed, leftNamed);
  while (notice.body.size() > limits.bodyLength && arrivedNamed + leftNamed > 0) {
    if (arrivedNamed >= leftNamed)
      --arrivedNamed;
    else
      --leftNamed;
    notice.body = Body(changes, arrivedNamed, leftNamed);
  }
  if (notice.body.size() > limits.bodyLength)
    notice.body.resize(limits.bodyLength);
  return notice;
}

}  // namespace quellar
