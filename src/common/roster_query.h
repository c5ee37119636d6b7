#pragma once

#include <string>

#include "common/server.h"

namespace quellar {

// What one fetch asks the service for. Two fetches list the same members only
// when they ask for the same clan bytes on the same server with the same
// letter-case rule.
struct RosterQuery {
  std::string clan;  // Windows-1251, sent as its bytes
  Server server = Server::kX3;
  bool caseSensitive = false;

  friend bool operator==(const RosterQuery&, const RosterQuery&) = default;
};

}  // namespace quellar
