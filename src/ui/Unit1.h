#pragma once

#include <QMainWindow>
#include <QPointer>
#include <filesystem>
#include <functional>
#include <string>

#include "common/locale_context.h"
#include "common/proxy_settings.h"
#include "common/query_state.h"
#include "net/http_client.h"
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
class QMenuBar;
class QPushButton;
class QTimer;
class QTreeView;

namespace quellar {

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
  // The roster service's host, with ":port" when not 80.
  std::string rosterHost{kRosterHost};
  LocaleContext locale;
  std::reference_wrapper<ClanLists> clans{TheClanLists()};
  // Milliseconds of one period minute, and the timer's interval at start-up.
  int timerBaseMs = 60000;
};

// The main window: a clan and a server to ask for, the roster table with its
// status panels, auto-refresh, and the menus that open the two dialogs.
class TMain : public QMainWindow {
  Q_OBJECT

 public:
  explicit TMain(MainWindowContext context = {}, QWidget* parent = nullptr);
  ~TMain() override;

  // The settings and about dialogs the menu opens modally (either may be null).
  void AttachDialogs(QDialog* param, QDialog* about);

  const QueryState& queryState() const { return queryState_; }
  const ProxySettings& proxySettings() const { return proxySettings_; }
  RosterModel& roster() const { return *roster_; }
  std::filesystem::path settingsFile() const { return settingsFile_; }

  // The controls, each also reachable by an object name equal to its member name.
  StatusPanels* StatusBar1;
  HttpClient IdHTTP1;
  QMenuBar* MainMenu1;
  QMenu* cv1;
  QAction* N1;
  QAction* N2;
  QAction* N3;
  QGroupBox* GroupBox1;
  QComboBox* ComboBox2;
  QLabel* Label1;
  QComboBox* ComboBox1;
  QLabel* Label2;
  QCheckBox* CheckBox1;
  QPushButton* Button1;
  QGroupBox* GroupBox2;
  QCheckBox* CheckBox2;
  SpinEdit* SpinEdit1;
  QLabel* Label3;
  QLabel* Label4;
  QTreeView* ListView1;
  QMenu* N4;
  QAction* N5;
  QAction* N6;
  QTimer* Timer1;
  QMenu* c1;
  QAction* x31;
  QAction* x3001;
  QMenu* PopupMenu1;
  QAction* N7;
  QAction* N8;
  QMenu* N9;
  QAction* N10;
  QAction* N11;
  QAction* N12;
  QAction* N13;
  QAction* N14;
  QAction* N15;

  // The event handlers; each runs its body through the handler guard.
  void FormCreate();
  void Button1Click();
  void N14Click();
  void Timer1Timer();
  void ComboBox1Change();
  void x31Click();
  void x3001Click();
  void CheckBox2Click();
  void N6Click();
  void SpinEdit1Change();
  void ListView1ColumnClick(int column);
  void N10Click();
  void N11Click();
  void N12Click();
  void N13Click();
  void PopupMenu1Popup();
  void N7Click();
  void ListView1DblClick();
  void N1Click();
  void N5Click();
  void N2Click();

  // The clan combo box's items become the clan list of the chosen server; its
  // typed text stays.
  void FillClanCombo();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateMenus();
  void CreateControls();
  void CreateTable();
  void DescribeControls();
  void Connect();
  void LoadRoster(const std::string& clan);
  void SortRoster(int column);
  void CopySelectedNick();
  bool HandleTableKey(QEvent* event);
  void ShowStatusTexts();

  MainWindowContext context_;
  std::filesystem::path settingsFile_;
  QueryState queryState_;
  ProxySettings proxySettings_;
  RosterModel* roster_;
  QActionGroup* sortGroup_ = nullptr;
  int timerInterval_ = 0;
  QPointer<QDialog> param_;
  QPointer<QDialog> about_;
};

}  // namespace quellar
