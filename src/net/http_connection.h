#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace quellar {

// Where a connection goes: the roster host and port, or the proxy in between.
struct HttpRoute {
  std::string host;
  std::int32_t port = 0;
  std::string proxyHost;  // empty for none
  std::int32_t proxyPort = 0;
  friend bool operator==(const HttpRoute&, const HttpRoute&) = default;
};

// One TCP connection that libcurl opens (it looks the name up, connects, and
// goes to the proxy instead when there is one) and the client then speaks HTTP
// over by itself, so that every answer is read by the client's own rules.
class HttpConnection {
 public:
  using Clock = std::chrono::steady_clock;

  // How a send or a receive ended: done, the peer's close, a failure with the
  // platform's socket error number, the deadline, or the owner giving up on it.
  struct Io {
    enum class Kind { Done, Closed, Failed, TimedOut, Abandoned };
    Kind kind = Kind::Done;
    std::size_t size = 0;  // bytes moved, for Done
    int socketError = 0;   // for Failed; 0 when there was none
  };

  // Connects, giving up when that takes longer than limit or once abandoned is
  // set; throws Error with the client's socket error message. Every wait of the
  // connection ends within a moment of abandoned being set, which another thread
  // may do at any time; the flag must outlive the connection.
  HttpConnection(const HttpRoute& route, std::chrono::milliseconds limit,
                 const std::atomic<bool>& abandoned);
  ~HttpConnection();
  HttpConnection(const HttpConnection&) = delete;
  HttpConnection& operator=(const HttpConnection&) = delete;

  // Sends all of bytes unless the connection fails or stays blocked until deadline.
  Io Send(std::string_view bytes, Clock::time_point deadline);
  // What has arrived, waiting until deadline for at least one byte.
  Io Receive(char* buffer, std::size_t size, Clock::time_point deadline);
  // Nothing has arrived since the last answer, not even the peer's close: the
  // connection can carry the next request.
  bool IsQuiet() const;

 private:
  // libcurl's handles and the socket: only the connection speaks libcurl's terms.
  struct Handles;

  int SocketError() const;

  std::unique_ptr<Handles> handles_;
};

}  // namespace quellar
