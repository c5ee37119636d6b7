#include "roster/roster_parse.h"

#include <array>
#include <cstddef>
#include <utility>
#include <vector>

#include "common/large_block.h"

namespace quellar {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kSeparator = "|||";

// Calls onLine with where each non-empty record line after the first line
// begins and ends (at its CR LF), in order, and gives the first line; no first
// line, no records.
template <class OnLine>
std::string_view ForEachRecordLine(std::string_view body, OnLine onLine) {
  const std::size_t firstEnd = body.find(kLineEnd);
  if (firstEnd == std::string_view::npos)
    return {};
  std::size_t lineEnd = firstEnd;
  std::size_t lineStart = lineEnd + kLineEnd.size();
  while ((lineEnd = body.find(kLineEnd, lineStart)) != std::string_view::npos) {
    if (lineEnd != lineStart)
      onLine(lineStart, lineEnd);
    lineStart = lineEnd + kLineEnd.size();
  }
  return body.substr(0, firstEnd);
}

}  // namespace

// The nick is the text before the first separator; each further column takes the
// text up to the next separator, or the whole rest when no separator is left, so
// a short line repeats its last field and anything after the fourth is dropped.
//
// A line without any separator has no field boundary at all. Rather than cut its
// first characters off and spread the rest over the other columns, the whole line
// is taken as the nick and the other three columns stay empty.
RosterRowView SplitRecordLine(std::string_view line) {
  const std::size_t nickEnd = line.find(kSeparator);
  if (nickEnd == std::string_view::npos)
    return RosterRowView(line, {}, {}, {});
  std::string_view rest = line.substr(nickEnd + kSeparator.size());
  std::array<std::string_view, 3> columns;
  for (std::string_view& column : columns) {
    const std::size_t end = rest.find(kSeparator);
    if (end == std::string_view::npos) {
      column = rest;
    } else {
      column = rest.substr(0, end);
      rest.remove_prefix(end + kSeparator.size());
    }
  }
  return RosterRowView(line.substr(0, nickEnd), columns[0], columns[1], columns[2]);
}

std::string_view NickOfRecordLine(std::string_view line) {
  return line.substr(0, line.find(kSeparator));
}

RosterAnswer ParseAnswer(std::string body) {
  // Counted first, so that the rows take exactly their room, in huge pages when
  // there are many.
  std::size_t count = 0;
  ForEachRecordLine(body, [&count](std::size_t, std::size_t) { ++count; });
  std::vector<std::size_t> starts;
  starts.reserve(count);
  AdviseHugePages(starts.data(), count * sizeof(std::size_t));
  std::string serverLine(ForEachRecordLine(
      body, [&starts](std::size_t start, std::size_t) { starts.push_back(start); }));
  return RosterAnswer{std::move(serverLine), RosterRows(std::move(body), std::move(starts))};
}

}  // namespace quellar
