// How long the window's event loop stops while a fetch of a million-member roster
// runs from the click on "Получить" to the filled table: a timer every 10 ms
// records how late each tick comes; the worst lateness is the longest pause a
// person would feel. The roster comes from the stand-in service on loopback.
//
//   bench_fill_pause [MEMBERS] [RUNS]    (1000000 and 5 by default)
//
// The target: under 50 ms.

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/event_loop_pause.h"
#include "bench/standin_process.h"
#include "common/path_text.h"
#include "settings/clan_lists.h"
#include "ui/main_window.h"

namespace {

constexpr const char* kClan = "Million";
constexpr int kTickMs = quellar::bench::EventLoopPause::kTickMs;

// One fetch from the click to the filled table: the worst tick lateness, and
// the whole time, in milliseconds.
struct Pause {
  double worstLateMs = 0;
  double totalMs = 0;
};

Pause MeasureOneFetch(quellar::MainWindow& main, int members) {
  auto* table = main.findChild<QTreeView*>(QStringLiteral("rosterTable"));
  auto* button = main.findChild<QPushButton*>(QStringLiteral("fetchButton"));
  bool filled = false;
  QObject::connect(table->model(), &QAbstractItemModel::modelReset,
                   [&] { filled = table->model()->rowCount() == members; });
  const quellar::bench::EventLoopPause pause;
  // The click comes from the event loop, as a person's would.
  QTimer::singleShot(0, button, [button] { button->click(); });
  while (!filled)
    QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  // The first paint of the new rows belongs to the fill too.
  const double end = pause.elapsedMs() + 100;
  while (pause.elapsedMs() < end)
    QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
  QObject::disconnect(table->model(), nullptr, nullptr, nullptr);
  return {pause.worstMs(), pause.elapsedMs()};
}

}  // namespace

int main(int argc, char** argv) {
  const int members = argc > 1 ? std::atoi(argv[1]) : 1000000;
  const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  const quellar::bench::StandinProcess standin(
      {{kClan, static_cast<std::size_t>(std::max(members, 0))}});
  QTemporaryDir settings;
  quellar::ClanLists clans;
  quellar::MainWindowContext context;
  context.settingsDirectory = quellar::PathFromQString(settings.path());
  context.userConfigDirectory = context.settingsDirectory;
  context.rosterHost = standin.hostAndPort();
  context.locale.locale = QLocale(QLocale::Russian, QLocale::Russia);
  context.clans = clans;
  quellar::MainWindow main(context);
  main.show();
  main.findChild<QComboBox*>(QStringLiteral("clanCombo"))->setEditText(QString::fromLatin1(kClan));

  std::vector<double> worst;
  std::printf("fill pause: %d members, %d fetches, a %d ms timer\n", members, runs, kTickMs);
  for (int run = 0; run < runs; ++run) {
    const Pause pause = MeasureOneFetch(main, members);
    std::printf("  fetch %d: worst tick lateness %.1f ms, click to filled table %.0f ms\n", run + 1,
                pause.worstLateMs, pause.totalMs);
    worst.push_back(pause.worstLateMs);
  }
  // The first fetch of a run also paints the first rows the program ever shows
  // (fonts and glyphs made once), which a fetch of a thousand rows pays too: told
  // apart from the fills that follow.
  std::printf("worst event-loop pause: first fetch %.1f ms", worst.front());
  worst.erase(worst.begin());
  if (!worst.empty()) {
    std::sort(worst.begin(), worst.end());
    std::printf(", later fetches median %.1f ms, max %.1f ms", worst[worst.size() / 2],
                worst.back());
  }
  std::printf("\n");
  return 0;
}
