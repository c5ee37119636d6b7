// quellar-watch, the real executable, against the stand-in roster service, which
// it reaches as the proxy of an options.ini beside it.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <optional>
#include <ostream>
#include <string>
#include <utility>

#include "standin/roster_sample.h"
#include "standin/standin_server.h"
#include "support/socket_error_messages.h"

namespace quellar {
namespace {

// A copy of quellar-watch in a folder of its own with an options.ini whose proxy
// is the stand-in, run under the Russian locale. The stand-in serves from this
// process, afresh for each test so that its rotating clan starts with its first
// members, while the test waits on events.
class WatchTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(standIn->Listen(0));
    ASSERT_TRUE(directory.isValid());
    const QString executable = QStringLiteral(QUELLAR_WATCH_EXECUTABLE);
    program = directory.filePath(QFileInfo(executable).fileName());
    ASSERT_TRUE(QFile::copy(executable, program));
    QFile ini(directory.filePath(QStringLiteral("options.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Proxy]\r\nuse=1\r\nserver=127.0.0.1\r\nport=" +
              QByteArray::number(standIn->port()) + "\r\n");
  }

  void Start(const QStringList& arguments) { Start(arguments, RussianEnvironment()); }

#ifdef QUELLAR_LIBFAKETIME
  // Starts the watcher on a clock of its own that runs sixty times fast from
  // 10:00 on 7 December 2026 in Vladivostok, so each minute of --every passes in
  // a second. libfaketime speeds up the monotonic clock the period is measured on
  // and shortens the sleeps to match; it also shortens the fetch's own time-outs
  // sixty times, to a second that a loopback answer never needs.
  void StartOnAFastClock(const QStringList& arguments) {
    QProcessEnvironment environment = RussianEnvironment();
    environment.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(QUELLAR_LIBFAKETIME));
    environment.insert(QStringLiteral("FAKETIME"), QStringLiteral("@2026-12-07 10:00:00 x60"));
    environment.insert(QStringLiteral("TZ"), QStringLiteral("Asia/Vladivostok"));
    // A sanitizer build wants its runtime first among the loaded libraries;
    // libfaketime ahead of it replaces only clock and sleep calls.
    const QString asan = environment.value(QStringLiteral("ASAN_OPTIONS"));
    environment.insert(QStringLiteral("ASAN_OPTIONS"),
                       asan + (asan.isEmpty() ? "" : ":") + "verify_asan_link_order=0");
    Start(arguments, environment);
  }
#endif

  static QProcessEnvironment RussianEnvironment() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& name : environment.keys()) {
      if (name.startsWith(QLatin1String("LC_")) || name == QLatin1String("LANGUAGE"))
        environment.remove(name);
    }
    environment.insert(QStringLiteral("LANG"), QStringLiteral("ru_RU.UTF-8"));
    return environment;
  }

  void Start(const QStringList& arguments, const QProcessEnvironment& environment) {
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
  }

  bool Finished() {
    return QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 20000);
  }

  // The first lines of a watcher's output, waiting for them as a script would;
  // then the watcher is stopped.
  QByteArray ReadLines(int count, QProcess::ProcessChannel channel = QProcess::StandardOutput) {
    process.setReadChannel(channel);
    QByteArray out;
    // Too few lines show in the comparison of what was read.
    static_cast<void>(
        QTest::qWaitFor([&] { return (out += process.readAll()).count('\n') >= count; }, 20000));
    process.kill();
    process.waitForFinished(5000);
    return out;
  }

  std::optional<standin::StandinServer> standIn{
      std::in_place, standin::RosterSample::FromFile(QUELLAR_STANDIN_SAMPLE)};
  QTemporaryDir directory;
  QString program;
  QProcess process;
};

struct Run {
  const char* name;
  QStringList arguments;
  std::string out;
  std::string error;
  int status;
};

void PrintTo(const Run& run, std::ostream* out) {
  *out << run.name;
}

class WatchRuns : public WatchTest, public testing::WithParamInterface<Run> {};

TEST_P(WatchRuns, printTheirOutputAndEndWithTheirStatus) {
  Start(GetParam().arguments);
  ASSERT_TRUE(Finished());
  EXPECT_EQ(process.readAllStandardOutput().toStdString(), GetParam().out);
  EXPECT_EQ(process.readAllStandardError().toStdString(), GetParam().error);
  EXPECT_EQ(process.exitCode(), GetParam().status);
}

// The window's nick order: Cyrillic ahead of Latin as ICU collates "ru", Latin
// first on Windows.
#ifdef _WIN32
const std::string kBrannockRows =
    "aLeX\t23410\tрег.: 17.06.2006\tМаг\nDark-Knight\t4312\tрег.: 21.09.2007\tПаладин\n"
    "Snegir\t87\tрег.: 02.11.2008\tЛучник\nЁжик\t10\tрег.: 30.01.2009\tЖрец\n"
    "Мистер-Икс\t9\tрег.: 05.05.2009\tРазбойник\nТень-Ворона\t1520\tрег.: 12.03.2007\tВоин\n"
    "Хранитель\t764\tрег.: 14.02.2008\tДруид\n";
#else
const std::string kBrannockRows =
    "Ёжик\t10\tрег.: 30.01.2009\tЖрец\nМистер-Икс\t9\tрег.: 05.05.2009\tРазбойник\n"
    "Тень-Ворона\t1520\tрег.: 12.03.2007\tВоин\nХранитель\t764\tрег.: 14.02.2008\tДруид\n"
    "aLeX\t23410\tрег.: 17.06.2006\tМаг\nDark-Knight\t4312\tрег.: 21.09.2007\tПаладин\n"
    "Snegir\t87\tрег.: 02.11.2008\tЛучник\n";
#endif

// A clan of Cyrillic nicks only, in the same order everywhere.
const std::string kX300VaryagiJson =
    R"({"nick":"Ингвар","playTime":"77","registration":"рег.: 31.01.2009","profession":"Лучник"})"
    "\n"
    R"({"nick":"Олег-Вещий","playTime":"3120","registration":"рег.: 14.11.2006","profession":"Маг"})"
    "\n"
    R"({"nick":"Рюрик","playTime":"6400","registration":"рег.: 06.06.2006","profession":"Воин"})"
    "\n";

// A run that ends well: its standard output and error, status 0.
Run Done(const char* name, const QStringList& arguments, std::string out, std::string error) {
  return {name, arguments, std::move(out), std::move(error), 0};
}

// A command line quellar-watch refuses: the reason, a hint, status 2.
Run Usage(const char* name, const QStringList& arguments, const std::string& reason) {
  return {name, arguments, "", "quellar-watch: " + reason + "\nПодробнее: quellar-watch --help\n",
          2};
}

INSTANTIATE_TEST_SUITE_P(
    QuellarWatch, WatchRuns,
    testing::Values(Done("onceAsTabSeparatedRows", {"Brannock"}, kBrannockRows,
                         "Онлайн клана: 7\nОнлайн сервера: 1342\n"),
                    Done("onceAsJsonFromX300", {"--json", "--server=x300", "ВАРЯГИ"},
                         kX300VaryagiJson, "Онлайн клана: 3\nОнлайн сервера: 587\n"),
                    Done("caseSensitiveFindsNobody", {"--case", "BRANNOCK"}, "",
                         "Онлайн клана: 0\nОнлайн сервера: 1342\n"),
                    Done("version", {"--version"}, "quellar-watch 1.1.0\n", ""),
                    Usage("periodOutOfRange", {"--every", "61", "Brannock"},
                          "период должен быть числом минут от 1 до 60, а не «61»"),
                    Usage("unknownServer", {"--server", "x30", "Brannock"},
                          "сервер должен быть x3 или x300, а не «x30»"),
                    Usage("noClan", {"--json"}, "не указан клан"),
                    Usage("twoClans", {"Brannock", "Пустошь"},
                          "лишний аргумент «Пустошь»: клан указывается один"),
                    Usage("unknownOption", {"--every-minute", "Brannock"},
                          "неизвестный параметр --every-minute"),
                    Usage("reportDaysOutOfRange", {"--report=0", "Brannock"},
                          "число дней должно быть от 1 до 3650, а не «0»"),
                    Usage("reportWhileRecording", {"--history", "--report", "7", "Brannock"},
                          "--report нельзя сочетать с --every и --history")),
    [](const testing::TestParamInfo<Run>& info) { return std::string(info.param.name); });

TEST_F(WatchTest, printsTheFailedFetchsMessageAndEndsWithStatus1) {
  standIn.reset();
  Start({QStringLiteral("Brannock")});
  ASSERT_TRUE(Finished());
  EXPECT_EQ(process.readAllStandardOutput().toStdString(), "");
  EXPECT_EQ(process.readAllStandardError().toStdString(), test::kRefusedMessage + "\n");
  EXPECT_EQ(process.exitCode(), 1);
}

#ifdef QUELLAR_LIBFAKETIME

TEST_F(WatchTest, printsWhoCameAndWhoLeftAtEachLaterFetch) {
  StartOnAFastClock(
      {QStringLiteral("--every"), QStringLiteral("1"), QStringLiteral("Brannock-live")});
  EXPECT_EQ(ReadLines(4).toStdString(), "+\tДуб-Старый\n-\tЯсень\n+\tOak\n-\tAlder\n");
}

// The changes come with the second fetch, a minute or so of the fast clock after
// 10:00 in Vladivostok.
TEST_F(WatchTest, printsTheChangesAsJsonWithTheFetchsLocalTime) {
  StartOnAFastClock(
      {QStringLiteral("--json"), QStringLiteral("--every=1"), QStringLiteral("brannock-LIVE")});
  const QRegularExpression time(QStringLiteral(R"(,"time":"2026-12-07T10:0\d:\d\d\+10:00"}$)"));
  QStringList lines = QString::fromUtf8(ReadLines(2)).split(u'\n');
  ASSERT_EQ(lines.size(), 3);
  for (qsizetype i = 0; i < 2; ++i) {
    EXPECT_TRUE(time.match(lines[i]).hasMatch()) << lines[i].toStdString();
    lines[i].replace(time, QStringLiteral("}"));
  }
  EXPECT_EQ(lines.join(u'\n').toStdString(),
            R"({"event":"online","nick":"Дуб-Старый","clan":"brannock-LIVE","server":"x3"})"
            "\n"
            R"({"event":"offline","nick":"Ясень","clan":"brannock-LIVE","server":"x3"})"
            "\n");
}

// The history beside the copy of quellar-watch, as beside its options.ini.
TEST_F(WatchTest, recordsTheFetchWithHistoryAndReportsItWithoutFetching) {
  Start({QStringLiteral("--history"), QStringLiteral("Brannock")});
  ASSERT_TRUE(Finished());
  EXPECT_EQ(process.readAllStandardOutput().toStdString(), kBrannockRows);
  EXPECT_EQ(process.exitCode(), 0);

  standIn.reset();
  Start({QStringLiteral("--report"), QStringLiteral("30"), QStringLiteral("Brannock")});
  ASSERT_TRUE(Finished());
  // Each nick seen once, just now: no hours online, one day with play.
  QString report = QString::fromUtf8(process.readAllStandardOutput());
  report.replace(
      QRegularExpression(QStringLiteral(R"(\t\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d\t)")),
      QStringLiteral("\tTIME\t"));
  std::string expected;
  for (const QString& row : QString::fromStdString(kBrannockRows).split(u'\n', Qt::SkipEmptyParts))
    expected += row.section(u'\t', 0, 0).toStdString() + "\tTIME\t0.0\t1\n";
  EXPECT_EQ(report.toStdString(), expected);
  EXPECT_EQ(process.exitCode(), 0);

  Start(
      {QStringLiteral("--report=30"), QStringLiteral("--server=x300"), QStringLiteral("Brannock")});
  ASSERT_TRUE(Finished());
  EXPECT_EQ(process.readAllStandardError().toStdString(),
            "В истории нет ни одного запроса клана «Brannock» на сервере x300 (файл «" +
                QDir::toNativeSeparators(directory.filePath(QStringLiteral("history.sqlite")))
                    .toStdString() +
                "»).\n");
  EXPECT_EQ(process.exitCode(), 1);
}

TEST_F(WatchTest, aHistoryThatCannotBeWrittenIsOneLineAndTheRosterStillPrints) {
  ASSERT_TRUE(QDir(directory.path()).mkdir(QStringLiteral("history.sqlite")));
  Start({QStringLiteral("--history"), QStringLiteral("Brannock")});
  ASSERT_TRUE(Finished());
  EXPECT_EQ(process.readAllStandardOutput().toStdString(), kBrannockRows);
  EXPECT_EQ(process.readAllStandardError().toStdString(),
            "Онлайн клана: 7\nОнлайн сервера: 1342\nНе удалось записать историю в файл «" +
                QDir::toNativeSeparators(directory.filePath(QStringLiteral("history.sqlite")))
                    .toStdString() +
                "»: на месте файла находится папка.\n");
  EXPECT_EQ(process.exitCode(), 0);
}

TEST_F(WatchTest, goesOnAfterAFailedFetch) {
  standIn.reset();
  StartOnAFastClock({QStringLiteral("--every"), QStringLiteral("1"), QStringLiteral("Brannock")});
  EXPECT_EQ(ReadLines(4, QProcess::StandardError).toStdString(),
            test::kRefusedMessage + "\n" + test::kRefusedMessage + "\n");
}

#endif  // QUELLAR_LIBFAKETIME

}  // namespace
}  // namespace quellar
