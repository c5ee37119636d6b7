// Peak memory of holding a 1,000,000-member roster, fetched from the stand-in
// service, parsed, put in nick order and filled into the table, against the size
// of the answer's body. Each measure is a fresh process of this program: "empty"
// fetches a clan without members, "hold" the big one; the difference of their
// peak resident sizes is what the roster costs.
//
//   bench_memory [members]      (default 1000000)
#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/roster_data.h"
#include "bench/standin_process.h"
#include "common/proxy_settings.h"
#include "net/http_client.h"
#include "roster/roster_model.h"
#include "roster/roster_url.h"

namespace {

const char* const kBigClan = "Bench";
const char* const kNobody = "Nobody";

// The process's own high-water mark. (getrusage's maximum would also count the
// parent's pages this process had between fork and exec.)
long PeakResidentKiB() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly))
    return -1;
  for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
    if (line.startsWith("VmHWM:"))
      return line.mid(6).trimmed().split(' ').front().toLong();
  }
  return -1;
}

// The child: one fetch into a fresh table, then its peak, on standard output.
int Child(const std::string& host, const char* clan) {
  quellar::HttpClient http;
  quellar::RosterModel table(QLocale(QLocale::Russian, QLocale::Russia));
  quellar::bench::FetchInto(http, host, clan, table);
  std::printf("%ld %d\n", PeakResidentKiB(), table.rowCount());
  return 0;
}

bool RunChild(const QString& host, const char* clan, long& peakKiB, int& rows) {
  QProcess child;
  child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  child.start(QCoreApplication::applicationFilePath(),
              {QStringLiteral("--child"), host, QString::fromLatin1(clan)});
  if (!child.waitForFinished(600000) || child.exitCode() != 0)
    return false;
  return std::sscanf(child.readAllStandardOutput().constData(), "%ld %d", &peakKiB, &rows) == 2 &&
         peakKiB > 0;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  if (argc == 4 && std::string(argv[1]) == "--child")
    return Child(argv[2], argv[3]);

  const std::size_t members = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1'000'000;
  const quellar::bench::StandinProcess standin({{kBigClan, members}, {kNobody, 0}});

  // The body as the client receives it.
  quellar::HttpClient http;
  const std::size_t bodyBytes =
      http.Get(quellar::BuildRosterUrl(standin.hostAndPort(), quellar::RosterQuery{kBigClan}))
          .size();

  const QString host = QString::fromStdString(standin.hostAndPort());
  long emptyKiB = 0;
  long holdKiB = 0;
  int emptyRows = -1;
  int holdRows = -1;
  if (!RunChild(host, kNobody, emptyKiB, emptyRows) ||
      !RunChild(host, kBigClan, holdKiB, holdRows) || emptyRows != 0 ||
      holdRows != static_cast<int>(members)) {
    std::fprintf(stderr, "bench_memory: a measuring run failed\n");
    return 1;
  }
  const double mib = 1024.0 * 1024.0;
  const double body = static_cast<double>(bodyBytes) / mib;
  const double empty = static_cast<double>(emptyKiB) / 1024.0;
  const double hold = static_cast<double>(holdKiB) / 1024.0;
  std::printf("peak memory holding %zu rows (fetched, parsed, ordered, filled)\n", members);
  std::printf("  answer body                    %8.1f MiB\n", body);
  std::printf("  peak of the empty program      %8.1f MiB\n", empty);
  std::printf("  peak holding the roster        %8.1f MiB\n", hold);
  std::printf("  (peak - empty peak) / body     %8.2f  (target at most 2.00)\n",
              (hold - empty) / body);
  return 0;
}
