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
// shared clan lists in place; "ОК" writes the settings file.
class Tparam : public QDialog {
  Q_OBJECT

 public:
  Tparam(std::filesystem::path settingsFile, ClanLists& clans, QWidget* parent = nullptr);

  // The controls, each also reachable by an object name equal to its member name.
  QGroupBox* GroupBox1;
  QGroupBox* GroupBox2;
  QListWidget* ListBox1;
  QLineEdit* Edit1;
  QPushButton* Cancel;
  QPushButton* Button4;
  QCheckBox* CheckBox1;
  QLabel* Label1;
  QLineEdit* Proxy;
  QLineEdit* Port;
  QLabel* Label2;
  QLabel* Label3;
  QComboBox* ComboBox1;
  QPushButton* Button1;
  QPushButton* Button2;

  // The event handlers; each runs its body through the handler guard.
  void FormShow();
  void ComboBox1Change();
  void Button1Click();
  void Button2Click();
  void CheckBox1Click();
  void Button4Click();
  void CancelClick();

  // The list box becomes a copy of the clan list of the server chosen in
  // ComboBox1, with no name selected.
  void FillClanListBox();

 signals:
  // After "ОК" has written the file and closed the dialog: the main window reloads.
  void settingsSaved();

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void CreateControls();
  void DescribeControls();
  void LoadButtonImages();
  std::vector<std::string>& SelectedServerClans();

  std::filesystem::path settingsFile_;
  ClanLists& clans_;
  bool buttonImagesLoaded_ = false;
};

}  // namespace quellar
