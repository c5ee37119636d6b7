#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace quellar {

// The long-lived HTTP/1.1 client behind every roster request. It sends a GET with
// exactly the headers Content-Type, Host, Accept and User-Agent, follows no
// redirects, keeps no cookies, and keeps its connection open for the next request
// to the same host, port and proxy.
class HttpClient {
 public:
  HttpClient();
  ~HttpClient();
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;

  // An empty host means no proxy.
  void SetProxy(std::string host, std::int32_t port);

  // The body of a 2xx answer; otherwise throws Error with the status line, the
  // socket error text, or "Connection Closed Gracefully.".
  std::string Get(std::string_view url);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quellar
