#pragma once

#include <cstddef>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "roster/roster_row.h"

namespace quellar {

// The rows of the roster table. Their texts are held once, in one block: the
// service's answer itself, whose record lines are split into fields each time a
// row is read. A row is only the place where its line begins in the answer, so a
// million rows cost eight bytes each on top of the answer, and reordering them
// moves no text.
//
// A RosterRowView of a row stays valid until these rows are replaced, moved
// from or destroyed.
class RosterRows {
 public:
  class const_iterator;
  using iterator = const_iterator;
  using value_type = RosterRowView;
  using size_type = std::size_t;

  RosterRows() = default;

  // The record lines of answer that begin at lineStarts, in that order. Each one
  // must be a non-empty line ended by CR LF.
  RosterRows(std::string answer, std::vector<std::size_t> lineStarts);

  std::size_t size() const { return starts_.size(); }
  bool empty() const { return starts_.empty(); }

  RosterRowView operator[](std::size_t row) const;
  // Throws std::out_of_range for a row past the end.
  RosterRowView at(std::size_t row) const;
  // The nick alone, without reading the other fields.
  std::string_view nick(std::size_t row) const;

  const_iterator begin() const;
  const_iterator end() const;

  // Puts the rows in the given order: order[i] is the current index of the row
  // that becomes row i, each index exactly once.
  void Arrange(std::vector<std::size_t> order);

  friend bool operator==(const RosterRows& a, const RosterRows& b);
  friend bool operator==(const RosterRows& a, const std::vector<RosterRow>& b);

 private:
  std::string answer_;
  std::vector<std::size_t> starts_;  // where each row's line begins in answer_, in table order
};

class RosterRows::const_iterator {
 public:
  using iterator_category = std::input_iterator_tag;
  using value_type = RosterRowView;
  using difference_type = std::ptrdiff_t;
  using pointer = void;
  using reference = RosterRowView;

  const_iterator() = default;
  const_iterator(const RosterRows* rows, std::size_t row) : rows_(rows), row_(row) {}

  RosterRowView operator*() const { return (*rows_)[row_]; }
  const_iterator& operator++() {
    ++row_;
    return *this;
  }
  const_iterator operator++(int) {
    const_iterator before = *this;
    ++row_;
    return before;
  }
  friend bool operator==(const const_iterator& a, const const_iterator& b) {
    return a.row_ == b.row_ && a.rows_ == b.rows_;
  }

 private:
  const RosterRows* rows_ = nullptr;
  std::size_t row_ = 0;
};

inline RosterRows::const_iterator RosterRows::begin() const {
  return const_iterator(this, 0);
}

inline RosterRows::const_iterator RosterRows::end() const {
  return const_iterator(this, size());
}

}  // namespace quellar
