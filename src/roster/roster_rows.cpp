#include "roster/roster_rows.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "roster/roster_parse.h"

namespace quellar {
namespace {

// A record line of the answer, from its start up to its CR LF.
std::string_view LineAt(std::string_view answer, std::size_t start) {
  return answer.substr(start, answer.find("\r\n", start) - start);
}

}  // namespace

RosterRows::RosterRows(std::string answer, std::vector<std::size_t> lineStarts)
    : answer_(std::move(answer)), starts_(std::move(lineStarts)) {}

RosterRowView RosterRows::operator[](std::size_t row) const {
  return SplitRecordLine(LineAt(answer_, starts_[row]));
}

RosterRowView RosterRows::at(std::size_t row) const {
  if (row >= size())
    throw std::out_of_range("RosterRows::at: no such row");
  return (*this)[row];
}

std::string_view RosterRows::nick(std::size_t row) const {
  return NickOfRecordLine(LineAt(answer_, starts_[row]));
}

void RosterRows::Arrange(std::vector<std::size_t> order) {
  if (order.size() != starts_.size())
    throw std::invalid_argument("RosterRows::Arrange: order does not cover every row");
  // The order's own memory takes the rows' new places, so a long table is
  // reordered without a second array of its size.
  for (std::size_t& place : order)
    place = starts_[place];
  starts_ = std::move(order);
}

bool operator==(const RosterRows& a, const RosterRows& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

bool operator==(const RosterRows& a, const std::vector<RosterRow>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](RosterRowView x, const RosterRow& y) { return x == RosterRowView(y); });
}

}  // namespace quellar
