#pragma once

#include <QDateTime>
#include <QTimeZone>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "common/background_work.h"
#include "common/locale_context.h"
#include "common/roster_query.h"
#include "history/history_file.h"
#include "history/recorded_queries.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QStackedWidget;
class QTabWidget;
class QTreeWidget;

namespace quellar {

class DayTimelineView;
class WeekGridView;

// What the history window reads and how it tells the time.
struct HistoryWindowContext {
  std::filesystem::path file;
  LocaleContext locale;
  std::function<QDateTime()> now;
  QTimeZone zone;
};

// "История": the recorded fetches of one query as its members' play, the week's
// grid of when they play, and one day's spans; a list chooses among the queries
// recorded. Non-modal. The file is read only when the window shows a query, and
// away from the window's thread: a year's history takes up to a tenth of a
// second to read, and another program may hold the file for a moment.
class HistoryWindow : public QWidget {
  Q_OBJECT

 public:
  explicit HistoryWindow(HistoryWindowContext context, QWidget* parent = nullptr);
  ~HistoryWindow() override;

  // Reads the recorded queries again and shows query, or the latest recorded when
  // query has none; recordingOn chooses what an empty history says.
  void showQuery(const std::optional<RosterQuery>& query, bool recordingOn);
  // Reads the shown query's views again, after a recording of it.
  void reload(const RosterQuery& recorded);
  // A read of the file is under way; the views show what it finds when it ends.
  bool reading() const;

 private slots:
  void chooseQuery(int index);
  void choosePeriod(int index);
  void chooseDay(QDate day);

 private:
  struct Choice;
  struct Views;
  using Read = std::function<std::function<void()>(HistoryFile&)>;

  void createControls();
  // The views' period, day and clock as the window's choices stand now.
  Choice currentChoice() const;
  // Runs read on the file away from the window; what it returns, or a failure's
  // error box, comes back to the window's thread.
  void readInBackground(Read read);
  // Reads the shown query's three views in one go.
  void readViews();
  // Runs away from the window: everything it uses is its own.
  static Views ReadViews(HistoryFile& file, const RosterQuery& query, const Choice& choice);
  void listQueries(std::vector<RecordedQuery> queries, int shown, bool recordingOn);
  void clearViews();
  void showViews(const Views& views);
  const RosterQuery* shownQuery() const;

  HistoryWindowContext context_;
  std::shared_ptr<HistoryFile> history_;
  BackgroundWork* reads_;
  std::vector<RecordedQuery> queries_;

  QLabel* queryLabel_ = nullptr;
  QComboBox* queryCombo_ = nullptr;
  QStackedWidget* pages_ = nullptr;
  QLabel* emptyLabel_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  QTreeWidget* membersTable_ = nullptr;
  QLabel* periodLabel_ = nullptr;
  QComboBox* periodCombo_ = nullptr;
  WeekGridView* gridView_ = nullptr;
  QLabel* dayLabel_ = nullptr;
  QDateEdit* dayEdit_ = nullptr;
  DayTimelineView* dayView_ = nullptr;
};

// The query as the window's title and list name it: "<clan> (<server>)", with the
// letter-case rule when it is on.
QString QueryCaption(const RosterQuery& query);

}  // namespace quellar
