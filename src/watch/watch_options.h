#pragma once

#include <QString>
#include <QStringList>
#include <string>

#include "common/server.h"

namespace quellar::watch {

// What quellar-watch is asked for on its command line.
struct WatchOptions {
  QString clan;
  Server server = Server::kX3;
  bool caseSensitive = false;
  int everyMinutes = 0;  // 0 fetches once
  bool json = false;
  bool history = false;  // record each successful fetch
  int reportDays = 0;    // above 0: print the history of that many days, fetching nothing
};

struct CommandLine {
  enum class Action { kRun, kHelp, kVersion, kUsageError };
  Action action = Action::kRun;
  WatchOptions options;
  QString usageError;  // one line, for kUsageError
};

// The arguments after the program's name:
//   [--server x3|x300] [--case] [--every MINUTES] [--json] [--history] CLAN
//   [--server x3|x300] [--case] [--json] --report DAYS CLAN
// A value follows its option as the next argument or after "=". "--" ends the
// options, so that a clan whose name begins with "-" can be named. --help and
// --version answer at once, whatever follows them.
CommandLine ParseCommandLine(const QStringList& arguments);

// The text --help prints.
QString HelpText();

}  // namespace quellar::watch
