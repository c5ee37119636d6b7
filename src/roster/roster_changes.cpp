#include "roster/roster_changes.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <functional>
#include <utility>

namespace quellar {
namespace {

// Which nicks of a list stand there for the first time, and whether a nick is in
// the list: an open-addressing table of places, each slot also holding the
// upper half of its nick's hash, so that a million nicks cost no node
// allocations and a lookup mostly touches one slot.
class NickTable {
 public:
  explicit NickTable(const NickList& nicks)
      : nicks_(nicks), hashes_(nicks.size()), first_(nicks.size()) {
    const std::size_t slots = std::bit_ceil(std::max<std::size_t>(16, 2 * nicks.size()));
    slots_.assign(slots, Slot{});
    mask_ = slots - 1;
    for (std::size_t place = 0; place < nicks.size(); ++place)
      hashes_[place] = Hash(nicks[place]);
    for (std::size_t place = 0; place < nicks.size(); ++place) {
      if (place + kAhead < nicks.size())
        Prefetch(hashes_[place + kAhead]);
      const std::size_t hash = hashes_[place];
      Slot& slot = slots_[SlotOf(nicks[place], hash)];
      if (slot.place == kEmpty) {
        slot = Slot{static_cast<std::uint32_t>(place), Tag(hash)};
        first_[place] = true;
      }
    }
  }

  // The nick at place is not the same as any before it.
  bool IsFirst(std::size_t place) const { return first_[place]; }

  std::size_t HashAt(std::size_t place) const { return hashes_[place]; }

  // Asks for the slot where a nick of this hash begins its search, ahead of
  // the lookup: the slots lie all over a large table.
  void Prefetch(std::size_t hash) const { __builtin_prefetch(&slots_[hash & mask_]); }

  bool Contains(std::string_view nick, std::size_t hash) const {
    return slots_[SlotOf(nick, hash)].place != kEmpty;
  }

 private:
  static constexpr std::uint32_t kEmpty = UINT32_MAX;
  static constexpr std::size_t kAhead = 8;
  struct Slot {
    std::uint32_t place = kEmpty;
    std::uint32_t tag = 0;
  };

  static std::size_t Hash(std::string_view nick) { return std::hash<std::string_view>{}(nick); }
  static std::uint32_t Tag(std::size_t hash) { return static_cast<std::uint32_t>(hash >> 32); }

  // The slot that holds nick, or the empty one where it would go.
  std::size_t SlotOf(std::string_view nick, std::size_t hash) const {
    for (std::size_t at = hash & mask_;; at = (at + 1) & mask_) {
      const Slot& slot = slots_[at];
      if (slot.place == kEmpty || (slot.tag == Tag(hash) && nicks_[slot.place] == nick))
        return at;
    }
  }

  const NickList& nicks_;
  std::vector<std::size_t> hashes_;
  std::vector<bool> first_;
  std::vector<Slot> slots_;
  std::size_t mask_ = 0;
};

// The nicks of from that others lacks, each once, in from's order.
std::vector<std::string> Missing(const NickList& from, const NickTable& fromTable,
                                 const NickTable& others) {
  std::vector<std::string> missing;
  constexpr std::size_t kAhead = 8;
  for (std::size_t place = 0; place < from.size(); ++place) {
    if (place + kAhead < from.size())
      others.Prefetch(fromTable.HashAt(place + kAhead));
    if (fromTable.IsFirst(place) && !others.Contains(from[place], fromTable.HashAt(place)))
      missing.emplace_back(from[place]);
  }
  return missing;
}

}  // namespace

void NickList::reserve(std::size_t count) {
  ends_.reserve(count);
}

void NickList::push_back(std::string_view nick) {
  bytes_ += nick;
  ends_.push_back(bytes_.size());
}

std::string_view NickList::operator[](std::size_t place) const {
  const std::size_t begin = place == 0 ? 0 : ends_[place - 1];
  return std::string_view(bytes_).substr(begin, ends_[place] - begin);
}

NickList NicksOf(const RosterRows& rows) {
  NickList nicks;
  nicks.reserve(rows.size());
  for (std::size_t row = 0; row < rows.size(); ++row)
    nicks.push_back(rows.nick(row));
  return nicks;
}

RosterChanges CompareRosters(const NickList& previous, const NickList& current) {
  const NickTable before(previous);
  const NickTable after(current);
  return RosterChanges{Missing(current, after, before), Missing(previous, before, after)};
}

}  // namespace quellar
