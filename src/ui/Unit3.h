#pragma once

#include <QDialog>
#include <filesystem>

#include "settings/clan_lists.h"

namespace quellar {

// The settings dialog: per-server clan lists and the HTTP proxy. It edits the
// shared clan lists in place; "ОК" writes the settings file.
class Tparam : public QDialog {
  Q_OBJECT

 public:
  Tparam(std::filesystem::path settingsFile, ClanLists& clans, QWidget* parent = nullptr);

 signals:
  // After "ОК" has written the file and closed the dialog: the main window reloads.
  void settingsSaved();
};

}  // namespace quellar
