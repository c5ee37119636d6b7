#include "ui/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <array>
#include <utility>

#include "common/cp1251.h"
#include "common/path_text.h"
#include "common/server.h"
#include "history/history_file.h"
#include "history/history_location.h"
#include "history/history_recorder.h"
#include "roster/change_notice.h"
#include "roster/fetch_runner.h"
#include "roster/roster_model.h"
#include "roster/roster_sort.h"
#include "settings/settings_file.h"
#include "settings/settings_location.h"
#include "ui/classic_look.h"
#include "ui/desktop_notifier.h"
#include "ui/guard.h"
#include "ui/history_window.h"
#include "ui/prefix_completion.h"
#include "ui/spin_edit.h"
#include "ui/spin_rules.h"
#include "ui/status_panels.h"
#include "ui/widget_names.h"

namespace quellar {
namespace {

constexpr int kClientWidth = 410;
constexpr int kClientHeight = 417;
constexpr QPoint kFirstShownAt{359, 198};
constexpr std::array<int, 4> kColumnWidths = {105, 91, 105, 105};

std::filesystem::path ExecutableDirectory() {
  // Qt names it with forward slashes; messages name options.ini the Windows way.
  return PathFromQString(QCoreApplication::applicationDirPath()).make_preferred();
}

}  // namespace

MainWindow::MainWindow(MainWindowContext context, QWidget* parent)
    : QMainWindow(parent),
      context_(std::move(context)),
      settingsFile_(ChooseSettingsFile(
          context_.settingsDirectory.empty() ? ExecutableDirectory() : context_.settingsDirectory,
          context_.userConfigDirectory.empty() ? UserConfigDirectory()
                                               : context_.userConfigDirectory)),
      historyFile_(ChooseHistoryFile(
          settingsFile_,
          context_.settingsDirectory.empty() ? ExecutableDirectory() : context_.settingsDirectory,
          context_.userDataDirectory.empty() ? UserDataDirectory() : context_.userDataDirectory)),
      roster_(new RosterModel(context_.locale.locale, this)),
      fetchRunner_(
          new FetchRunner([this](FetchOutcome outcome) { showFetchOutcome(std::move(outcome)); },
                          HttpClient::kDefaultSilenceLimit, this)) {
  setObjectName(QStringLiteral("mainWindow"));
  setWindowTitle(QStringLiteral("Quellar"));
  // Fixed single border: system menu, minimise and close, no maximise.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setFont(ClassicWindowFont());

  createMenus();
  createControls();
  createTable();
  connectSignals();

  // The client area lies below the menu bar and has a fixed size.
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  move(kFirstShownAt);

  timerInterval_ = context_.timerBaseMs;
  refreshTimer_->start(timerInterval_);
  clanCombo_->setFocus();
  reloadSettings();
}

MainWindow::~MainWindow() {
  if (fetching())
    QApplication::restoreOverrideCursor();
  // The running fetch lets go before the window it would report to goes.
  delete fetchRunner_;
  fetchRunner_ = nullptr;
  rosterTable_->removeEventFilter(this);
  rosterTable_->viewport()->removeEventFilter(this);
}

bool MainWindow::fetching() const {
  return fetchRunner_ != nullptr && fetchRunner_->busy();
}

void MainWindow::attachDialogs(QDialog* settingsDialog, QDialog* aboutDialog) {
  settingsDialog_ = settingsDialog;
  aboutDialog_ = aboutDialog;
}

void MainWindow::createMenus() {
  QMenuBar* bar = Named(menuBar(), "menuBar");
  // The menu bar belongs to the window, above its client area, on every desktop.
  bar->setNativeMenuBar(false);
  optionsMenu_ = Named(bar->addMenu(QStringLiteral("Опции")), "optionsMenu");
  autoRefreshAction_ =
      Named(optionsMenu_->addAction(QStringLiteral("Автообновление")), "autoRefreshAction");
  autoRefreshAction_->setCheckable(true);
  notifyAction_ =
      Named(optionsMenu_->addAction(QStringLiteral("Уведомлять о входе и выходе")), "notifyAction");
  notifyAction_->setCheckable(true);
  historyAction_ =
      Named(optionsMenu_->addAction(QStringLiteral("Записывать историю")), "historyAction");
  historyAction_->setCheckable(true);
  historyWindowAction_ =
      Named(optionsMenu_->addAction(QStringLiteral("История…")), "historyWindowAction");
  serverMenu_ = Named(optionsMenu_->addMenu(QStringLiteral("Сервер")), "serverMenu");
  x3Action_ = Named(serverMenu_->addAction(QStringLiteral("x3")), "x3Action");
  x300Action_ = Named(serverMenu_->addAction(QStringLiteral("x300")), "x300Action");
  settingsAction_ = Named(optionsMenu_->addAction(QStringLiteral("Настройки")), "settingsAction");
  Named(optionsMenu_->addSeparator(), "exitSeparator");
  exitAction_ = Named(optionsMenu_->addAction(QStringLiteral("Выход")), "exitAction");
  helpMenu_ = Named(bar->addMenu(QStringLiteral("Помощь")), "helpMenu");
  aboutAction_ = Named(helpMenu_->addAction(QStringLiteral("О программе")), "aboutAction");

  tableMenu_ = Named(new QMenu(this), "tableMenu");
  refreshAction_ = Named(tableMenu_->addAction(QStringLiteral("Обновить")), "refreshAction");
  Named(tableMenu_->addSeparator(), "refreshSeparator");
  copyNickAction_ =
      Named(tableMenu_->addAction(QStringLiteral("Копировать ник")), "copyNickAction");
  Named(tableMenu_->addSeparator(), "sortSeparator");
  sortMenu_ = Named(tableMenu_->addMenu(QStringLiteral("Сортировать по")), "sortMenu");

  // The shortcuts are shown in the menu but carried out by the table itself, and
  // only while it has the keyboard focus (see eventFilter).
  refreshAction_->setShortcut(QKeySequence(Qt::Key_F5));
  copyNickAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
  for (QAction* item : {refreshAction_, copyNickAction_})
    item->setShortcutContext(Qt::WidgetShortcut);

  // Each item carries the column it sorts by.
  struct SortItem {
    const char16_t* caption;
    const char* name;
    RosterColumn column;
  };
  static constexpr std::array<SortItem, 4> kSortItems = {{
      {u"Нику", "sortByNickAction", RosterColumn::Nick},
      {u"Времени игры", "sortByPlayTimeAction", RosterColumn::PlayTime},
      {u"Дате регистрации", "sortByRegistrationAction", RosterColumn::Registration},
      {u"Профессии", "sortByProfessionAction", RosterColumn::Profession},
  }};
  sortGroup_ = new QActionGroup(this);
  sortGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
  for (const SortItem& sort : kSortItems) {
    QAction* item = Named(sortMenu_->addAction(QString::fromUtf16(sort.caption)), sort.name);
    item->setData(static_cast<int>(sort.column));
    item->setCheckable(true);
    sortGroup_->addAction(item);
  }
}

void MainWindow::createControls() {
  auto* client = Named(new QWidget(this), "clientArea");
  client->setFixedSize(kClientWidth, kClientHeight);
  setCentralWidget(client);

  queryBox_ = Named(NewClassicGroupBox(QStringLiteral("Данные"), client), "queryBox");
  queryBox_->setGeometry(5, 0, 233, 97);
  clanCombo_ = Named(new QComboBox(queryBox_), "clanCombo");
  clanCombo_->setEditable(true);
  clanCombo_->setInsertPolicy(QComboBox::NoInsert);
  clanCombo_->setMaxVisibleItems(8);
  clanCombo_->setGeometry(8, 32, 137, 21);
  new PrefixCompletion(clanCombo_);
  clanLabel_ = MakeLabel("clanLabel", QStringLiteral("Название клана"), {8, 16}, queryBox_);
  serverCombo_ = Named(new QComboBox(queryBox_), "serverCombo");
  for (Server server : kServers)
    serverCombo_->addItem(FromCp1251(ServerName(server)));
  serverCombo_->setCurrentIndex(0);
  serverCombo_->setGeometry(152, 32, 73, 21);
  serverLabel_ = MakeLabel("serverLabel", QStringLiteral("Сервер"), {152, 16}, queryBox_);
  caseSensitiveCheck_ =
      Named(new QCheckBox(QStringLiteral("С учетом регистра"), queryBox_), "caseSensitiveCheck");
  caseSensitiveCheck_->setGeometry(16, 64, 121, 17);
  fetchButton_ = Named(new QPushButton(QStringLiteral("Получить"), queryBox_), "fetchButton");
  fetchButton_->setGeometry(152, 64, 73, 21);
  // Enter presses the focused button, as Space does; outside a dialog this binds
  // no default button.
  fetchButton_->setAutoDefault(true);

  autoRefreshBox_ =
      Named(NewClassicGroupBox(QStringLiteral("Автообновление"), client), "autoRefreshBox");
  autoRefreshBox_->setGeometry(245, 0, 161, 97);
  autoRefreshCheck_ =
      Named(new QCheckBox(QStringLiteral("Автообновление"), autoRefreshBox_), "autoRefreshCheck");
  autoRefreshCheck_->setGeometry(8, 24, 145, 17);
  periodSpin_ =
      Named(new SpinEdit(context_.locale.locale.decimalPoint(), SpinRange{1, 60}, autoRefreshBox_),
            "periodSpin");
  periodSpin_->setGeometry(56, 54, 41, 22);
  periodLabel_ = MakeLabel("periodLabel", QStringLiteral("Период:"), {8, 56}, autoRefreshBox_);
  minutesLabel_ = MakeLabel("minutesLabel", QStringLiteral("минут(ы)"), {104, 56}, autoRefreshBox_);
  for (QWidget* periodControl :
       {static_cast<QWidget*>(periodLabel_), static_cast<QWidget*>(minutesLabel_),
        static_cast<QWidget*>(periodSpin_)})
    periodControl->setEnabled(false);

  rosterTable_ = Named(new QTreeView(client), "rosterTable");
  rosterTable_->setGeometry(0, 103, kClientWidth, 295);

  statusPanels_ = Named(new StatusPanels(client), "statusPanels");
  statusPanels_->setGeometry(0, 398, kClientWidth, 19);

  refreshTimer_ = Named(new QTimer(this), "refreshTimer");

  describeControls();

  setTabOrder(clanCombo_, serverCombo_);
  setTabOrder(serverCombo_, caseSensitiveCheck_);
  setTabOrder(caseSensitiveCheck_, fetchButton_);
  setTabOrder(fetchButton_, autoRefreshCheck_);
  setTabOrder(autoRefreshCheck_, periodSpin_);
  setTabOrder(periodSpin_, rosterTable_);
}

// Names and descriptions for screen readers, where a control's caption stands in a
// separate label or it has none.
void MainWindow::describeControls() {
  clanLabel_->setBuddy(clanCombo_);
  serverLabel_->setBuddy(serverCombo_);
  periodLabel_->setBuddy(periodSpin_);
  clanCombo_->setAccessibleName(clanLabel_->text());
  clanCombo_->setAccessibleDescription(
      QStringLiteral(u"Введите название клана или выберите его из списка"));
  serverCombo_->setAccessibleName(serverLabel_->text());
  serverCombo_->setAccessibleDescription(QStringLiteral(u"Игровой сервер: x3 или x300"));
  caseSensitiveCheck_->setAccessibleDescription(
      QStringLiteral(u"Различать прописные и строчные буквы в названии клана"));
  fetchButton_->setAccessibleDescription(QStringLiteral(u"Запросить, кто из клана сейчас в игре"));
  autoRefreshCheck_->setAccessibleDescription(
      QStringLiteral(u"Обновлять список через заданный период"));
  periodSpin_->setAccessibleName(QStringLiteral(u"Период, минут(ы)"));
  periodSpin_->setAccessibleDescription(QStringLiteral(u"Период автообновления, от 1 до 60 минут"));
  rosterTable_->setAccessibleName(QStringLiteral(u"Игроки клана в игре"));
  rosterTable_->setAccessibleDescription(QStringLiteral(
      u"Ник, время игры, регистрация и профессия; щелчок по заголовку сортирует столбец"));
  statusPanels_->setAccessibleName(QStringLiteral(u"Строка состояния"));
  statusPanels_->setAccessibleDescription(QStringLiteral(u"Онлайн клана и онлайн сервера"));
}

void MainWindow::createTable() {
  rosterTable_->setHeader(NewPlainHeader(rosterTable_));
  rosterTable_->setModel(roster_);
  rosterTable_->setRootIsDecorated(false);
  rosterTable_->setItemsExpandable(false);
  rosterTable_->setUniformRowHeights(true);
  rosterTable_->setAllColumnsShowFocus(true);
  rosterTable_->setSortingEnabled(false);
  rosterTable_->setSelectionMode(QAbstractItemView::SingleSelection);
  rosterTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
  rosterTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  rosterTable_->setContextMenuPolicy(Qt::CustomContextMenu);
  QHeaderView* header = rosterTable_->header();
  header->setSectionsClickable(true);
  header->setSectionsMovable(false);
  header->setStretchLastSection(false);
  header->setSortIndicatorShown(false);
  for (int column = 0; column < static_cast<int>(kColumnWidths.size()); ++column)
    header->resizeSection(column, kColumnWidths[column]);
  rosterTable_->installEventFilter(this);
  rosterTable_->viewport()->installEventFilter(this);
}

void MainWindow::connectSignals() {
  connect(fetchButton_, &QPushButton::clicked, this, &MainWindow::fetch);
  connect(refreshAction_, &QAction::triggered, this, &MainWindow::refresh);
  connect(refreshTimer_, &QTimer::timeout, this, &MainWindow::refreshOnTimer);
  connect(serverCombo_, &QComboBox::activated, this, &MainWindow::chooseServer);
  connect(x3Action_, &QAction::triggered, this, [this] { chooseServer(0); });
  connect(x300Action_, &QAction::triggered, this, [this] { chooseServer(1); });
  connect(autoRefreshCheck_, &QCheckBox::toggled, this, &MainWindow::showAutoRefresh);
  connect(autoRefreshAction_, &QAction::triggered, this, &MainWindow::setAutoRefresh);
  connect(periodSpin_, &SpinEdit::changed, this, &MainWindow::setPeriod);
  connect(notifyAction_, &QAction::triggered, this, &MainWindow::switchNotices);
  connect(historyAction_, &QAction::triggered, this, &MainWindow::switchHistory);
  connect(historyWindowAction_, &QAction::triggered, this, &MainWindow::openHistory);
  connect(rosterTable_->header(), &QHeaderView::sectionClicked, this, &MainWindow::sortByColumn);
  connect(sortGroup_, &QActionGroup::triggered, this, &MainWindow::sortByMenuItem);
  connect(tableMenu_, &QMenu::aboutToShow, this, &MainWindow::enableTableMenuItems);
  connect(copyNickAction_, &QAction::triggered, this, &MainWindow::copySelectedNick);
  connect(settingsAction_, &QAction::triggered, this, &MainWindow::openSettings);
  connect(aboutAction_, &QAction::triggered, this, &MainWindow::openAbout);
  connect(exitAction_, &QAction::triggered, this, [this] { Guarded([&] { close(); }); });
  connect(rosterTable_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    tableMenu_->popup(rosterTable_->viewport()->mapToGlobal(at));
  });
  connect(roster_, &RosterModel::statusTextsChanged, this, &MainWindow::showStatusTexts);
}

void MainWindow::reloadSettings() {
  Guarded([&] {
    const QString typed = clanCombo_->currentText();
    clanCombo_->clear();
    clanCombo_->setEditText(typed);
    LoadSettings(settingsFile_, context_.clans.get(), proxySettings_);
    fillClanCombo();
    const bool notices = ReadNotifySwitch(settingsFile_);
    if (notices != notifyAction_->isChecked()) {
      notifyAction_->setChecked(notices);
      applyNoticeSwitch(notices);
    }
    historyAction_->setChecked(ReadHistorySwitch(settingsFile_));
  });
}

void MainWindow::fillClanCombo() {
  const QString typed = clanCombo_->currentText();
  QStringList names;
  for (const std::string& name : context_.clans.get().ForServer(serverCombo_->currentIndex()))
    names << FromCp1251(name);
  clanCombo_->clear();
  clanCombo_->addItems(names);
  clanCombo_->setCurrentIndex(-1);
  clanCombo_->setEditText(typed);
}

void MainWindow::fetch() {
  Guarded([&] {
    currentServer_ = ServerAt(serverCombo_->currentIndex());
    currentClan_ = ToCp1251(clanCombo_->currentText());
    startFetch();
  });
}

void MainWindow::refresh() {
  Guarded([&] { startFetch(); });
}

void MainWindow::refreshOnTimer() {
  Guarded([&] {
    if (autoRefreshCheck_->isChecked() && !currentClan_.empty() && !fetching())
      startFetch();
  });
}

void MainWindow::chooseServer(int server) {
  Guarded([&] {
    serverCombo_->setCurrentIndex(server);
    fillClanCombo();
  });
}

void MainWindow::setAutoRefresh(bool on) {
  Guarded([&] { autoRefreshCheck_->setChecked(on); });
}

void MainWindow::showAutoRefresh(bool on) {
  Guarded([&] {
    minutesLabel_->setEnabled(on);
    periodLabel_->setEnabled(on);
    periodSpin_->setEnabled(on);
    autoRefreshAction_->setChecked(on);
  });
}

void MainWindow::setPeriod() {
  Guarded([&] {
    // A period below 1 gives no ticks; a change restarts the timer.
    const int interval = TimerIntervalMs(periodSpin_->value(), context_.timerBaseMs);
    if (interval == timerInterval_)
      return;
    timerInterval_ = interval;
    if (interval == 0)
      refreshTimer_->stop();
    else
      refreshTimer_->start(interval);
  });
}

void MainWindow::switchNotices(bool on) {
  Guarded([&] {
    saveSwitch(notifyAction_, SaveNotifySwitch, on);
    applyNoticeSwitch(on);
  });
}

void MainWindow::switchHistory(bool on) {
  Guarded([&] {
    saveSwitch(historyAction_, SaveHistorySwitch, on);
    if (!on)
      history_.reset();
  });
}

void MainWindow::saveSwitch(QAction* item, void (*save)(const std::filesystem::path&, bool),
                            bool on) {
  try {
    CreateSettingsFolder(settingsFile_);  // the user's folder, at the first save
    save(settingsFile_, on);
  } catch (...) {
    item->setChecked(!on);
    throw;
  }
}

void MainWindow::openHistory() {
  Guarded([&] {
    if (!historyWindow_) {
      HistoryWindowContext history{historyFile_, context_.locale, context_.now, context_.timeZone};
      historyWindow_ = new HistoryWindow(std::move(history), this);
      historyWindow_->setAttribute(Qt::WA_DeleteOnClose);
    }
    historyWindow_->show();
    historyWindow_->raise();
    historyWindow_->activateWindow();
    historyWindow_->showQuery(lastFetched_, historyAction_->isChecked());
  });
}

void MainWindow::askToRecord(FetchRequest& request) {
  if (!historyAction_->isChecked())
    return;
  if (!history_)
    history_ = std::make_shared<HistoryFile>(historyFile_);
  request.record = [history = history_, time = context_.now()](const FetchedRoster& fetched) {
    RecordFetch(*history, fetched, time);
  };
}

void MainWindow::tellRecording(const FetchOutcome& outcome) {
  if (!outcome.recordFailure.empty()) {
    if (recordingFailed_)
      return;
    recordingFailed_ = true;
    throw Error(outcome.recordFailure);
  }
  if (!outcome.recorded)
    return;
  recordingFailed_ = false;
  if (historyWindow_)
    historyWindow_->reload(outcome.fetched->seen->query);
}

void MainWindow::applyNoticeSwitch(bool on) {
  if (!on) {
    lastSeen_.reset();
    if (notifier_)
      notifier_->setEnabled(false);
    return;
  }
  if (!notifier_) {
    notifier_ = context_.notifier != nullptr ? context_.notifier : NewPlatformNotifier(this);
    if (!notifier_)
      return;
    connect(notifier_, &DesktopNotifier::activated, this, &MainWindow::bringToFront);
  }
  notifier_->setEnabled(true);
}

void MainWindow::bringToFront() {
  Guarded([&] {
    showNormal();
    raise();
    activateWindow();
  });
}

void MainWindow::sortByColumn(int column) {
  Guarded([&] { sortRoster(column); });
}

void MainWindow::sortByMenuItem(QAction* item) {
  Guarded([&] {
    item->setChecked(true);
    sortRoster(item->data().toInt());
  });
}

void MainWindow::enableTableMenuItems() {
  Guarded([&] {
    refreshAction_->setEnabled(!currentClan_.empty());
    copyNickAction_->setEnabled(rosterTable_->selectionModel()->hasSelection());
  });
}

void MainWindow::copySelectedNick() {
  Guarded([&] {
    const QModelIndexList selected = rosterTable_->selectionModel()->selectedRows();
    if (selected.isEmpty())
      return;
    const std::string_view nick =
        roster_->rows().at(static_cast<std::size_t>(selected.front().row())).nick;
    QGuiApplication::clipboard()->setText(FromCp1251(nick));
  });
}

void MainWindow::openSettings() {
  Guarded([&] {
    if (settingsDialog_)
      settingsDialog_->exec();
  });
}

void MainWindow::openAbout() {
  Guarded([&] {
    if (aboutDialog_)
      aboutDialog_->exec();
  });
}

void MainWindow::startFetch() {
  FetchRequest request;
  request.rosterHost = context_.rosterHost;
  request.query = RosterQuery{currentClan_, currentServer_, caseSensitiveCheck_->isChecked()};
  request.proxy = proxySettings_;
  request.locale = context_.locale.locale;
  if (notifyAction_->isChecked())
    request.previous = lastSeen_;
  askToRecord(request);
  // The busy arrow, not the hourglass: the window takes input while it waits.
  if (!fetching())
    QApplication::setOverrideCursor(Qt::BusyCursor);
  fetchRunner_->Start(std::move(request));
}

void MainWindow::showFetchOutcome(FetchOutcome outcome) {
  QApplication::restoreOverrideCursor();
  Guarded([&] {
    if (!outcome.fetched)
      throw Error(outcome.failure);
    roster_->Show(std::move(outcome.fetched->filled));
    lastFetched_ = outcome.fetched->seen->query;
    if (notifyAction_->isChecked())
      noticeChanges(*outcome.fetched);
    tellRecording(outcome);
  });
}

void MainWindow::noticeChanges(const FetchedRoster& fetched) {
  lastSeen_ = fetched.seen;
  if (!fetched.changes || fetched.changes->empty() || !notifier_)
    return;
  const ChangeNotice notice =
      MakeChangeNotice(fetched.seen->query.clan, *fetched.changes, notifier_->limits());
  notifier_->show(FromCp1251(notice.summary), FromCp1251(notice.body));
}

void MainWindow::sortRoster(int column) {
  SortRoster(*roster_, sortDirection_, static_cast<RosterColumn>(column), context_.locale);
}

void MainWindow::showStatusTexts() {
  statusPanels_->setPanelText(1, roster_->clanStatusText());
  statusPanels_->setPanelText(2, roster_->serverStatusText());
}

bool MainWindow::handleTableKey(QEvent* event) {
  const auto* key = static_cast<const QKeyEvent*>(event);
  const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
  QAction* item = nullptr;
  if (key->key() == Qt::Key_F5 && modifiers == Qt::NoModifier)
    item = refreshAction_;
  else if (key->key() == Qt::Key_C && modifiers == Qt::ControlModifier)
    item = copyNickAction_;
  if (item == nullptr)
    return false;
  // Claim the key before any shortcut or the table's own copy can take it.
  event->accept();
  if (event->type() == QEvent::KeyPress) {
    enableTableMenuItems();
    if (item->isEnabled())
      item->trigger();
  }
  return true;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == rosterTable_) {
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
      if (handleTableKey(event))
        return true;
    }
  } else if (watched == rosterTable_->viewport()) {
    if (event->type() == QEvent::MouseButtonPress) {
      // A click beside the rows leaves none selected, as the list control does.
      const auto* mouse = static_cast<const QMouseEvent*>(event);
      if (!rosterTable_->indexAt(mouse->position().toPoint()).isValid())
        rosterTable_->clearSelection();
    } else if (event->type() == QEvent::MouseButtonDblClick &&
               static_cast<const QMouseEvent*>(event)->button() == Qt::LeftButton) {
      // A double click on a row copies its nick, as "Копировать ник" does.
      copySelectedNick();
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace quellar
