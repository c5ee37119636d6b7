#pragma once

#include <string>
#include <string_view>

namespace quellar {

// One online clan member: four Windows-1251 texts kept exactly as received.
struct RosterRow {
  std::string nick;
  std::string playTime;
  std::string registration;
  std::string profession;

  friend bool operator==(const RosterRow&, const RosterRow&) = default;
};

// The four texts of a row where they are held: in the table's rows (see
// RosterRows) or in a RosterRow. Valid as long as that holder is unchanged.
struct RosterRowView {
  std::string_view nick;
  std::string_view playTime;
  std::string_view registration;
  std::string_view profession;

  constexpr RosterRowView() = default;
  constexpr RosterRowView(std::string_view nick, std::string_view playTime,
                          std::string_view registration, std::string_view profession)
      : nick(nick), playTime(playTime), registration(registration), profession(profession) {}
  // Implicit, as std::string_view is from std::string.
  RosterRowView(const RosterRow& row)  // NOLINT(google-explicit-constructor)
      : RosterRowView(row.nick, row.playTime, row.registration, row.profession) {}

  RosterRow ToRow() const {
    return RosterRow{std::string(nick), std::string(playTime), std::string(registration),
                     std::string(profession)};
  }

  friend bool operator==(const RosterRowView&, const RosterRowView&) = default;
};

}  // namespace quellar
