#pragma once

#include <string>
#include <vector>

namespace quellar {

// The clan names collected for each server, in insertion or file order;
// duplicates and empty names allowed.
struct ClanLists {
  std::vector<std::string> clansX3;
  std::vector<std::string> clansX300;

  // The list of server index 0 ("x3") or any other index ("x300").
  std::vector<std::string>& ForServer(int serverIndex) {
    return serverIndex == 0 ? clansX3 : clansX300;
  }
  const std::vector<std::string>& ForServer(int serverIndex) const {
    return serverIndex == 0 ? clansX3 : clansX300;
  }
};

// The program's one set of clan lists, created empty before any window exists
// and shared by the main window and the settings dialog for the whole run.
ClanLists& TheClanLists();

}  // namespace quellar
