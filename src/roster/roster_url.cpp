#include <string>
#include <string_view>

#include "common/servers.h"
#include "roster/load_roster.h"

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

std::string BuildRosterUrl(std::string_view rosterHost, std::string_view clan,
                           std::string_view server, bool caseSensitive) {
  std::string url;
  url.reserve(rosterHost.size() + clan.size() + 48);
  url += "http://";
  url += rosterHost;
  url += "/xml.php?clan=";
  AppendClanName(url, clan);
  if (caseSensitive)
    url += "&case=1";
  if (server == kServerX300)
    url += "&server=2";
  return url;
}

}  // namespace quellar
