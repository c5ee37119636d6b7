// A whole roster fetch as the user sees it: request, answer, parse, nick order and
// table fill of a 10,000-member clan from the stand-in service, repeated over the
// client's kept-alive connection; against `curl -s` of the same URL, one process a
// fetch, as a yardstick for the transfer alone.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <QCoreApplication>
#include <QLocale>
#include <memory>
#include <string>

#include "bench/roster_data.h"
#include "bench/standin_process.h"
#include "common/proxy_settings.h"
#include "net/http_client.h"
#include "roster/roster_model.h"
#include "roster/roster_url.h"

extern char** environ;

namespace quellar::bench {
namespace {

constexpr std::size_t kMembers = 10'000;
const char* const kClan = "Bench";

const StandinProcess& Standin() {
  static const StandinProcess standin({{kClan, kMembers}});
  return standin;
}

std::string RosterUrl() {
  return BuildRosterUrl(Standin().hostAndPort(), RosterQuery{kClan, Server::kX3, false});
}

void BM_FetchParseFill(benchmark::State& state) {
  HttpClient http;
  RosterModel table(QLocale(QLocale::Russian, QLocale::Russia));
  const std::string host = Standin().hostAndPort();
  bench::FetchInto(http, host, kClan, table);  // opens the connection the loop keeps
  for (auto _ : state)
    bench::FetchInto(http, host, kClan, table);
  if (table.rowCount() != static_cast<int>(kMembers))
    state.SkipWithError("the stand-in did not answer with the whole clan");
}

// `curl -s URL`, its output thrown away; posix_spawnp as a shell would start it.
bool RunCurl(const std::string& url) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  std::string program = "curl";
  std::string silent = "-s";
  std::string target = url;
  char* argv[] = {program.data(), silent.data(), target.data(), nullptr};
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, "curl", &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  return spawned == 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

void BM_CurlCommand(benchmark::State& state) {
  const std::string url = RosterUrl();
  for (auto _ : state) {
    if (!RunCurl(url)) {
      state.SkipWithError("curl -s failed (Debian package: curl)");
      break;
    }
  }
}

BENCHMARK(BM_FetchParseFill)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_CurlCommand)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace
}  // namespace quellar::bench

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
