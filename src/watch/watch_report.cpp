#include "watch/watch_report.h"

#include <QLocale>
#include <QString>
#include <QTimeZone>
#include <exception>
#include <optional>

#include "common/cp1251.h"
#include "common/error.h"
#include "common/path_text.h"
#include "watch/console_output.h"
#include "watch/watch_output.h"

namespace quellar::watch {

std::string ReportLines(const std::vector<MemberActivity>& members, bool json) {
  std::string lines;
  for (const MemberActivity& member : members) {
    const std::string nick = FromCp1251(member.nick).toUtf8().toStdString();
    const std::string lastSeen = IsoTimeWithOffset(QDateTime::fromSecsSinceEpoch(member.lastSeen));
    const PlayTally& tally = member.periods.front();
    // QString's numbers keep their decimal point whatever the C locale says.
    const std::string hours =
        QString::number(static_cast<double>(tally.onlineSeconds) / 3600, 'f', 1).toStdString();
    const std::string days = std::to_string(tally.daysWithPlay);
    if (json) {
      lines += "{\"nick\":" + JsonString(nick) + ",\"lastSeen\":" + JsonString(lastSeen) +
               ",\"hours\":" + hours + ",\"daysWithPlay\":" + days + "}\n";
    } else {
      lines += nick + '\t' + lastSeen + '\t' + hours + '\t' + days + '\n';
    }
  }
  return lines;
}

int PrintReport(HistoryFile& history, const RosterQuery& query, int days, bool json) {
  std::optional<std::vector<MemberActivity>> members;
  try {
    members = ReadMemberActivity(history, query, QDateTime::currentDateTimeUtc(),
                                 QTimeZone::systemTimeZone(), {days}, QLocale());
  } catch (const std::exception&) {
    WriteError(MessageLines(HandledFailureMessage()));
    return 1;
  }
  if (!members) {
    const QString caseRule =
        query.caseSensitive ? QStringLiteral(u" с учетом регистра") : QString();
    WriteError(
        QStringLiteral(u"В истории нет ни одного запроса клана «%1» на сервере %2%3 (файл «%4»).\n")
            .arg(FromCp1251(query.clan), QString::fromLatin1(ServerName(query.server).data()),
                 caseRule, PathToQString(history.path()))
            .toUtf8()
            .toStdString());
    return 1;
  }
  WriteOut(ReportLines(*members, json));
  FlushOut();
  return 0;
}

}  // namespace quellar::watch
