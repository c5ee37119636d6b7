#pragma once

#include <string>

namespace quellar::test {

// The request the client sends for target to host: its four headers in its order.
inline std::string ExpectedRequest(const std::string& target, const std::string& host) {
  return "GET " + target +
         " HTTP/1.1\r\n"
         "Content-Type: text/html\r\n"
         "Host: " +
         host +
         "\r\n"
         "Accept: text/html, */*\r\n"
         "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"
         "\r\n";
}

// A 200 answer carrying body, its end given by Content-Length.
inline std::string Ok(const std::string& body) {
  return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

}  // namespace quellar::test
