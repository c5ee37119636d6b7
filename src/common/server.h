#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace quellar {

// The service's two game servers, in the order every server selector lists them.
enum class Server { kX3, kX300 };

inline constexpr std::array<Server, 2> kServers = {Server::kX3, Server::kX300};

struct ServerInfo {
  // What the selectors show, and the settings file's section of its clans.
  std::string_view name;
  // The number a request names the server by; the service's first server is its
  // default, which a request leaves unnamed.
  int urlNumber;
};

constexpr ServerInfo Info(Server server) {
  return server == Server::kX3 ? ServerInfo{"x3", 1} : ServerInfo{"x300", 2};
}

constexpr std::string_view ServerName(Server server) {
  return Info(server).name;
}

// The server of a selector's index, or of a name spelt exactly as ServerName gives it.
constexpr Server ServerAt(int index) {
  return index == 1 ? Server::kX300 : Server::kX3;
}
constexpr int ServerIndex(Server server) {
  return server == Server::kX300 ? 1 : 0;
}
constexpr std::optional<Server> ServerNamed(std::string_view name) {
  for (Server server : kServers) {
    if (ServerName(server) == name)
      return server;
  }
  return std::nullopt;
}

}  // namespace quellar
