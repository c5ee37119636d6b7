#include "roster/roster_model.h"

#include <stdexcept>
#include <string_view>
#include <utility>

#include "common/cp1251.h"
#include "roster/nick_order.h"
#include "roster/roster_parse.h"

namespace quellar {
namespace {

constexpr int kColumnCount = 4;

std::string_view Field(const RosterRowView& row, int column) {
  switch (column) {
    case 0:
      return row.nick;
    case 1:
      return row.playTime;
    case 2:
      return row.registration;
    default:
      return row.profession;
  }
}

}  // namespace

RosterAnswer FillRoster(std::string body, const QLocale& locale) {
  RosterAnswer answer = ParseAnswer(std::move(body));
  answer.rows.Arrange(NickOrder(answer.rows, locale));
  return answer;
}

RosterModel::RosterModel(QLocale locale, QObject* parent)
    : QAbstractTableModel(parent), locale_(std::move(locale)) {}

void RosterModel::Show(RosterAnswer filled) {
  // The texts made before the reset: a view sees the old rows or the new ones in
  // their final order and draws the table once, and a failure on the way leaves
  // the old table whole.
  QString clanStatusText = QStringLiteral("Онлайн клана: ") + QString::number(filled.rows.size());
  QString serverStatusText = QStringLiteral("Онлайн сервера: ") + FromCp1251(filled.serverLine);

  beginResetModel();
  rows_ = std::move(filled.rows);
  endResetModel();

  clanStatusText_ = std::move(clanStatusText);
  serverStatusText_ = std::move(serverStatusText);
  emit statusTextsChanged();
}

void RosterModel::Reorder(const std::vector<std::size_t>& order) {
  const std::size_t count = rows_.size();
  if (order.size() != count)
    throw std::invalid_argument("RosterModel::Reorder: order does not cover every row");
  // Where each current row goes.
  std::vector<int> newRow(count, -1);
  for (std::size_t i = 0; i < count; ++i) {
    if (order[i] >= count || newRow[order[i]] != -1)
      throw std::invalid_argument("RosterModel::Reorder: order is not a permutation");
    newRow[order[i]] = static_cast<int>(i);
  }

  std::vector<std::size_t> arranged = order;
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  rows_.Arrange(std::move(arranged));
  const QModelIndexList from = persistentIndexList();
  QModelIndexList to;
  to.reserve(from.size());
  for (const QModelIndex& index : from)
    to.append(index.isValid()
                  ? createIndex(newRow[static_cast<std::size_t>(index.row())], index.column())
                  : QModelIndex());
  changePersistentIndexList(from, to);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

bool RosterModel::HoldsCell(const QModelIndex& index) const {
  return index.isValid() && index.model() == this && index.row() >= 0 &&
         static_cast<std::size_t>(index.row()) < rows_.size() && index.column() >= 0 &&
         index.column() < kColumnCount;
}

int RosterModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int RosterModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant RosterModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !HoldsCell(index))
    return {};
  return FromCp1251(Field(rows_[static_cast<std::size_t>(index.row())], index.column()));
}

QVariant RosterModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
    return QAbstractTableModel::headerData(section, orientation, role);
  switch (section) {
    case 0:
      return QStringLiteral("Ник");
    case 1:
      return QStringLiteral("Время игры");
    case 2:
      return QStringLiteral("Регистрация");
    case 3:
      return QStringLiteral("Профессия");
    default:
      return {};
  }
}

Qt::ItemFlags RosterModel::flags(const QModelIndex& index) const {
  if (!HoldsCell(index))
    return Qt::NoItemFlags;
  return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

}  // namespace quellar
