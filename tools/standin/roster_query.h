#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/roster_query.h"
#include "common/server.h"

namespace quellar::standin {

// The request line as the client sends it. The target may hold raw spaces and raw
// Windows-1251 bytes, so it is everything between the first and the last space.
struct RequestLine {
  std::string method;
  std::string target;
  std::string version;
};

// Empty when the line has fewer than two spaces, a method that is not a token, an
// empty target or a version other than "HTTP/<digit>.<digit>".
std::optional<RequestLine> ParseRequestLine(std::string_view line);

// Path and query of a request target in origin form ("/xml.php?clan=K") or in the
// absolute form a proxy receives ("http://host:80/xml.php?clan=K").
struct Target {
  std::string path;
  std::string query;  // without the "?"; empty when there is none
};

// Empty for any other form ("*", "example:80", a scheme other than http).
std::optional<Target> SplitTarget(std::string_view target);

// What the roster endpoint is asked for: the query the client sends.
using quellar::RosterQuery;
using quellar::Server;

// Splits the query on "&" into key=value pairs; of a key given twice the last one
// counts. "case=1" asks for case-sensitive matching, "server=2" for x300; other
// values mean the defaults. Unknown keys are ignored.
RosterQuery ParseRosterQuery(std::string_view query);

// The client percent-encodes nothing but CR, LF and NUL: "%0D", "%0A" and "%00"
// (hex digits of either case) become those bytes, every other "%" stays as it is.
std::string DecodeLineBreaksAndNul(std::string_view value);

}  // namespace quellar::standin
