#pragma once

#include <string>

namespace quellar {

// One online clan member: four Windows-1251 texts kept exactly as received.
struct RosterRow {
  std::string nick;
  std::string playTime;
  std::string registration;
  std::string profession;

  friend bool operator==(const RosterRow&, const RosterRow&) = default;
};

}  // namespace quellar
