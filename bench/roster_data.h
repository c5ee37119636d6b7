#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "roster/roster_row.h"

namespace quellar {
class HttpClient;
class RosterModel;
}  // namespace quellar

namespace quellar::bench {

// count roster members made up the same way on every run: Cyrillic and Latin
// nicks (some with hyphens, apostrophes or digits), play times, registration
// moments and professions, all Windows-1251.
std::vector<RosterRow> GenerateRosterRows(std::size_t count);

// The service's answer for these rows: a server line, then one CR LF line each.
std::string RosterBody(const std::vector<RosterRow>& rows);

// A fetch of clan on x3 from host without a proxy, its rows shown in table, as
// the window's fetch fills it. A failure ends the program with its message.
void FetchInto(HttpClient& http, const std::string& host, const std::string& clan,
               RosterModel& table);

}  // namespace quellar::bench
