#include "roster/roster_rows.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "roster/roster_parse.h"

namespace quellar {
namespace {

constexpr std::size_t kFieldCount = 4;
constexpr std::size_t kLengthsSize = kFieldCount * sizeof(std::size_t);

// A record line of the answer, from its start up to its CR LF.
std::string_view LineAt(std::string_view block, std::size_t start) {
  return block.substr(start, block.find("\r\n", start) - start);
}

}  // namespace

RosterRows::RosterRows(const std::vector<RosterRow>& rows) : layout_(Layout::Packed) {
  std::size_t bytes = 0;
  for (const RosterRow& row : rows)
    bytes += kLengthsSize + row.nick.size() + row.playTime.size() + row.registration.size() +
             row.profession.size();
  block_.reserve(bytes);
  starts_.reserve(rows.size());
  for (const RosterRow& row : rows) {
    starts_.push_back(block_.size());
    const std::array<const std::string*, kFieldCount> fields = {&row.nick, &row.playTime,
                                                                &row.registration, &row.profession};
    for (const std::string* field : fields) {
      const std::size_t length = field->size();
      block_.append(reinterpret_cast<const char*>(&length), sizeof length);
    }
    for (const std::string* field : fields)
      block_.append(*field);
  }
}

RosterRows::RosterRows(std::string answer, std::vector<std::size_t> lineStarts)
    : layout_(Layout::Lines), block_(std::move(answer)), starts_(std::move(lineStarts)) {}

RosterRowView RosterRows::operator[](std::size_t row) const {
  const std::size_t start = starts_[row];
  if (layout_ == Layout::Lines)
    return SplitRecordLine(LineAt(block_, start));

  std::array<std::size_t, kFieldCount> lengths;
  std::memcpy(lengths.data(), block_.data() + start, kLengthsSize);
  std::array<std::string_view, kFieldCount> fields;
  std::size_t at = start + kLengthsSize;
  for (std::size_t i = 0; i < kFieldCount; ++i) {
    fields[i] = std::string_view(block_).substr(at, lengths[i]);
    at += lengths[i];
  }
  return RosterRowView(fields[0], fields[1], fields[2], fields[3]);
}

RosterRowView RosterRows::at(std::size_t row) const {
  if (row >= size())
    throw std::out_of_range("RosterRows::at: no such row");
  return (*this)[row];
}

std::string_view RosterRows::nick(std::size_t row) const {
  if (layout_ == Layout::Lines)
    return NickOfRecordLine(LineAt(block_, starts_[row]));
  return (*this)[row].nick;
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
