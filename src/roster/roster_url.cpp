#include <string>
#include <string_view>

#include "roster/roster_url.h"

namespace quellar {
namespace {

// The clan name goes out byte for byte, except the three bytes that would end the
// request line early and let a name inject headers of its own.
void AppendClanName(std::string& url, std::string_view clan) {
  for (char c : clan) {
    switch (c) {
      case '\r':
        url += "%0D";
        break;
      case '\n':
        url += "%0A";
        break;
      case '\0':
        url += "%00";
        break;
      default:
        url += c;
    }
  }
}

}  // namespace

std::string BuildRosterUrl(std::string_view rosterHost, const RosterQuery& query) {
  std::string url;
  url.reserve(rosterHost.size() + query.clan.size() + 48);
  url += "http://";
  url += rosterHost;
  url += "/xml.php?clan=";
  AppendClanName(url, query.clan);
  if (query.caseSensitive)
    url += "&case=1";
  // The service's default server is the one a request leaves unnamed.
  if (const int number = Info(query.server).urlNumber; number != Info(Server::kX3).urlNumber) {
    url += "&server=";
    url += std::to_string(number);
  }
  return url;
}

}  // namespace quellar
