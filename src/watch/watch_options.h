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
};

struct CommandLine {
  enum class Action { kRun, kHelp, kVersion, kUsageError };
  Action action = Action::kRun;
  WatchOptions options;
  QString usageError;  // one line, for kUsageError
};

// The arguments after the program's name:
//   [--server x3|x300] [--case] [--every MINUTES] [--json] CLAN
// A value follows its option as the next argument or after "=". "--" ends the
// options, so that a clan whose name begins with "-" can be named. --help and
// --version answer at once, whatever follows them.
CommandLine ParseCommandLine(const QStringList& arguments);

// The text --help prints.
QString HelpText();

}  // namespace quellar::watch
