#pragma once

#include <QAbstractTableModel>
#include <QLocale>
#include <QString>
#include <string>
#include <string_view>
#include <vector>

#include "roster/roster_parse.h"
#include "roster/roster_row.h"

namespace quellar {

// The roster table: the rows of the last successful fetch, in nick order after a
// fill and in the user's order after a sort, with the two status texts.
class RosterModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit RosterModel(QLocale locale = QLocale::system(), QObject* parent = nullptr);

  // Replaces every row in one reset, in nick order, and sets the status texts.
  void Fill(ParsedRoster roster);

  // The same for the service's answer as received, parsed straight into nick
  // order: the way a fetch fills the table.
  void FillFromAnswer(std::string_view body);

  const std::vector<RosterRow>& rows() const { return rows_; }

  // The locale the nick order collates by.
  const QLocale& locale() const { return locale_; }

  // Puts the rows in the given order: order[i] is the current index of the row
  // that becomes row i. Emits layout signals so views keep their selection.
  void Reorder(const std::vector<std::size_t>& order);

  // "Онлайн клана: <n>" and "Онлайн сервера: <server line>"; empty before the first fill.
  QString clanStatusText() const { return clanStatusText_; }
  QString serverStatusText() const { return serverStatusText_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  // Read-only: rows can be selected, never edited.
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 signals:
  void statusTextsChanged();

 private:
  bool HoldsCell(const QModelIndex& index) const;
  // Takes rows already in their final order, in one reset, with the status texts.
  void Replace(ParsedRoster roster);

  QLocale locale_;
  std::vector<RosterRow> rows_;
  QString clanStatusText_;
  QString serverStatusText_;
};

}  // namespace quellar
