// quellar-watch: which members of a Vorlane clan are online, for scripts and
// bots; once, or as the arrivals and departures of every later fetch.

#include <QCoreApplication>
#include <QString>
#include <chrono>
#include <optional>
#include <utility>

#include "common/cp1251.h"
#include "history/history_file.h"
#include "roster_host.h"
#include "watch/console_output.h"
#include "watch/watch_options.h"
#include "watch/watch_report.h"
#include "watch/watch_run.h"
#include "watch/watch_settings.h"

namespace {

using quellar::watch::CommandLine;

constexpr int kUsageStatus = 2;

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  // The window's name, so both programs share the per-user options.ini.
  QCoreApplication::setApplicationName(QStringLiteral("quellar"));
  quellar::watch::PrepareConsoleOutput();

  const CommandLine command =
      quellar::watch::ParseCommandLine(QCoreApplication::arguments().mid(1));
  switch (command.action) {
    case CommandLine::Action::kHelp:
      quellar::watch::WriteOut(quellar::watch::HelpText().toUtf8().toStdString());
      return 0;
    case CommandLine::Action::kVersion:
      quellar::watch::WriteOut("quellar-watch " QUELLAR_VERSION "\n");
      return 0;
    case CommandLine::Action::kUsageError:
      quellar::watch::WriteError(
          (QStringLiteral(u"quellar-watch: %1\nПодробнее: quellar-watch --help\n")
               .arg(command.usageError))
              .toUtf8()
              .toStdString());
      return kUsageStatus;
    case CommandLine::Action::kRun:
      break;
  }

  const quellar::watch::WatchOptions& options = command.options;
  quellar::FetchRequest request;
  request.rosterHost = quellar::kRosterHost;
  request.query = {quellar::ToCp1251(options.clan), options.server, options.caseSensitive};
  // The file is opened at the first recording or report, not before.
  std::optional<quellar::HistoryFile> history;
  if (options.history || options.reportDays > 0)
    history.emplace(quellar::watch::HistoryFilePath());
  if (options.reportDays > 0)
    return quellar::watch::PrintReport(*history, request.query, options.reportDays, options.json);

  request.proxy = quellar::watch::LoadProxySettings();
  quellar::HistoryFile* recordInto = history ? &*history : nullptr;
  if (options.everyMinutes == 0)
    return quellar::watch::FetchOnce(request, options.json, recordInto);
  quellar::watch::WatchForEver(std::move(request), options.json,
                               std::chrono::minutes(options.everyMinutes), recordInto);
}
