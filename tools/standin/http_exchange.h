#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "standin/roster_query.h"
#include "standin/roster_sample.h"

namespace quellar::standin {

struct HttpRequest {
  RequestLine line;
  bool keepAlive = true;  // HTTP/1.1 unless "Connection: close"; HTTP/1.0 only on request
};

// Cuts the bytes arriving on one connection into requests: a request line, header
// lines and an empty line, lines ended by CR LF (a bare LF is taken too). A body
// announced by Content-Length is read and dropped.
class RequestReader {
 public:
  enum class Status { kNeedMore, kRequest, kBad };

  // A request head may not grow beyond this many bytes.
  static constexpr std::size_t kMaxHeadSize = 64 * 1024;

  void Feed(std::string_view bytes);

  // kRequest fills `request`; kBad is final: the connection cannot be read further.
  Status Next(HttpRequest& request);

 private:
  Status Fail();

  std::string buffer_;
  std::size_t bodyToSkip_ = 0;
  bool bad_ = false;
};

struct HttpReply {
  int status = 200;
  std::string bytes;   // status line, headers, empty line and body
  bool close = false;  // close the connection once the bytes are sent
};

// The answer of the service to one request: GET or HEAD of "/xml.php" gives the
// roster, any other path 404, any other method 405.
HttpReply Respond(RosterSample& sample, const HttpRequest& request);

// The answer to bytes that are not an HTTP request; it closes the connection.
HttpReply BadRequest();

// One connection's conversation: request bytes in, answer bytes out.
class Exchange {
 public:
  // Told of every answer: the request line (empty for a garbled request) and the status.
  using Observer = std::function<void(std::string_view requestLine, int status)>;

  explicit Exchange(RosterSample& sample, Observer observer = {});

  // The answers to every request the bytes complete, in order. Once closing() is
  // true the connection is to be closed after these bytes and later bytes are ignored.
  std::string Receive(std::string_view bytes);

  bool closing() const { return closing_; }

 private:
  RosterSample& sample_;
  Observer observer_;
  RequestReader reader_;
  bool closing_ = false;
};

}  // namespace quellar::standin
