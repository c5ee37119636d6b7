#pragma once

#include <QAbstractTableModel>
#include <QLocale>
#include <QString>
#include <string>
#include <vector>

#include "roster/roster_parse.h"
#include "roster/roster_row.h"
#include "roster/roster_rows.h"

namespace quellar {

// The service's answer as received, split into its server line and rows, the rows
// in nick order: all the work of filling the table that can be done away from it.
// The rows are held in the answer itself.
RosterAnswer FillRoster(std::string body, const QLocale& locale);

// The roster table: the rows of the last successful fetch, in nick order after a
// fill and in the user's order after a sort, with the two status texts.
class RosterModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit RosterModel(QLocale locale = QLocale::system(), QObject* parent = nullptr);

  // Replaces every row with those of a filled answer, in one reset, and sets the
  // status texts: the way a fetch fills the table.
  void Show(RosterAnswer filled);

  const RosterRows& rows() const { return rows_; }

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

  QLocale locale_;
  RosterRows rows_;
  QString clanStatusText_;
  QString serverStatusText_;
};

}  // namespace quellar
