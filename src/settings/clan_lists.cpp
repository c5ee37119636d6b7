#include "settings/clan_lists.h"

namespace quellar {

ClanLists& TheClanLists() {
  static ClanLists clanLists;
  return clanLists;
}

}  // namespace quellar
