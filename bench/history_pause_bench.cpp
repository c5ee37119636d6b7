// The history window's event loop while it reads the year bench_history makes:
// from showing the clan (members, 30-day grid, one day) through the choice of the
// all-time grid to both shown. A timer every 10 ms records how late each tick
// comes (EventLoopPause); the worst lateness is the longest the window stops
// answering.
//
//   bench_history_pause YEAR-FILE [repetitions]
#include <QApplication>
#include <QComboBox>
#include <QTimeZone>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "bench/event_loop_pause.h"
#include "ui/history_window.h"

namespace {

// The year's query and its end, as bench_history makes them.
const quellar::RosterQuery kClan{"Brannock", quellar::Server::kX3, false};
const QDateTime kYearEnd(QDate(2026, 1, 1), QTime(0, 0), QTimeZone::utc());

struct Pause {
  double worstLateMs = 0;
  double totalMs = 0;
};

// Runs step from the event loop and waits until the window has read and shown
// what it asked for.
void RunAndWait(quellar::HistoryWindow& window, const std::function<void()>& step) {
  QTimer::singleShot(0, &window, step);
  QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  while (window.reading())
    QApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

Pause MeasureOneOpening(const std::filesystem::path& year) {
  quellar::HistoryWindowContext context{year,
                                        {QLocale(QLocale::Russian, QLocale::Russia)},
                                        [] { return kYearEnd; },
                                        QTimeZone(QByteArrayLiteral("Europe/Berlin"))};
  quellar::HistoryWindow window(context);
  window.show();
  auto* period = window.findChild<QComboBox*>(QStringLiteral("periodCombo"));
  const quellar::bench::EventLoopPause pause;
  RunAndWait(window, [&] { window.showQuery(kClan, true); });
  RunAndWait(window, [&] {
    period->setCurrentIndex(period->count() - 1);
    emit period->activated(period->count() - 1);
  });
  if (window.findChild<QTreeWidget*>(QStringLiteral("membersTable"))->topLevelItemCount() == 0)
    std::fprintf(stderr, "the window shows no members of the year\n");
  return {pause.worstMs(), pause.elapsedMs()};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: bench_history_pause YEAR-FILE [repetitions]\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  const std::filesystem::path year = argv[1];
  const int runs = argc == 3 ? std::atoi(argv[2]) : 5;
  std::vector<double> worst;
  for (int run = 0; run < runs; ++run) {
    const Pause pause = MeasureOneOpening(year);
    std::printf("  opening %d: worst tick lateness %.1f ms, its reads %.0f ms\n", run + 1,
                pause.worstLateMs, pause.totalMs);
    worst.push_back(pause.worstLateMs);
  }
  std::sort(worst.begin(), worst.end());
  std::printf("history window event-loop pause: median %.1f ms, max %.1f ms\n",
              worst[worst.size() / 2], worst.back());
  return 0;
}
