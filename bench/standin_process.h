#pragma once

#include <QProcess>
#include <QTemporaryDir>
#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace quellar::bench {

// A clan of the stand-in service filled with generated members.
struct GeneratedClan {
  std::string name;  // ASCII
  std::size_t members = 0;
};

// The stand-in roster service on a free loopback port, serving the given clans of
// server x3 (the same generated members as the other benchmarks), for as long as
// this object lives.
class StandinProcess {
 public:
  explicit StandinProcess(const std::vector<GeneratedClan>& clans);
  ~StandinProcess();
  StandinProcess(const StandinProcess&) = delete;
  StandinProcess& operator=(const StandinProcess&) = delete;

  // "127.0.0.1:<port>", to use as the roster host.
  const std::string& hostAndPort() const { return hostAndPort_; }

 private:
  QTemporaryDir directory_;
  QProcess process_;
  std::string hostAndPort_;
};

}  // namespace quellar::bench
