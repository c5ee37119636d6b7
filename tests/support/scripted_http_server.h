#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quellar::test {

#ifdef _WIN32
using NativeSocket = std::uintptr_t;  // Winsock's SOCKET
#else
using NativeSocket = int;
#endif

// A loopback HTTP server that plays a script, one step per request it receives,
// and records the exact bytes that arrive. It runs on its own thread, since the
// client under test blocks the calling one. It can stand in for a proxy too: it
// only records and answers, whatever the request line names.
class ScriptedHttpServer {
 public:
  // Listens on 127.0.0.1, or another loopback address (host byte order), with a
  // port the system picks. Each address has ports of its own: a process that
  // starts servers by the thousand a second spreads them over many, or the
  // connections it leaves waiting out their close take every free port.
  explicit ScriptedHttpServer(std::uint32_t loopbackAddress = 0x7F000001);
  ~ScriptedHttpServer();
  ScriptedHttpServer(const ScriptedHttpServer&) = delete;
  ScriptedHttpServer& operator=(const ScriptedHttpServer&) = delete;

  std::uint16_t port() const { return port_; }
  std::string host() const;         // "127.0.0.1", or the address given
  std::string hostAndPort() const;  // "<host>:<port>"

  // Steps, played in order; a request that finds no step left is met by a close.
  void Answer(std::string bytes);           // send, keep the connection open
  void AnswerThenClose(std::string bytes);  // send, then close
  void CloseWithoutAnswer();                // close as soon as the request is in
  void AnswerThenReset(std::string bytes);  // send, then abort the connection (RST)
  // Send head, then piece every interval for as long as the client stays.
  void AnswerThenTrickle(std::string head, std::string piece, std::chrono::milliseconds interval);
  // Send the first piece, then each further one after a pause, each in its own
  // segment, then keep the connection open.
  void AnswerInPieces(std::vector<std::string> pieces, std::chrono::milliseconds pause);

  // Send each write with its own send call, one right after the other, then keep
  // the connection open, close it, or abort it.
  enum class Then { KeepOpen, Close, Reset };
  void AnswerInWrites(std::vector<std::string> writes, Then then);

  // Each request received (up to and including its blank line), in order.
  std::vector<std::string> Requests() const;
  // For each request, the index of the connection it came on.
  std::vector<int> RequestConnections() const;
  // Everything each connection received, in the order connections were accepted.
  std::vector<std::string> ConnectionBytes() const;
  int ConnectionCount() const;
  // Waits until the server has played count steps to their end (everything sent,
  // the close begun); false when that has not happened within limit.
  bool WaitUntilAnswered(int count, std::chrono::milliseconds limit) const;
  // Waits until every connection the server accepted has been closed by either
  // side; false when that has not happened within limit (a guard against hangs).
  bool WaitUntilAllClosed(std::chrono::milliseconds limit) const;

 private:
  enum class Ending { KeepOpen, Close, Reset, Trickle, Drip };
  struct Step {
    std::string bytes;
    Ending ending = Ending::KeepOpen;
    std::string piece;
    std::chrono::milliseconds interval{0};
    std::deque<std::string> drip;
    std::vector<std::string> writes;
  };
  struct Connection;

  void AddStep(Step step);
  void Run();
  void OnRequest(Connection& connection, std::string request);

  NativeSocket listenFd_ = NativeSocket(-1);
  NativeSocket wakeFds_[2] = {NativeSocket(-1), NativeSocket(-1)};
  std::uint32_t address_;
  std::uint16_t port_ = 0;

  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  bool stop_ = false;
  std::deque<Step> script_;
  std::vector<std::string> requests_;
  std::vector<int> requestConnections_;
  std::vector<std::string> connectionBytes_;
  int openConnections_ = 0;
  int answered_ = 0;

  std::thread thread_;
};

// A loopback port that is bound but never listens, so connecting to it is refused
// for as long as this object lives.
class RefusingPort {
 public:
  RefusingPort();
  ~RefusingPort();
  RefusingPort(const RefusingPort&) = delete;
  RefusingPort& operator=(const RefusingPort&) = delete;

  std::uint16_t port() const { return port_; }

 private:
  NativeSocket fd_ = NativeSocket(-1);
  std::uint16_t port_ = 0;
};

}  // namespace quellar::test
