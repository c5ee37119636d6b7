#pragma once

#include <QDialog>
#include <filesystem>

#include "settings/clan_lists.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace quellar {

// The settings dialog: per-server clan lists and the HTTP proxy. It edits the
// shared clan lists in place; "ОК" writes the settings file. Every handler runs
// its body through the handler guard.
class SettingsDialog : public QDialog {
  Q_OBJECT

 public:
  SettingsDialog(std::filesystem::path settingsFile, ClanLists& clans, QWidget* parent = nullptr);

 signals:
  // After "ОК" has written the file and closed the dialog: the main window reloads.
  void settingsSaved();

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private slots:
  // Each opening shows the settings file as it is now.
  void reload();
  void showServerClans();
  void addClan();
  void deleteClan();
  void enableProxyFields();
  void save();

 private:
  void createControls();
  void describeControls();
  void loadButtonImages();
  // The list box becomes a copy of the clan list of the chosen server, with no
  // name selected.
  void fillClanList();
  std::vector<std::string>& selectedServerClans();

  std::filesystem::path settingsFile_;
  ClanLists& clans_;
  bool buttonImagesLoaded_ = false;

  QGroupBox* proxyBox_ = nullptr;
  QGroupBox* clansBox_ = nullptr;
  QListWidget* clanList_ = nullptr;
  QLineEdit* clanEdit_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
  QPushButton* okButton_ = nullptr;
  QCheckBox* useProxyCheck_ = nullptr;
  QLabel* proxyHostLabel_ = nullptr;
  QLineEdit* proxyHostEdit_ = nullptr;
  QLineEdit* proxyPortEdit_ = nullptr;
  QLabel* proxyPortLabel_ = nullptr;
  QLabel* colonLabel_ = nullptr;
  QComboBox* serverCombo_ = nullptr;
  QPushButton* addButton_ = nullptr;
  QPushButton* deleteButton_ = nullptr;
};

}  // namespace quellar
