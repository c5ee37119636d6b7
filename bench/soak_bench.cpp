// Auto-refresh over days: fetch-and-fill cycles of one clan through the fetch
// against the stand-in service (its own process), the way the refresh timer
// repeats them, watching what this process holds: the growth of its resident
// memory after a warm-up, its open descriptors and the connections it used.
//
//   bench_soak [cycles [members]]      (default 10000 cycles of 1000 members)
//
// Connections are told apart by their local port, looked at after every cycle.
// A cycle that ends with no connection open to the stand-in counts as one more
// connection (the client dropped it), so the figure is a lower bound only when
// a connection is opened and dropped inside one cycle and another left open.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <QCoreApplication>
#include <QLocale>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "bench/roster_data.h"
#include "bench/standin_process.h"
#include "common/proxy_settings.h"
#include "net/http_client.h"
#include "roster/roster_model.h"

namespace {

constexpr std::size_t kWarmUpCycles = 100;
const char* const kClan = "Soak";

// VmRSS of /proc/self/status, in KiB.
long ResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0)
      return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

// The port of a TCP/IPv4 or IPv6 socket address.
int PortOf(const sockaddr_storage& address) {
  if (address.ss_family == AF_INET) {
    sockaddr_in ipv4{};
    std::memcpy(&ipv4, &address, sizeof ipv4);
    return ntohs(ipv4.sin_port);
  }
  if (address.ss_family == AF_INET6) {
    sockaddr_in6 ipv6{};
    std::memcpy(&ipv6, &address, sizeof ipv6);
    return ntohs(ipv6.sin6_port);
  }
  return -1;
}

template <class... Args>
std::string Format(const char* format, Args... args) {
  char text[128];
  std::snprintf(text, sizeof text, format, args...);
  return text;
}

// "  label ........ value  (note)", the value's first word at a fixed column.
void Line(const std::string& label, const std::string& value, const std::string& note = {}) {
  std::printf("  %-36s %s%s\n", label.c_str(), value.c_str(),
              note.empty() ? "" : ("  (" + note + ")").c_str());
}

struct Descriptors {
  int open = 0;
  std::set<int> localPortsToServer;  // of sockets whose peer is the server's port
};

// What this process holds now: every descriptor but the one the listing uses.
Descriptors LookAtDescriptors(int serverPort) {
  Descriptors seen;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
    ++seen.open;
    const int fd = std::atoi(entry.path().filename().c_str());
    sockaddr_storage peer{};
    socklen_t size = sizeof peer;
    if (::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &size) != 0 ||
        PortOf(peer) != serverPort)
      continue;
    sockaddr_storage local{};
    size = sizeof local;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &size) == 0)
      seen.localPortsToServer.insert(PortOf(local));
  }
  return {seen.open - 1, std::move(seen.localPortsToServer)};
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  const std::size_t cycles = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 10'000;
  const std::size_t members = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1'000;
  if (cycles <= kWarmUpCycles) {
    std::fprintf(stderr, "bench_soak: give more than %zu cycles\n", kWarmUpCycles);
    return 2;
  }

  const quellar::bench::StandinProcess standin({{kClan, members}});
  const std::string& host = standin.hostAndPort();
  const int serverPort = std::atoi(host.c_str() + host.rfind(':') + 1);

  quellar::HttpClient http;
  quellar::RosterModel table(QLocale(QLocale::Russian, QLocale::Russia));
  std::set<int> connections;
  std::size_t cyclesEndingClosed = 0;
  long residentAfterWarmUp = 0;
  int descriptorsAfterWarmUp = 0;
  int fewestDescriptors = 0;
  int mostDescriptors = 0;
  const auto start = std::chrono::steady_clock::now();
  for (std::size_t cycle = 1; cycle <= cycles; ++cycle) {
    quellar::bench::FetchInto(http, host, kClan, table);
    if (table.rowCount() != static_cast<int>(members)) {
      std::fprintf(stderr, "bench_soak: cycle %zu filled %d rows, not %zu\n", cycle,
                   table.rowCount(), members);
      return 1;
    }
    Descriptors seen = LookAtDescriptors(serverPort);
    if (seen.localPortsToServer.empty())
      ++cyclesEndingClosed;
    connections.merge(seen.localPortsToServer);
    if (cycle == kWarmUpCycles) {
      residentAfterWarmUp = ResidentKiB();
      descriptorsAfterWarmUp = fewestDescriptors = mostDescriptors = seen.open;
    } else if (cycle > kWarmUpCycles) {
      fewestDescriptors = std::min(fewestDescriptors, seen.open);
      mostDescriptors = std::max(mostDescriptors, seen.open);
    }
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const long residentAtEnd = ResidentKiB();
  const int descriptorsAtEnd = LookAtDescriptors(serverPort).open;

  std::printf("soak: %zu fetch-and-fill cycles of a %zu-member roster over the fetch\n", cycles,
              members);
  const std::string afterWarmUp = "after cycle " + std::to_string(kWarmUpCycles);
  const std::string atEnd = "after cycle " + std::to_string(cycles);
  Line("resident " + afterWarmUp,
       Format("%.1f MiB", static_cast<double>(residentAfterWarmUp) / 1024.0));
  Line("resident " + atEnd, Format("%.1f MiB", static_cast<double>(residentAtEnd) / 1024.0));
  Line("resident growth after warm-up", Format("%ld KiB", residentAtEnd - residentAfterWarmUp),
       "target under 1024");
  Line("open descriptors " + afterWarmUp, std::to_string(descriptorsAfterWarmUp));
  Line("open descriptors " + atEnd, std::to_string(descriptorsAtEnd));
  Line("descriptor spread after warm-up", std::to_string(mostDescriptors - fewestDescriptors),
       Format("fewest %d, most %d; target 0", fewestDescriptors, mostDescriptors));
  Line("connections used", std::to_string(connections.size() + cyclesEndingClosed), "target 1");
  Line("mean cycle", Format("%.2f ms", seconds * 1000.0 / static_cast<double>(cycles)));
  return 0;
}
