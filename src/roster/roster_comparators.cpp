#include "roster/roster_comparators.h"

#include "roster/roster_sort_keys.h"

namespace quellar {
namespace {

template <class KeyOf>
int CompareRowsBy(const LocaleContext& context, const RosterRow& a, const RosterRow& b, int d) {
  const KeyOf keyOf(context);
  const auto keyA = keyOf(a);
  const auto keyB = keyOf(b);
  return CompareKeys(keyA, keyB, d);
}

}  // namespace

int CompareByNick(const RosterRow& a, const RosterRow& b, int d, const LocaleContext& context) {
  return CompareRowsBy<NickKey>(context, a, b, d);
}

int CompareByPlayTime(const RosterRow& a, const RosterRow& b, int d, const LocaleContext& context) {
  return CompareRowsBy<PlayTimeKey>(context, a, b, d);
}

int CompareByRegistration(const RosterRow& a, const RosterRow& b, int d,
                          const LocaleContext& context) {
  return CompareRowsBy<RegistrationKey>(context, a, b, d);
}

int CompareByProfession(const RosterRow& a, const RosterRow& b, int d,
                        const LocaleContext& context) {
  return CompareRowsBy<ProfessionKey>(context, a, b, d);
}

}  // namespace quellar
