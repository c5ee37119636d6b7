#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace quellar {

// The long-lived HTTP/1.1 client behind every roster request. It sends a GET with
// exactly the headers Content-Type, Host, Accept and User-Agent, follows no
// redirects, keeps no cookies, and keeps its connection open for the next request
// to the same host, port and proxy after an answer it read to its end.
class HttpClient {
 public:
  // How long a fetch waits for the connection, and then for each next byte of
  // the answer, before it gives up.
  static constexpr std::chrono::milliseconds kDefaultSilenceLimit{60000};

  explicit HttpClient(std::chrono::milliseconds silenceLimit = kDefaultSilenceLimit);
  ~HttpClient();
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;

  // An empty host means no proxy.
  void SetProxy(std::string host, std::int32_t port);

  // The body of a 2xx answer without Location. Otherwise throws Error with one of
  // the client's own messages, never libcurl's words and never an empty text:
  // - the answer's status line as received, for an answer that is not such a
  //   success, and for one whose status line or header block cannot be read;
  // - "Socket Error # n", a line break and the short text for n, when the name
  //   cannot be looked up, the connection cannot be made or breaks, or nothing
  //   arrives for the silence limit (the platform's time-out number);
  // - "Connection Closed Gracefully.", when the connection ends before the header
  //   block or inside a chunked body, when a success's chunks break their
  //   framing, or when the first line shows nothing before a NUL byte;
  // - "Out of memory.", for a body too big to hold, and the integer conversion's
  //   message for a URL whose port is not a number.
  // A body of announced length cut short by the close is returned as it arrived.
  // After any failure the connection is dropped unless the answer was read to its
  // end.
  std::string Get(std::string_view url);

  // Gives up on the client from any thread: a Get running on another thread ends
  // within a moment, its connection closed, and every later Get fails at once.
  void Abandon();
  // Abandon has been called.
  bool abandoned() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quellar
