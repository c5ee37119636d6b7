#pragma once

#include <QDateTime>
#include <QMainWindow>
#include <QPointer>
#include <QTimeZone>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "common/locale_context.h"
#include "common/proxy_settings.h"
#include "common/server.h"
#include "roster/fetch_step.h"
#include "roster_host.h"
#include "settings/clan_lists.h"

class QAction;
class QActionGroup;
class QCheckBox;
class QComboBox;
class QDialog;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;
class QTreeView;

namespace quellar {

class DesktopNotifier;
class FetchRunner;
class HistoryFile;
class HistoryWindow;
class RosterModel;
class SpinEdit;
class StatusPanels;

// What the main window depends on besides its widgets; tests give their own.
struct MainWindowContext {
  // The executable's directory, where "options.ini" is looked for first; empty
  // means the running executable's.
  std::filesystem::path settingsDirectory;
  // Where "options.ini" goes when the executable's directory cannot take it;
  // empty means the user's configuration folder.
  std::filesystem::path userConfigDirectory;
  // Where "history.sqlite" goes when it cannot lie beside "options.ini"; empty
  // means the user's data folder.
  std::filesystem::path userDataDirectory;
  // The time a fetch is recorded at, and the zone the history's days and hours
  // are counted in.
  std::function<QDateTime()> now = [] { return QDateTime::currentDateTimeUtc(); };
  QTimeZone timeZone = QTimeZone::systemTimeZone();
  // The roster service's host, with ":port" when not 80.
  std::string rosterHost{kRosterHost};
  LocaleContext locale;
  std::reference_wrapper<ClanLists> clans{TheClanLists()};
  // Milliseconds of one period minute, and the timer's interval at start-up.
  int timerBaseMs = 60000;
  // Shows the notices of who came online and who left; it must outlive the
  // window. Null means the platform's, made when the notices are first turned on.
  DesktopNotifier* notifier = nullptr;
};

// The main window: a clan and a server to ask for, the roster table with its
// status panels, auto-refresh, and the menus that open the two dialogs. Every
// handler runs its body through the handler guard.
class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(MainWindowContext context = {}, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The settings and about dialogs the menu opens modally (either may be null).
  void attachDialogs(QDialog* settingsDialog, QDialog* aboutDialog);

  std::filesystem::path settingsFile() const { return settingsFile_; }
  std::filesystem::path historyFile() const { return historyFile_; }

  // A fetch has been asked for whose outcome has not been shown yet.
  bool fetching() const;

 public slots:
  // Loads the clan lists and the proxy from the settings file again, at creation
  // and after the settings dialog has saved; the typed clan stays.
  void reloadSettings();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private slots:
  // "Получить": the selectors' clan and server become the current query, which
  // is then fetched.
  void fetch();
  // The current query again, whatever the selectors show now.
  void refresh();
  // The current query again while auto-refresh is on, unless a fetch is running.
  void refreshOnTimer();
  // Selects a server in the combo box and shows its clan list.
  void chooseServer(int server);
  // The check box holds the auto-refresh switch; the menu item sets it.
  void setAutoRefresh(bool on);
  // The period fields and the menu's mark follow the check box.
  void showAutoRefresh(bool on);
  void setPeriod();
  // The menu item turns the notices of who came and who left on or off, and the
  // settings file keeps its state.
  void switchNotices(bool on);
  // The same for the recording of the history; off lets go of the file.
  void switchHistory(bool on);
  // "История…": the history window, for the query of the last successful fetch.
  void openHistory();
  // A click on a notice.
  void bringToFront();
  void sortByColumn(int column);
  // A "Сортировать по" item: marks itself, then sorts by the column it names.
  void sortByMenuItem(QAction* item);
  // Before the table's context menu opens, or its shortcut is carried out.
  void enableTableMenuItems();
  void copySelectedNick();
  void openSettings();
  void openAbout();

 private:
  void createMenus();
  void createControls();
  void createTable();
  void describeControls();
  void connectSignals();
  // The clan combo box's items become the clan list of the chosen server; its
  // typed text stays.
  void fillClanCombo();
  // Starts fetching the current clan on the current server, abandoning a fetch
  // that is running; the window goes on while it runs.
  void startFetch();
  // The latest fetch has ended: its rows fill the table, or its failure is shown.
  void showFetchOutcome(FetchOutcome outcome);
  void applyNoticeSwitch(bool on);
  // Writes a menu's switch with save; when that fails, the item's mark goes back.
  void saveSwitch(QAction* item, void (*save)(const std::filesystem::path&, bool), bool on);
  // While the switch is on, a request records its fetch, on the fetch's thread,
  // timed when it was asked.
  void askToRecord(FetchRequest& request);
  // How the recording of a successful fetch went. A failure is shown once, then
  // kept quiet until a recording succeeds again: the roster comes first.
  void tellRecording(const FetchOutcome& outcome);
  // After a successful fetch while the notices are on: one notice of who came and
  // who left since the previous fetch of the same query.
  void noticeChanges(const FetchedRoster& fetched);
  void sortRoster(int column);
  bool handleTableKey(QEvent* event);
  void showStatusTexts();

  MainWindowContext context_;
  std::filesystem::path settingsFile_;
  std::filesystem::path historyFile_;
  // What "Получить" last asked for, which the refresh command and the timer ask
  // for again; the letter case is the check box's at each fetch.
  std::string currentClan_;
  Server currentServer_ = Server::kX3;
  int sortDirection_ = +1;
  ProxySettings proxySettings_;
  RosterModel* roster_;
  FetchRunner* fetchRunner_;
  int timerInterval_ = 0;
  QPointer<QDialog> settingsDialog_;
  QPointer<QDialog> aboutDialog_;
  QPointer<DesktopNotifier> notifier_;
  // The last successful fetch while the notices are on, which the next is
  // compared with.
  std::shared_ptr<const SeenRoster> lastSeen_;
  // Opened at the first recording, not before; shared with the fetch that
  // records into it, which the runner lets record one at a time.
  std::shared_ptr<HistoryFile> history_;
  bool recordingFailed_ = false;
  // The query of the last successful fetch, which the history window opens on.
  std::optional<RosterQuery> lastFetched_;
  QPointer<HistoryWindow> historyWindow_;

  QMenu* optionsMenu_ = nullptr;
  QAction* autoRefreshAction_ = nullptr;
  QAction* notifyAction_ = nullptr;
  QAction* historyAction_ = nullptr;
  QAction* historyWindowAction_ = nullptr;
  QMenu* serverMenu_ = nullptr;
  QAction* x3Action_ = nullptr;
  QAction* x300Action_ = nullptr;
  QAction* settingsAction_ = nullptr;
  QAction* exitAction_ = nullptr;
  QMenu* helpMenu_ = nullptr;
  QAction* aboutAction_ = nullptr;

  QMenu* tableMenu_ = nullptr;
  QAction* refreshAction_ = nullptr;
  QAction* copyNickAction_ = nullptr;
  QMenu* sortMenu_ = nullptr;
  QActionGroup* sortGroup_ = nullptr;

  QGroupBox* queryBox_ = nullptr;
  QLabel* clanLabel_ = nullptr;
  QComboBox* clanCombo_ = nullptr;
  QLabel* serverLabel_ = nullptr;
  QComboBox* serverCombo_ = nullptr;
  QCheckBox* caseSensitiveCheck_ = nullptr;
  QPushButton* fetchButton_ = nullptr;

  QGroupBox* autoRefreshBox_ = nullptr;
  QCheckBox* autoRefreshCheck_ = nullptr;
  QLabel* periodLabel_ = nullptr;
  SpinEdit* periodSpin_ = nullptr;
  QLabel* minutesLabel_ = nullptr;

  QTreeView* rosterTable_ = nullptr;
  StatusPanels* statusPanels_ = nullptr;
  QTimer* refreshTimer_ = nullptr;
};

}  // namespace quellar
