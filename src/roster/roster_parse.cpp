#include "roster/roster_parse.h"

#include <algorithm>
#include <cstddef>

#include "common/large_block.h"
#include "roster/nick_order.h"

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

// The text before the first separator, or the whole line without one: the
// nick SplitRecord gives.
std::string_view NickOf(std::string_view line) {
  return line.substr(0, line.find(kSeparator));
}

// The first line of the answer into serverLine, and the non-empty record lines
// after it, in the order they came. No first line, no records.
std::vector<std::string_view> RecordLines(std::string_view body, std::string& serverLine) {
  std::vector<std::string_view> lines;
  std::size_t lineEnd = body.find(kLineEnd);
  if (lineEnd == std::string_view::npos)
    return lines;
  serverLine.assign(body.substr(0, lineEnd));

  // Every line ends with a LF, so counting them bounds the records from above.
  lines.reserve(static_cast<std::size_t>(
      std::count(body.begin() + lineEnd + kLineEnd.size(), body.end(), '\n')));
  AdviseHugePages(lines.data(), lines.capacity() * sizeof(std::string_view));
  std::size_t lineStart = lineEnd + kLineEnd.size();
  while ((lineEnd = body.find(kLineEnd, lineStart)) != std::string_view::npos) {
    if (lineEnd != lineStart)
      lines.push_back(body.substr(lineStart, lineEnd - lineStart));
    lineStart = lineEnd + kLineEnd.size();
  }
  return lines;
}

// The rows of the lines, in their order, in a block asked for in huge pages.
// Each line is fetched a few rows ahead, since they may lie all over the answer.
std::vector<RosterRow> SplitRecords(const std::vector<std::string_view>& lines) {
  constexpr std::size_t kLookahead = 8;
  std::vector<RosterRow> rows;
  rows.reserve(lines.size());
  AdviseHugePages(rows.data(), rows.capacity() * sizeof(RosterRow));
  for (std::size_t i = 0; i < lines.size(); ++i) {
#if defined(__GNUC__)
    if (i + kLookahead < lines.size())
      __builtin_prefetch(lines[i + kLookahead].data());
#endif
    SplitRecord(lines[i], rows.emplace_back());
  }
  return rows;
}

}  // namespace

ParsedRoster ParseRoster(std::string_view body) {
  ParsedRoster parsed;
  parsed.rows = SplitRecords(RecordLines(body, parsed.serverLine));
  return parsed;
}

ParsedRoster ParseRosterInNickOrder(std::string_view body, const QLocale& locale) {
  ParsedRoster parsed;
  std::vector<std::string_view> lines = RecordLines(body, parsed.serverLine);
  {
    std::vector<std::string_view> nicks;
    nicks.reserve(lines.size());
    for (std::string_view line : lines)
      nicks.push_back(NickOf(line));
    const std::vector<std::size_t> order = NickOrderOf(nicks, locale);
    // Put the lines in nick order, reusing the nicks' vector now that the order
    // is known; the loads are independent, so the processor overlaps them.
    for (std::size_t i = 0; i < order.size(); ++i)
      nicks[i] = lines[order[i]];
    lines.swap(nicks);
  }
  // Each row is then written once, in its final place; and as the rows' texts are
  // allocated in that order, the table's later release walks memory in order too.
  parsed.rows = SplitRecords(lines);
  return parsed;
}

}  // namespace quellar
