#pragma once

#include "settings/clan_lists.h"
#include "settings/settings_file.h"

namespace quellar::test {

// What the settings dialog saves: the clan lists and the proxy fields.
struct SavedSettings {
  ClanLists clans;
  DialogSettings fields;
};

// Two large sets of settings, 1000 long names per server each, which differ in
// every name, in "use" and in "server" but share the port (so that the file
// between the two steps of a save already equals the finished one). All names
// fit the names buffer, so a load gives the whole lists back.
SavedSettings OldSettings();
SavedSettings NewSettings();

}  // namespace quellar::test
