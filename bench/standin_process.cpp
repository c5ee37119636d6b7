#include "bench/standin_process.h"

#include <QFile>
#include <stdexcept>

#include "bench/roster_data.h"
#include "common/cp1251.h"

namespace quellar::bench {
namespace {

// The stand-in's sample format: UTF-8, one "@clan" line, then a record a line.
QByteArray SampleText(const std::vector<GeneratedClan>& clans) {
  QByteArray text = "@server x3 1342\n";
  for (const GeneratedClan& clan : clans) {
    text += "@clan x3 " + QByteArray::fromStdString(clan.name) + "\n";
    for (const RosterRow& row : GenerateRosterRows(clan.members)) {
      text += FromCp1251(row.nick + "|||" + row.playTime + "|||" + row.registration + "|||" +
                         row.profession)
                  .toUtf8();
      text += '\n';
    }
  }
  return text;
}

}  // namespace

StandinProcess::StandinProcess(const std::vector<GeneratedClan>& clans) {
  if (!directory_.isValid())
    throw std::runtime_error("no temporary directory for the stand-in's roster");
  const QString samplePath = directory_.filePath(QStringLiteral("roster.txt"));
  QFile sample(samplePath);
  const QByteArray text = SampleText(clans);
  if (!sample.open(QIODevice::WriteOnly) || sample.write(text) != text.size())
    throw std::runtime_error("cannot write the stand-in's roster");
  sample.close();

  process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process_.start(QStringLiteral(QUELLAR_STANDIN_EXECUTABLE),
                 {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--quiet"),
                  QStringLiteral("--data"), samplePath});
  QByteArray output;
  while (!output.contains('\n') && process_.waitForReadyRead(120000))
    output += process_.readAllStandardOutput();
  const QByteArray port = output.left(output.indexOf('\n')).trimmed();
  if (port.isEmpty())
    throw std::runtime_error("the stand-in did not say its port");
  hostAndPort_ = "127.0.0.1:" + port.toStdString();
}

StandinProcess::~StandinProcess() {
  process_.kill();
  process_.waitForFinished(5000);
}

}  // namespace quellar::bench
