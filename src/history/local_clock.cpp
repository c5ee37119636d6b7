#include "history/local_clock.h"

#include <QDateTime>
#include <algorithm>

namespace quellar {

LocalClock::LocalClock(const QTimeZone& zone, std::int64_t from, std::int64_t to) {
  const QDateTime start = QDateTime::fromSecsSinceEpoch(from, QTimeZone::utc());
  parts_.push_back(Part{from, zone.offsetFromUtc(start)});
  if (!zone.hasTransitions())
    return;
  const QDateTime end = QDateTime::fromSecsSinceEpoch(to, QTimeZone::utc());
  for (const QTimeZone::OffsetData& change : zone.transitions(start, end)) {
    const std::int64_t at = change.atUtc.toSecsSinceEpoch();
    if (at <= from)
      parts_.front().offset = change.offsetFromUtc;
    else if (at <= to)
      parts_.push_back(Part{at, change.offsetFromUtc});
  }
}

std::int64_t LocalClock::LocalSeconds(std::int64_t utc) const {
  // The last part that begins at or before utc; times before the stretch take
  // its first offset.
  auto part = std::upper_bound(parts_.begin(), parts_.end(), utc,
                               [](std::int64_t time, const Part& p) { return time < p.begin; });
  if (part != parts_.begin())
    --part;
  return utc + part->offset;
}

std::int64_t LocalClock::Day(std::int64_t utc) const {
  return FloorDivide(LocalSeconds(utc), kSecondsPerDay);
}

}  // namespace quellar
