#pragma once

#include <QTimeZone>
#include <cstdint>
#include <vector>

namespace quellar {

// Local time in a time zone over a stretch of UTC seconds, its offsets looked up
// once: the history's day and hour counts convert many times, and the zone
// changes its offset a few times a year at most.
class LocalClock {
 public:
  // Exact for every time in [from, to].
  LocalClock(const QTimeZone& zone, std::int64_t from, std::int64_t to);

  // A part of the stretch with one offset, from begin up to the next part's.
  struct Part {
    std::int64_t begin;
    int offset;  // seconds east of UTC
  };
  const std::vector<Part>& parts() const { return parts_; }

  // The local wall-clock time as seconds since 1970-01-01 00:00 local.
  std::int64_t LocalSeconds(std::int64_t utc) const;
  // Local calendar days since 1970-01-01.
  std::int64_t Day(std::int64_t utc) const;

 private:
  std::vector<Part> parts_;
};

// Seconds and days of the UTC clock.
inline constexpr std::int64_t kSecondsPerDay = 24 * 60 * 60;

// Rounded towards minus infinity, as calendar days are.
constexpr std::int64_t FloorDivide(std::int64_t a, std::int64_t b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

}  // namespace quellar
