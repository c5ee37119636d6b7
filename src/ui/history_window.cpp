#include "ui/history_window.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <utility>

#include "common/cp1251.h"
#include "common/error.h"
#include "history/day_view.h"
#include "history/member_activity.h"
#include "history/week_grid.h"
#include "ui/classic_look.h"
#include "ui/guard.h"
#include "ui/history_views.h"
#include "ui/widget_names.h"

namespace quellar {
namespace {

constexpr std::array<int, 4> kPeriodDays = {7, 30, 90, 0};  // 0: all time
constexpr int kSortRole = Qt::UserRole;
constexpr int kClientWidth = 600;
constexpr int kClientHeight = 400;
constexpr QPoint kFirstShownAt{264, 150};
constexpr int kChoiceRowHeight = 36;

// A members' row sorts by the key of each column rather than its text: the nick
// by its place in the main table's order, the rest by number.
class MemberItem : public QTreeWidgetItem {
 public:
  using QTreeWidgetItem::QTreeWidgetItem;
  bool operator<(const QTreeWidgetItem& other) const override {
    const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
    return data(column, kSortRole).toDouble() < other.data(column, kSortRole).toDouble();
  }
};

QString Hours(const QLocale& locale, std::int64_t seconds) {
  return locale.toString(static_cast<double>(seconds) / 3600.0, 'f', 1);
}

}  // namespace

QString QueryCaption(const RosterQuery& query) {
  QString caption =
      QStringLiteral("%1 (%2)").arg(FromCp1251(query.clan), FromCp1251(ServerName(query.server)));
  if (query.caseSensitive)
    caption += QStringLiteral(u", с учетом регистра");
  return caption;
}

HistoryWindow::HistoryWindow(HistoryWindowContext context, QWidget* parent)
    : QWidget(parent),
      context_(std::move(context)),
      history_(std::make_shared<HistoryFile>(context_.file)),
      reads_(new BackgroundWork(this)) {
  setObjectName(QStringLiteral("historyWindow"));
  setWindowTitle(QStringLiteral(u"История"));
  // A window of its own, fixed in size as the program's other windows are.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setFont(ClassicWindowFont());
  createControls();
  setFixedSize(kClientWidth, kClientHeight);
  move(kFirstShownAt);
}

HistoryWindow::~HistoryWindow() = default;

void HistoryWindow::createControls() {
  auto* client = Named(new QWidget(this), "historyClient");
  client->setFixedSize(kClientWidth, kClientHeight);
  queryLabel_ = MakeLabel("queryLabel", QStringLiteral(u"Клан:"), {8, 11}, client);
  queryCombo_ = Named(new QComboBox(client), "queryCombo");
  queryCombo_->setGeometry(48, 8, 329, 21);
  queryLabel_->setBuddy(queryCombo_);
  queryCombo_->setAccessibleName(QStringLiteral(u"Клан"));
  queryCombo_->setAccessibleDescription(
      QStringLiteral(u"Клан, сервер и учет регистра, чью историю показать"));

  pages_ = Named(new QStackedWidget(client), "historyPages");
  pages_->setGeometry(8, 37, kClientWidth - 16, kClientHeight - 45);
  emptyLabel_ = Named(new QLabel(pages_), "emptyLabel");
  emptyLabel_->setWordWrap(true);
  emptyLabel_->setAlignment(Qt::AlignCenter);
  emptyLabel_->setMargin(24);
  pages_->addWidget(emptyLabel_);
  tabs_ = Named(new QTabWidget(pages_), "historyTabs");
  pages_->addWidget(tabs_);

  membersTable_ = Named(new QTreeWidget(tabs_), "membersTable");
  membersTable_->setHeader(NewPlainHeader(membersTable_));
  membersTable_->setHeaderLabels({QStringLiteral(u"Ник"), QStringLiteral(u"Последний раз в игре"),
                                  QStringLiteral(u"Часов за 7 дней"),
                                  QStringLiteral(u"Часов за 30 дней"),
                                  QStringLiteral(u"Дней с игрой за 30")});
  membersTable_->setRootIsDecorated(false);
  membersTable_->setUniformRowHeights(true);
  membersTable_->setAllColumnsShowFocus(true);
  membersTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  membersTable_->header()->setSectionsMovable(false);
  membersTable_->header()->setStretchLastSection(false);
  membersTable_->header()->setSectionsClickable(true);
  membersTable_->setSortingEnabled(true);
  membersTable_->sortByColumn(0, Qt::AscendingOrder);
  for (int column = 0; column < membersTable_->columnCount(); ++column)
    membersTable_->resizeColumnToContents(column);
  membersTable_->setAccessibleName(QStringLiteral(u"Участники"));
  membersTable_->setAccessibleDescription(
      QStringLiteral(u"Все, кого видели в клане; щелчок по заголовку сортирует столбец"));
  tabs_->addTab(membersTable_, QStringLiteral(u"Участники"));

  // Each of the other two views: a row of its choice above the view.
  auto* gridPage = Named(new QWidget(tabs_), "gridPage");
  auto* gridRow = Named(new QWidget(gridPage), "gridRow");
  gridRow->setFixedHeight(kChoiceRowHeight);
  periodLabel_ = MakeLabel("periodLabel", QStringLiteral(u"За период:"), {8, 11}, gridRow);
  periodCombo_ = Named(new QComboBox(gridRow), "periodCombo");
  periodCombo_->addItems({QStringLiteral(u"последние 7 дней"), QStringLiteral(u"последние 30 дней"),
                          QStringLiteral(u"последние 90 дней"), QStringLiteral(u"всё время")});
  periodCombo_->setCurrentIndex(1);
  periodCombo_->setGeometry(80, 8, 137, 21);
  periodLabel_->setBuddy(periodCombo_);
  periodCombo_->setAccessibleName(QStringLiteral(u"За период"));
  gridView_ = new WeekGridView(context_.locale.locale, gridPage);
  gridView_->setAccessibleName(QStringLiteral(u"Когда играют"));
  gridView_->setAccessibleDescription(QStringLiteral(
      u"Дни недели по часам; цвет: сколько в среднем в игре, серая штриховка: нет данных"));
  auto* gridLayout = new QVBoxLayout(gridPage);
  gridLayout->setContentsMargins(0, 0, 0, 0);
  gridLayout->addWidget(gridRow);
  gridLayout->addWidget(gridView_);
  gridLayout->addStretch();
  tabs_->addTab(gridPage, QStringLiteral(u"Когда играют"));

  auto* dayPage = Named(new QWidget(tabs_), "dayPage");
  auto* dayRow = Named(new QWidget(dayPage), "dayRow");
  dayRow->setFixedHeight(kChoiceRowHeight);
  dayLabel_ = MakeLabel("dayLabel", QStringLiteral(u"День:"), {8, 11}, dayRow);
  dayEdit_ = Named(new QDateEdit(context_.locale.today(), dayRow), "dayEdit");
  dayEdit_->setCalendarPopup(true);
  dayEdit_->setLocale(context_.locale.locale);
  dayEdit_->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
  dayEdit_->setGeometry(80, 8, 97, 21);
  dayLabel_->setBuddy(dayEdit_);
  dayEdit_->setAccessibleName(QStringLiteral(u"День"));
  auto* scroll = Named(new QScrollArea(dayPage), "dayScroll");
  dayView_ = new DayTimelineView(context_.zone);
  dayView_->setAccessibleName(QStringLiteral(u"День"));
  dayView_->setAccessibleDescription(
      QStringLiteral(u"Кто был в игре в этот день: полосы — в игре, черточки — замечен"));
  scroll->setWidget(dayView_);
  scroll->setWidgetResizable(true);
  auto* dayLayout = new QVBoxLayout(dayPage);
  dayLayout->setContentsMargins(0, 0, 0, 0);
  dayLayout->addWidget(dayRow);
  dayLayout->addWidget(scroll, 1);
  tabs_->addTab(dayPage, QStringLiteral(u"День"));

  connect(queryCombo_, &QComboBox::activated, this, &HistoryWindow::chooseQuery);
  connect(periodCombo_, &QComboBox::activated, this, &HistoryWindow::choosePeriod);
  connect(dayEdit_, &QDateEdit::dateChanged, this, &HistoryWindow::chooseDay);
}

const RosterQuery* HistoryWindow::shownQuery() const {
  const int index = queryCombo_->currentIndex();
  if (index < 0 || index >= static_cast<int>(queries_.size()))
    return nullptr;
  return &queries_[static_cast<std::size_t>(index)].query;
}

struct HistoryWindow::Choice {
  QDateTime now;
  QTimeZone zone;
  int days = 0;  // the grid's period; 0 is all time
  QDate day;
  QLocale locale;
};

struct HistoryWindow::Views {
  std::vector<MemberActivity> members;
  WeekGrid grid;
  DayView day;
};

HistoryWindow::Choice HistoryWindow::currentChoice() const {
  const int period = std::max(0, periodCombo_->currentIndex());
  return Choice{context_.now(), context_.zone, kPeriodDays[static_cast<std::size_t>(period)],
                dayEdit_->date(), context_.locale.locale};
}

void HistoryWindow::readInBackground(Read read) {
  reads_->Start([history = history_, read = std::move(read)]() -> std::function<void()> {
    try {
      return read(*history);
    } catch (...) {
      return [message = HandledFailureMessage()] { Guarded([&] { throw Error(message); }); };
    }
  });
}

bool HistoryWindow::reading() const {
  return reads_->busy();
}

void HistoryWindow::showQuery(const std::optional<RosterQuery>& query, bool recordingOn) {
  queries_.clear();
  queryCombo_->clear();
  // The views are emptied first, so that a failing read leaves none of another query.
  clearViews();
  readInBackground([this, query, recordingOn, choice = currentChoice()](HistoryFile& file) {
    std::vector<RecordedQuery> queries = ReadRecordedQueries(file);
    int shown = 0;
    for (std::size_t i = 0; i < queries.size(); ++i) {
      if (query && queries[i].query == *query)
        shown = static_cast<int>(i);
    }
    std::optional<Views> views;
    if (!queries.empty())
      views = ReadViews(file, queries[static_cast<std::size_t>(shown)].query, choice);
    return [this, queries = std::move(queries), shown, recordingOn, views = std::move(views)] {
      listQueries(queries, shown, recordingOn);
      if (views)
        showViews(*views);
    };
  });
}

void HistoryWindow::listQueries(std::vector<RecordedQuery> queries, int shown, bool recordingOn) {
  queries_ = std::move(queries);
  for (const RecordedQuery& recorded : queries_)
    queryCombo_->addItem(QueryCaption(recorded.query));
  queryCombo_->setEnabled(!queries_.empty());
  if (queries_.empty()) {
    setWindowTitle(QStringLiteral(u"История"));
    emptyLabel_->setText(
        recordingOn ? QStringLiteral(u"История пока пуста: она записывается при каждом удачном "
                                     u"запросе, и после первого здесь появятся его участники.")
                    : QStringLiteral(u"История не записывается. Чтобы записывать её, включите "
                                     u"«Опции» → «Записывать историю»: каждый удачный запрос "
                                     u"будет сохранен, и здесь появится, кто и когда играл."));
    pages_->setCurrentWidget(emptyLabel_);
    return;
  }
  pages_->setCurrentWidget(tabs_);
  queryCombo_->setCurrentIndex(shown);
  setWindowTitle(QStringLiteral(u"История: ") +
                 QueryCaption(queries_[static_cast<std::size_t>(shown)].query));
}

void HistoryWindow::reload(const RosterQuery& recorded) {
  const RosterQuery* shown = shownQuery();
  if (shown == nullptr) {
    showQuery(recorded, true);
    return;
  }
  if (*shown == recorded)
    readViews();
}

void HistoryWindow::chooseQuery(int index) {
  Guarded([&] {
    if (index < 0 || index >= static_cast<int>(queries_.size()))
      return;
    setWindowTitle(QStringLiteral(u"История: ") +
                   QueryCaption(queries_[static_cast<std::size_t>(index)].query));
    clearViews();
    readViews();
  });
}

void HistoryWindow::choosePeriod(int) {
  Guarded([&] { readViews(); });
}

void HistoryWindow::chooseDay(QDate) {
  Guarded([&] { readViews(); });
}

void HistoryWindow::readViews() {
  const RosterQuery* query = shownQuery();
  if (query == nullptr)
    return;
  readInBackground([this, query = *query, choice = currentChoice()](HistoryFile& file) {
    return [this, views = ReadViews(file, query, choice)] { showViews(views); };
  });
}

void HistoryWindow::clearViews() {
  membersTable_->clear();
  gridView_->setGrid({});
  dayView_->setDay({});
}

void HistoryWindow::showViews(const Views& views) {
  membersTable_->setSortingEnabled(false);
  membersTable_->clear();
  QList<QTreeWidgetItem*> items;
  int place = 0;
  for (const MemberActivity& member : views.members) {
    auto* item = new MemberItem;
    const QDateTime lastSeen = QDateTime::fromSecsSinceEpoch(member.lastSeen, context_.zone);
    item->setText(0, FromCp1251(member.nick));
    item->setData(0, kSortRole, place++);
    item->setText(1, lastSeen.toString(QStringLiteral("dd.MM.yyyy HH:mm")));
    item->setData(1, kSortRole, static_cast<double>(member.lastSeen));
    for (int period = 0; period < 2; ++period) {
      const PlayTally& tally = member.periods[static_cast<std::size_t>(period)];
      item->setText(2 + period, Hours(context_.locale.locale, tally.onlineSeconds));
      item->setData(2 + period, kSortRole, static_cast<double>(tally.onlineSeconds));
      item->setTextAlignment(2 + period, Qt::AlignRight | Qt::AlignVCenter);
    }
    item->setText(4, QString::number(member.periods[1].daysWithPlay));
    item->setData(4, kSortRole, member.periods[1].daysWithPlay);
    item->setTextAlignment(4, Qt::AlignRight | Qt::AlignVCenter);
    items << item;
  }
  membersTable_->addTopLevelItems(items);
  membersTable_->setSortingEnabled(true);
  for (int column = 0; column < membersTable_->columnCount(); ++column)
    membersTable_->resizeColumnToContents(column);
  gridView_->setGrid(views.grid);
  dayView_->setDay(views.day);
}

HistoryWindow::Views HistoryWindow::ReadViews(HistoryFile& file, const RosterQuery& query,
                                              const Choice& choice) {
  Views views;
  if (auto members =
          ReadMemberActivity(file, query, choice.now, choice.zone, {7, 30}, choice.locale))
    views.members = std::move(*members);
  views.grid = ReadWeekGrid(file, query, choice.now, choice.zone, choice.days);
  views.day = ReadDay(file, query, choice.day, choice.zone, choice.locale);
  return views;
}

}  // namespace quellar
