#pragma once

#include <QLocale>
#include <cstddef>
#include <vector>

#include "roster/roster_rows.h"

namespace quellar {

// The order the roster table ends a fill in. The table re-sorts itself by nick
// each time a row with a non-empty nick is added, so every row up to the last such
// row is sorted (empty nicks collate first), and empty-nick rows added after it
// stay behind in the order they came.
//
// Nicks collate by the locale, case-sensitive, as a word sort: hyphens and
// apostrophes weigh less than any other character, so they only decide between
// nicks that are otherwise equal. Nicks that collate equal keep the order they
// came in.
//
// order[i] is the index in rows of the row that stands at position i.
std::vector<std::size_t> NickOrder(const RosterRows& rows, const QLocale& locale);

}  // namespace quellar
