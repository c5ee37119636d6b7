#include "roster/roster_parse.h"

#include <algorithm>
#include <cstddef>

#include "common/large_block.h"

namespace quellar {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kSeparator = "|||";

// One record line into its four columns. The nick is the text before the first
// separator; each further column takes the text up to the next separator, or the
// whole rest when no separator is left, so a short line repeats its last field and
// anything after the fourth field is dropped.
//
// A line without any separator has no field boundary at all. Rather than cut its
// first characters off and spread the rest over the other columns, the whole line
// is taken as the nick and the other three columns stay empty.
void SplitRecord(std::string_view line, RosterRow& row) {
  const std::size_t nickEnd = line.find(kSeparator);
  if (nickEnd == std::string_view::npos) {
    row.nick.assign(line);
    return;
  }
  row.nick.assign(line.substr(0, nickEnd));
  std::string_view rest = line.substr(nickEnd + kSeparator.size());
  for (std::string* column : {&row.playTime, &row.registration, &row.profession}) {
    const std::size_t end = rest.find(kSeparator);
    if (end == std::string_view::npos) {
      column->assign(rest);
    } else {
      column->assign(rest.substr(0, end));
      rest.remove_prefix(end + kSeparator.size());
    }
  }
}

}  // namespace

ParsedRoster ParseRoster(std::string_view body) {
  ParsedRoster parsed;
  std::size_t lineEnd = body.find(kLineEnd);
  if (lineEnd == std::string_view::npos)
    return parsed;
  parsed.serverLine.assign(body.substr(0, lineEnd));

  // Every line ends with a LF, so counting them bounds the rows from above.
  parsed.rows.reserve(static_cast<std::size_t>(
      std::count(body.begin() + lineEnd + kLineEnd.size(), body.end(), '\n')));
  AdviseHugePages(parsed.rows.data(), parsed.rows.capacity() * sizeof(RosterRow));

  std::size_t lineStart = lineEnd + kLineEnd.size();
  while ((lineEnd = body.find(kLineEnd, lineStart)) != std::string_view::npos) {
    if (lineEnd != lineStart)
      SplitRecord(body.substr(lineStart, lineEnd - lineStart), parsed.rows.emplace_back());
    lineStart = lineEnd + kLineEnd.size();
  }
  return parsed;
}

}  // namespace quellar
