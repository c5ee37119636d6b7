#include "watch/watch_run.h"

#include <QDateTime>
#include <QString>
#include <algorithm>
#include <thread>
#include <utility>

#include "common/cp1251.h"
#include "common/error.h"
#include "history/history_recorder.h"
#include "net/http_client.h"
#include "watch/console_output.h"
#include "watch/watch_output.h"

namespace quellar::watch {
namespace {

// A failure's message as the window's error box would show it.
void ReportFailure(const FetchOutcome& outcome) {
  WriteError(MessageLines(outcome.failure));
}

void Record(HistoryFile* history, const FetchedRoster& fetched, const QDateTime& time) {
  if (!history)
    return;
  try {
    RecordFetch(*history, fetched, time);
  } catch (const std::exception&) {
    WriteError(MessageLines(HandledFailureMessage()));
  }
}

}  // namespace

int FetchOnce(const FetchRequest& request, bool json, HistoryFile* history) {
  HttpClient http;
  const FetchOutcome outcome = FetchRoster(http, request);
  const QDateTime time = QDateTime::currentDateTimeUtc();
  if (!outcome.fetched) {
    ReportFailure(outcome);
    return 1;
  }
  const RosterAnswer& filled = outcome.fetched->filled;
  WriteOut(RosterLines(filled.rows, json));
  FlushOut();
  const QString figures = QStringLiteral(u"Онлайн клана: %1\nОнлайн сервера: %2\n")
                              .arg(filled.rows.size())
                              .arg(FromCp1251(filled.serverLine));
  WriteError(figures.toUtf8().toStdString());
  Record(history, *outcome.fetched, time);
  return 0;
}

void WatchForEver(FetchRequest request, bool json, std::chrono::milliseconds period,
                  HistoryFile* history) {
  HttpClient http;
  auto next = std::chrono::steady_clock::now();
  while (true) {
    FetchOutcome outcome = FetchRoster(http, request);
    if (!outcome.fetched) {
      ReportFailure(outcome);
    } else {
      const QDateTime time = QDateTime::currentDateTime();
      const FetchedRoster& fetched = *outcome.fetched;
      if (fetched.changes) {
        WriteOut(json ? ChangeJsonLines(*fetched.changes,
                                        ChangeContext{request.query.clan,
                                                      ServerName(request.query.server), time})
                      : ChangeLines(*fetched.changes));
        FlushOut();
      }
      Record(history, fetched, time);
      request.previous = fetched.seen;
    }
    // A steady beat, like the window's timer; a fetch that outlasts the period
    // is followed by the next one at once.
    next = std::max(next + period, std::chrono::steady_clock::now());
    std::this_thread::sleep_until(next);
  }
}

}  // namespace quellar::watch
