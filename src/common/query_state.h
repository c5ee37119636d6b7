#pragma once

#include <string>

#include "common/servers.h"

namespace quellar {

// What the refresh command and the timer ask for, and the shared sort direction.
struct QueryState {
  std::string currentClan;
  std::string currentServer{kServerX3};
  int sortDirection = +1;
};

}  // namespace quellar
