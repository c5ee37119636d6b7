#pragma once

#include <QDateTime>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "settings/clan_lists.h"
#include "support/scripted_http_server.h"
#include "ui/desktop_notifier.h"
#include "ui/error_box.h"
#include "ui/main_window.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class QTimer;
class QTreeView;

namespace quellar {
class RosterModel;
class SpinEdit;
class StatusPanels;
}  // namespace quellar

namespace quellar::test {

// "Ru", a fixed day: what the window's collation, upper-casing and dates use.
LocaleContext TestLocale();

// The zone the windows count the history's days and hours in: UTC+3 all year.
inline const QTimeZone kHistoryZone{3 * 3600};

// A 200 answer carrying body with its length.
std::string OkAnswer(const std::string& body);

// "[Proxy]" entries that send every request through 127.0.0.1:port.
std::string ProxySection(std::uint16_t port);

// The request line (without CR LF) of a recorded request.
std::string RequestLine(const std::string& request);

// Collects what the error box would show, for as long as it lives.
class ShownErrors {
 public:
  ShownErrors();
  ~ShownErrors();
  ShownErrors(const ShownErrors&) = delete;
  ShownErrors& operator=(const ShownErrors&) = delete;

  QStringList texts;

 private:
  ErrorBoxPresenter previous_;
};

// The main window's controls as a test reaches them: each found under its
// object name; a missing one fails the test.
struct MainWindowControls {
  QMenuBar* menuBar = nullptr;
  QMenu* optionsMenu = nullptr;
  QAction* autoRefreshAction = nullptr;
  QAction* notifyAction = nullptr;
  QAction* historyAction = nullptr;
  QAction* historyWindowAction = nullptr;
  QMenu* serverMenu = nullptr;
  QAction* x3Action = nullptr;
  QAction* x300Action = nullptr;
  QAction* settingsAction = nullptr;
  QAction* exitAction = nullptr;
  QMenu* helpMenu = nullptr;
  QAction* aboutAction = nullptr;
  QMenu* tableMenu = nullptr;
  QAction* refreshAction = nullptr;
  QAction* copyNickAction = nullptr;
  QMenu* sortMenu = nullptr;
  QAction* sortByNickAction = nullptr;
  QAction* sortByPlayTimeAction = nullptr;
  QAction* sortByRegistrationAction = nullptr;
  QAction* sortByProfessionAction = nullptr;
  QGroupBox* queryBox = nullptr;
  QLabel* clanLabel = nullptr;
  QComboBox* clanCombo = nullptr;
  QLabel* serverLabel = nullptr;
  QComboBox* serverCombo = nullptr;
  QCheckBox* caseSensitiveCheck = nullptr;
  QPushButton* fetchButton = nullptr;
  QGroupBox* autoRefreshBox = nullptr;
  QCheckBox* autoRefreshCheck = nullptr;
  QLabel* periodLabel = nullptr;
  SpinEdit* periodSpin = nullptr;
  QLabel* minutesLabel = nullptr;
  QTreeView* rosterTable = nullptr;
  StatusPanels* statusPanels = nullptr;
  QTimer* refreshTimer = nullptr;
  // The table's model.
  RosterModel* roster = nullptr;
};

MainWindowControls FindControls(const MainWindow& main);

// Waits until no window has work running away from it, a main window's fetch or
// a history window's read, whose outcome it then shows.
void WaitForWindows();

// Fetches clan as the user does: typed into the clan combo, then "Получить",
// and waits for the fetch and a history window's reading of it to end.
void Fetch(const MainWindowControls& ui, const QString& clan);

// Opens the table's context menu as a right click on the table does, which
// enables or disables its items for what the window holds now, then closes it.
void OpenTableMenu(const MainWindowControls& ui);

// A main window over its own settings directory, clan lists and loopback server.
// The settings file holds settingsText (Windows-1251) followed by a proxy section
// leading to the server, unless withProxy is false; no file is written when
// writeFile is false. The roster host is "vorlane.example", reached only through
// the proxy, unless serverAsRosterHost makes it the server itself: a fetch then
// reaches the server without the proxy too, and its request line shows which way.
struct HarnessOptions {
  std::string settingsText;
  bool withProxy = true;
  bool writeFile = true;
  int timerBaseMs = 60000;
  bool serverAsRosterHost = false;
};

// Keeps the notices the window shows, each as its summary and body on lines of
// their own, and whether the notices are on.
class RecordingNotifier : public DesktopNotifier {
 public:
  void setEnabled(bool on) override { enabled = on; }
  void show(const QString& summary, const QString& body) override {
    shown << summary + QLatin1Char('\n') + body;
  }

  bool enabled = false;
  QStringList shown;
};

// The usual set-ups.
HarnessOptions WithSettings(std::string settingsText);
HarnessOptions WithoutSettingsFile();
HarnessOptions WithTimerBase(int timerBaseMs, std::string settingsText = {});

class MainWindowHarness {
 public:
  explicit MainWindowHarness(HarnessOptions options = {});

  MainWindow& main() { return *main_; }
  // Rewrites the settings file with text, as the settings dialog would.
  void WriteSettings(const std::string& text);
  // The bytes of the settings file.
  std::string ReadSettings() const;
  // The request lines the server has received so far.
  std::vector<std::string> RequestLines() const;

  ScriptedHttpServer server;
  ShownErrors errors;
  QTemporaryDir directory;
  ClanLists clans;
  RecordingNotifier notifier;
  // The time a fetch is recorded at.
  QDateTime now{QDate(2024, 5, 1), QTime(12, 0), QTimeZone::utc()};
  MainWindowControls ui;

 private:
  std::unique_ptr<MainWindow> main_;
};

}  // namespace quellar::test
