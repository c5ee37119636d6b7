// The history file at the size of a year: one fetch a minute of a 200-member clan
// whose members play in sessions, generated once and kept between runs. On it:
// the file's size, the history window's reads, the report, and the recording of
// a fetch; then a 100,000-member fetch with one in a hundred changed, recorded
// against the fill of that roster.
//
//   bench_history YEAR-FILE [repetitions]
// A YEAR-FILE without its ".complete" mark beside it is generated afresh.
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTimeZone>
#include <algorithm>
#include <bitset>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_random.h"
#include "bench/roster_data.h"
#include "common/path_text.h"
#include "history/day_view.h"
#include "history/history_recorder.h"
#include "history/member_activity.h"
#include "history/week_grid.h"
#include "roster/roster_model.h"

namespace quellar::bench {
namespace {

namespace fs = std::filesystem;

constexpr int kMembers = 200;
constexpr int kMinutes = 365 * 24 * 60;
// Bumped whenever the generated year changes, so that a kept file is remade.
constexpr char kGeneratorVersion[] = "year 1";

const RosterQuery kClan{"Brannock", Server::kX3, false};
const QLocale kRussian(QLocale::Russian, QLocale::Russia);

// 2025-01-01 00:00 UTC, a Wednesday; "now" is the year's end.
const QDateTime kYearStart(QDate(2025, 1, 1), QTime(0, 0), QTimeZone::utc());
QDateTime Now() {
  return kYearStart.addSecs(static_cast<qint64>(kMinutes) * 60);
}
const QTimeZone& Zone() {
  static const QTimeZone zone(QByteArrayLiteral("Europe/Berlin"));
  return zone;
}

// Who is online each minute. A third of the clan plays nearly every day, twice,
// for hours; a third most days, once; the rest now and then, briefly. Sessions
// gather in the evening, and a session loses a member for a minute now and then
// (a dropped connection).
std::vector<std::bitset<kMembers>> GenerateYear() {
  std::vector<std::bitset<kMembers>> online(kMinutes);
  Random random(2025);
  for (int member = 0; member < kMembers; ++member) {
    const int kind = member % 3;
    const double playsOnDay = kind == 0 ? 0.9 : kind == 1 ? 0.6 : 0.15;
    const int sessions = kind == 0 ? 2 : 1;
    const double meanLength = kind == 0 ? 150 : kind == 1 ? 110 : 50;
    for (int day = 0; day < 365; ++day) {
      if (random.Unit() > playsOnDay)
        continue;
      for (int session = 0; session < sessions; ++session) {
        // Around 18:00 UTC, give or take three hours; the second session later.
        const double spread = (random.Unit() + random.Unit() + random.Unit() - 1.5) * 360;
        const int start = day * 1440 + 18 * 60 + session * 150 + static_cast<int>(spread);
        const int length = 5 + static_cast<int>(-meanLength * std::log(1 - random.Unit()));
        for (int minute = std::max(0, start); minute < std::min(kMinutes, start + length);
             ++minute) {
          if (random.Unit() >= 0.003)
            online[static_cast<std::size_t>(minute)].set(static_cast<std::size_t>(member));
        }
      }
    }
  }
  return online;
}

std::vector<std::string> MemberNicks(std::size_t count) {
  std::vector<std::string> nicks;
  for (const RosterRow& row : GenerateRosterRows(count))
    nicks.push_back(row.nick);
  return nicks;
}

// The bulk path: the recorder itself, a day of fetches a transaction.
void WriteYear(const fs::path& file) {
  const std::vector<std::string> nicks = MemberNicks(kMembers);
  const std::vector<std::bitset<kMembers>> online = GenerateYear();
  HistoryFile history(file);
  std::vector<FetchRecord> day;
  for (int minute = 0; minute < kMinutes; ++minute) {
    auto seen = std::make_shared<SeenRoster>();
    seen->query = kClan;
    const auto& listed = online[static_cast<std::size_t>(minute)];
    for (std::size_t member = 0; member < kMembers; ++member) {
      if (listed.test(member))
        seen->nicks.push_back(nicks[member]);
    }
    day.push_back(FetchRecord{seen, kYearStart.toSecsSinceEpoch() + minute * 60LL, "1342",
                              static_cast<std::int64_t>(seen->nicks.size())});
    if (day.size() == 1440 || minute + 1 == kMinutes) {
      RecordFetches(history, day);
      day.clear();
    }
  }
}

double Milliseconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

double Median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

double MedianOf(int repetitions, const std::function<void()>& work) {
  std::vector<double> times;
  for (int i = 0; i < repetitions; ++i)
    times.push_back(Milliseconds(work));
  return Median(times);
}

int Run(const fs::path& year, int repetitions) {
  const fs::path mark = year.string() + ".complete";
  std::string stamp;
  std::getline(std::ifstream(mark), stamp);
  if (stamp != kGeneratorVersion) {
    fs::remove(year);
    fs::remove(mark);
    fs::create_directories(year.parent_path());
    const double ms = Milliseconds([&] { WriteYear(year); });
    std::ofstream(mark) << kGeneratorVersion << "\n";
    std::printf("generated the year in %.1f s\n", ms / 1000);
  }
  std::printf("year file: %.1f MB (%d fetches of %d members)\n",
              static_cast<double>(fs::file_size(year)) / 1e6, kMinutes, kMembers);

  // Each read opens the file afresh, as a new window would.
  const QDate lastDay = Now().toTimeZone(Zone()).date().addDays(-1);
  const double window = MedianOf(repetitions, [&] {
    HistoryFile history(year);
    const auto members = ReadMemberActivity(history, kClan, Now(), Zone(), {7, 30}, kRussian);
    const WeekGrid grid = ReadWeekGrid(history, kClan, Now(), Zone(), 30);
    const DayView day = ReadDay(history, kClan, lastDay, Zone(), kRussian);
    if (!members || members->size() != kMembers || day.rows.empty() || grid.cells[0].fetches == 0)
      std::fprintf(stderr, "the year reads back wrong\n");
  });
  std::printf("window ready (members + 30-day grid + one day): %.1f ms\n", window);
  const double allTime = MedianOf(repetitions, [&] {
    HistoryFile history(year);
    ReadWeekGrid(history, kClan, Now(), Zone(), 0);
  });
  std::printf("all-time grid: %.1f ms\n", allTime);
  const double report = MedianOf(repetitions, [&] {
    HistoryFile history(year);
    ReadMemberActivity(history, kClan, Now(), Zone(), {30}, kRussian);
  });
  std::printf("report of 30 days, in process: %.1f ms\n", report);

  // Recording on a copy of the year: all 200 listed, two of them swapped with
  // others each minute, through one HistoryFile as the window keeps it.
  QTemporaryDir scratch;
  const fs::path copy = PathFromQString(scratch.path()) / "history.sqlite";
  fs::copy_file(year, copy);
  {
    std::vector<std::string> nicks = MemberNicks(kMembers + 10);
    HistoryFile history(copy);
    std::vector<double> times;
    for (int fetch = 0; fetch < 301; ++fetch) {
      std::swap(nicks[static_cast<std::size_t>(fetch % kMembers)],
                nicks[kMembers + static_cast<std::size_t>(fetch % 10)]);
      auto seen = std::make_shared<SeenRoster>();
      seen->query = kClan;
      for (std::size_t member = 0; member < kMembers; ++member)
        seen->nicks.push_back(nicks[member]);
      const std::int64_t time = Now().toSecsSinceEpoch() + fetch * 60LL;
      const double ms = Milliseconds([&] {
        RecordFetches(history, {FetchRecord{seen, time, "1342", kMembers}});
      });
      if (fetch > 0)  // the first one reads the listed members back from the file
        times.push_back(ms);
    }
    std::printf("record a 200-member fetch: median %.3f ms of %zu\n", Median(times), times.size());
  }

  // 100,000 members, one in a hundred replaced by another in turn.
  constexpr std::size_t kBig = 100000;
  std::vector<RosterRow> rows = GenerateRosterRows(kBig);
  const std::string bodyA = RosterBody(rows);
  for (std::size_t row = 0; row < kBig; row += 100)
    rows[row].nick = "~" + rows[row].nick;
  const std::string bodyB = RosterBody(rows);
  const double fill = MedianOf(repetitions, [&] { FillRoster(bodyA, kRussian); });
  const auto fetched = [&](const std::string& body) {
    FetchedRoster roster;
    roster.filled = FillRoster(body, kRussian);
    roster.seen = std::make_shared<SeenRoster>(SeenRoster{kClan, NicksOf(roster.filled.rows)});
    return roster;
  };
  const FetchedRoster a = fetched(bodyA);
  const FetchedRoster b = fetched(bodyB);
  {
    HistoryFile history(PathFromQString(scratch.path()) / "big.sqlite");
    RecordFetch(history, a, Now());
    std::vector<double> times;
    for (int i = 1; i <= std::max(repetitions, 3); ++i) {
      times.push_back(
          Milliseconds([&] { RecordFetch(history, i % 2 ? b : a, Now().addSecs(60LL * i)); }));
    }
    const double record = Median(times);
    std::printf(
        "record a 100,000-member fetch with 1,000 changed: %.1f ms against its fill "
        "%.1f ms: %.2f\n",
        record, fill, record / fill);
  }
  {
    // A program's first recording of the query compares with the members read
    // back from the file rather than with the fetch it remembers.
    HistoryFile history(PathFromQString(scratch.path()) / "big.sqlite");
    const double first = Milliseconds([&] { RecordFetch(history, a, Now().addSecs(3600)); });
    std::printf("the first such recording after opening the file: %.1f ms\n", first);
  }
  return 0;
}

}  // namespace
}  // namespace quellar::bench

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: bench_history YEAR-FILE [repetitions]\n");
    return 2;
  }
  return quellar::bench::Run(argv[1], argc == 3 ? std::atoi(argv[2]) : 5);
}
