#include "roster/roster_sort.h"

#include <algorithm>
#include <numeric>
#include <type_traits>
#include <vector>

#include "roster/roster_model.h"
#include "roster/roster_sort_keys.h"

namespace quellar {
namespace {

// Every key is taken before any row moves, so a text that does not convert stops
// the sort with the first such row in table order and leaves the table as it was.
// Rows with equal keys keep their order.
std::vector<std::size_t> IdentityOrder(std::size_t size) {
  std::vector<std::size_t> order(size);
  std::iota(order.begin(), order.end(), std::size_t{0});
  return order;
}

template <class KeyOf>
std::vector<std::size_t> SortedOrder(const RosterRows& rows, const LocaleContext& context, int d) {
  const KeyOf keyOf(context);
  using Key = std::invoke_result_t<const KeyOf&, RosterRowView>;
  std::vector<Key> keys;
  keys.reserve(rows.size());
  for (const RosterRowView row : rows)
    keys.push_back(keyOf(row));

  std::vector<std::size_t> order = IdentityOrder(rows.size());
  std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
    return CompareKeys(keys[x], keys[y], d) < 0;
  });
  return order;
}

std::vector<std::size_t> SortedOrder(const RosterRows& rows, RosterColumn column,
                                     const LocaleContext& context, int d) {
  switch (column) {
    case RosterColumn::Nick:
      return SortedOrder<NickKey>(rows, context, d);
    case RosterColumn::PlayTime:
      return SortedOrder<PlayTimeKey>(rows, context, d);
    case RosterColumn::Registration:
      return SortedOrder<RegistrationKey>(rows, context, d);
    case RosterColumn::Profession:
      return SortedOrder<ProfessionKey>(rows, context, d);
  }
  return IdentityOrder(rows.size());  // no such column: the rows stay as they are
}

}  // namespace

void SortRoster(RosterModel& table, int& sortDirection, RosterColumn column,
                const LocaleContext& locale) {
  sortDirection = -sortDirection;
  // A single row is never compared with another, so its texts are never
  // converted: it sorts like an empty table, whatever they hold.
  if (table.rows().size() < 2)
    return;
  table.Reorder(SortedOrder(table.rows(), column, locale, sortDirection));
}

}  // namespace quellar
