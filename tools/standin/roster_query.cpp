#include "standin/roster_query.h"

#include <cctype>

#include "common/ascii.h"

namespace quellar::standin {
namespace {

bool IsTokenChar(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (u >= 0x80 || std::iscntrl(u))
    return false;
  if (std::isalnum(u))
    return true;
  return std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

bool IsHttpVersion(std::string_view version) {
  return version.size() == 8 && version.substr(0, 5) == "HTTP/" && IsAsciiDigit(version[5]) &&
         version[6] == '.' && IsAsciiDigit(version[7]);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size())
    return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) !=
        std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  }
  return true;
}

Target SplitOriginForm(std::string_view target) {
  const auto question = target.find('?');
  if (question == std::string_view::npos)
    return Target{std::string(target), {}};
  return Target{std::string(target.substr(0, question)), std::string(target.substr(question + 1))};
}

}  // namespace

std::optional<RequestLine> ParseRequestLine(std::string_view line) {
  const auto first = line.find(' ');
  const auto last = line.rfind(' ');
  if (first == std::string_view::npos || first == last)
    return std::nullopt;
  RequestLine result{std::string(line.substr(0, first)),
                     std::string(line.substr(first + 1, last - first - 1)),
                     std::string(line.substr(last + 1))};
  if (result.method.empty() || result.target.empty() || !IsHttpVersion(result.version))
    return std::nullopt;
  for (char c : result.method) {
    if (!IsTokenChar(c))
      return std::nullopt;
  }
  return result;
}

std::optional<Target> SplitTarget(std::string_view target) {
  if (target.starts_with('/'))
    return SplitOriginForm(target);
  constexpr std::string_view kScheme = "http://";
  if (!StartsWithNoCase(target, kScheme))
    return std::nullopt;
  const std::string_view afterScheme = target.substr(kScheme.size());
  const auto pathStart = afterScheme.find_first_of("/?");
  if (pathStart == 0)
    return std::nullopt;  // no host
  if (pathStart == std::string_view::npos)
    return Target{"/", {}};
  const std::string_view rest = afterScheme.substr(pathStart);
  if (rest.starts_with('?'))
    return Target{"/", std::string(rest.substr(1))};
  return SplitOriginForm(rest);
}

RosterQuery ParseRosterQuery(std::string_view query) {
  RosterQuery result;
  while (true) {
    const auto amp = query.find('&');
    const std::string_view pair = query.substr(0, amp);
    const auto equals = pair.find('=');
    const std::string_view key = pair.substr(0, equals);
    const std::string_view value =
        equals == std::string_view::npos ? std::string_view() : pair.substr(equals + 1);
    if (key == "clan")
      result.clan = DecodeLineBreaksAndNul(value);
    else if (key == "case")
      result.caseSensitive = value == "1";
    else if (key == "server")
      result.server =
          value == std::to_string(Info(Server::kX300).urlNumber) ? Server::kX300 : Server::kX3;
    if (amp == std::string_view::npos)
      break;
    query.remove_prefix(amp + 1);
  }
  return result;
}

std::string DecodeLineBreaksAndNul(std::string_view value) {
  std::string result;
  result.reserve(value.size());
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '%' && i + 2 < value.size() && value[i + 1] == '0') {
      const char digit = static_cast<char>(std::toupper(static_cast<unsigned char>(value[i + 2])));
      if (digit == 'D' || digit == 'A' || digit == '0') {
        result += digit == 'D' ? '\r' : digit == 'A' ? '\n' : '\0';
        i += 2;
        continue;
      }
    }
    result += value[i];
  }
  return result;
}

}  // namespace quellar::standin
