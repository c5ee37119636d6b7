#pragma once

#include "common/locale_context.h"

namespace quellar {

class RosterModel;

enum class RosterColumn { Nick = 0, PlayTime = 1, Registration = 2, Profession = 3 };

// Flips sortDirection, then sorts the whole table by column in the new direction.
// A play time or registration date that does not convert throws Error; the
// direction stays flipped and the rows stay as they were. With fewer than two
// rows nothing is compared, so nothing is converted and nothing fails.
void SortRoster(RosterModel& table, int& sortDirection, RosterColumn column,
                const LocaleContext& locale);

}  // namespace quellar
