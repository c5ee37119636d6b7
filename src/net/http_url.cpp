#include "net/http_url.h"

#include <string>
#include <string_view>

#include "common/int_conversion.h"

namespace quellar {
namespace {

// Bytes that would end the request line early are the only ones escaped.
std::string EscapeLineBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '\r':
        out += "%0D";
        break;
      case '\n':
        out += "%0A";
        break;
      case '\0':
        out += "%00";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::int32_t ReadPort(std::string_view text) {
  if (text.empty())
    return 80;
  return StrToInt(text);
}

}  // namespace

HttpUrl SplitHttpUrl(std::string_view url) {
  std::string text(url);
  for (char& c : text)
    if (c == '\\')
      c = '/';
  if (const auto hash = text.find('#'); hash != std::string::npos)
    text.erase(hash);

  std::string_view rest = text;
  if (const auto scheme = rest.find("://"); scheme != std::string_view::npos)
    rest.remove_prefix(scheme + 3);

  const auto authorityEnd = rest.find_first_of("/?");
  const std::string_view authority = rest.substr(0, authorityEnd);
  const std::string_view target =
      authorityEnd == std::string_view::npos ? std::string_view{} : rest.substr(authorityEnd);

  HttpUrl result;
  std::string_view portText;
  bool hasPort = false;
  if (authority.starts_with('[')) {
    const auto close = authority.find(']');
    result.host =
        std::string(authority.substr(0, close == std::string_view::npos ? close : close + 1));
    if (close != std::string_view::npos && close + 1 < authority.size() &&
        authority[close + 1] == ':') {
      hasPort = true;
      portText = authority.substr(close + 2);
    }
  } else if (const auto colon = authority.find(':'); colon != std::string_view::npos) {
    result.host = std::string(authority.substr(0, colon));
    hasPort = true;
    portText = authority.substr(colon + 1);
  } else {
    result.host = std::string(authority);
  }
  if (hasPort)
    result.port = ReadPort(portText);

  if (target.empty())
    result.target = "/";
  else if (target.front() == '?')
    result.target = "/" + EscapeLineBreaks(target);
  else
    result.target = EscapeLineBreaks(target);
  return result;
}

std::string HostHeaderValue(const HttpUrl& url) {
  if (url.port == 80)
    return url.host;
  return url.host + ":" + std::to_string(url.port);
}

std::string ProxiedRequestTarget(const HttpUrl& url) {
  return "http://" + url.host + ":" + std::to_string(url.port) + url.target;
}

}  // namespace quellar
