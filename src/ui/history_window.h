#pragma once

#include <QDateTime>
#include <QTimeZone>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

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
// recorded. Non-modal. The file is read only when the window shows a query: the
// reads of a year's history take a few tens of milliseconds, so they run on the
// window's thread.
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

 private slots:
  void chooseQuery(int index);
  void choosePeriod(int index);
  void chooseDay(QDate day);

 private:
  void createControls();
  void readMembers();
  void readGrid();
  void readDay();
  const RosterQuery* shownQuery() const;

  HistoryWindowContext context_;
  HistoryFile history_;
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
