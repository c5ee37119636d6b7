#pragma once

#include "common/locale_context.h"
#include "roster/roster_row.h"

namespace quellar {

// The comparators of the four columns: +d when a sorts after b, -d when a sorts
// before b, 0 when they are equal on the column's key. d is the sort direction.
// Nicks and professions compare upper-cased by the locale, by Windows-1251 code;
// play times as integers; registrations as dates read by the locale's short form.
// A play time or registration that does not convert throws Error (a's first).

int CompareByNick(const RosterRow& a, const RosterRow& b, int d, const LocaleContext& context);
int CompareByPlayTime(const RosterRow& a, const RosterRow& b, int d, const LocaleContext& context);
int CompareByRegistration(const RosterRow& a, const RosterRow& b, int d,
                          const LocaleContext& context);
int CompareByProfession(const RosterRow& a, const RosterRow& b, int d,
                        const LocaleContext& context);

}  // namespace quellar
