#pragma once

#include <ostream>
#include <string_view>

#include "roster/roster_row.h"

namespace quellar {

// Shows a row's four byte strings in gtest failure messages, bytes above 0x7F in hex.
inline void PrintTo(const RosterRowView& row, std::ostream* out) {
  const auto print = [out](std::string_view text) {
    *out << '"';
    for (unsigned char c : text) {
      if (c >= 0x20 && c < 0x7F) {
        *out << c;
      } else {
        constexpr char kHex[] = "0123456789ABCDEF";
        *out << "\\x" << kHex[c >> 4] << kHex[c & 0xF];
      }
    }
    *out << '"';
  };
  *out << '{';
  print(row.nick);
  *out << ", ";
  print(row.playTime);
  *out << ", ";
  print(row.registration);
  *out << ", ";
  print(row.profession);
  *out << '}';
}

inline void PrintTo(const RosterRow& row, std::ostream* out) {
  PrintTo(RosterRowView(row), out);
}

}  // namespace quellar
