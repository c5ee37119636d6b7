#pragma once

#include <QDateTime>
#include <string>
#include <vector>

#include "common/roster_query.h"
#include "history/history_file.h"
#include "history/member_activity.h"

namespace quellar::watch {

// Each member as a line: nick, last seen (local time with its offset), hours
// online to one decimal with a decimal point, and days with play, separated by
// tabs; or, for json, one object a member with those four keys.
std::string ReportLines(const std::vector<MemberActivity>& members, bool json);

// Prints the history of the query's last days from the file, fetching nothing.
// Gives the exit status: 0, or 1 after a message on standard error when the file
// holds no fetch of that query or cannot be read.
int PrintReport(HistoryFile& history, const RosterQuery& query, int days, bool json);

}  // namespace quellar::watch
