#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "roster/roster_changes.h"

namespace quellar {

// How much a desktop notice can show. The lengths count characters, which are
// bytes in Windows-1251.
struct NoticeLimits {
  std::size_t nicksPerLine = 10;
  std::size_t summaryLength = std::string::npos;
  std::size_t bodyLength = std::string::npos;
};

// A notice's two texts, in Windows-1251.
struct ChangeNotice {
  std::string summary;
  std::string body;

  friend bool operator==(const ChangeNotice&, const ChangeNotice&) = default;
};

// "Quellar: <clan>" over the lines "Вошли: A, B" and "Вышли: C", the line of a
// list with nobody in it left out. A line names up to nicksPerLine members and
// then " и ещё N" for the rest. Where the body would be longer than bodyLength,
// the line naming more names one fewer at a time; a line that names nobody gives
// the count alone.
ChangeNotice MakeChangeNotice(std::string_view clan, const RosterChanges& changes,
                              const NoticeLimits& limits = {});

}  // namespace quellar
