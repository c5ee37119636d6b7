#pragma once

#include <string>
#include <string_view>

#include "common/roster_query.h"

namespace quellar {

// The URL asking which members of the query's clan are online on its server. The
// clan name goes in as its bytes, unescaped; the request keys are fixed.
std::string BuildRosterUrl(std::string_view rosterHost, const RosterQuery& query);

}  // namespace quellar
