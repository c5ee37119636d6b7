#include "roster/roster_model.h"

#include <stdexcept>
#include <utility>

#include "common/cp1251.h"
#include "roster/nick_order.h"

namespace quellar {
namespace {

constexpr int kColumnCount = 4;

const std::string& Field(const RosterRow& row, int column) {
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

// Asks for a row's memory ahead of its move.
void Prefetch(const RosterRow& row) {
#if defined(__GNUC__)
  const char* bytes = reinterpret_cast<const char*>(&row);
  __builtin_prefetch(bytes, 1);
  __builtin_prefetch(bytes + 64, 1);
  __builtin_prefetch(bytes + sizeof(RosterRow) - 1, 1);
#else
  (void)row;
#endif
}

// Puts rows into the given order in place: order[i] is the index of the row that
// goes to i. The permutation is first written out cycle by cycle (each position
// of a cycle takes the row of the next one); the moves then follow that list, so
// the scattered rows can be fetched a few moves ahead instead of one at a time.
void Arrange(std::vector<RosterRow>& rows, const std::vector<std::size_t>& order) {
  constexpr std::size_t kLookahead = 16;
  const std::size_t count = rows.size();
  std::vector<std::size_t> walk;
  walk.reserve(count);
  std::vector<std::size_t> cycleEnds;
  std::vector<bool> visited(count, false);
  for (std::size_t start = 0; start < count; ++start) {
    if (visited[start] || order[start] == start)
      continue;
    for (std::size_t at = start; !visited[at]; at = order[at]) {
      visited[at] = true;
      walk.push_back(at);
    }
    cycleEnds.push_back(walk.size());
  }

  std::size_t begin = 0;
  for (std::size_t end : cycleEnds) {
    RosterRow first = std::move(rows[walk[begin]]);
    for (std::size_t k = begin; k + 1 < end; ++k) {
      if (k + kLookahead < end)
        Prefetch(rows[walk[k + kLookahead]]);
      rows[walk[k]] = std::move(rows[walk[k + 1]]);
    }
    rows[walk[end - 1]] = std::move(first);
    begin = end;
  }
}

}  // namespace

RosterModel::RosterModel(QLocale locale, QObject* parent)
    : QAbstractTableModel(parent), locale_(std::move(locale)) {}

void RosterModel::Fill(ParsedRoster roster) {
  // Ordered before the reset, so a view sees the old rows or the new ones in their
  // final order and draws the table once.
  const std::vector<std::size_t> order = NickOrder(roster.rows, locale_);
  Arrange(roster.rows, order);
  Replace(std::move(roster));
}

void RosterModel::FillFromAnswer(std::string_view body) {
  Replace(ParseRosterInNickOrder(body, locale_));
}

void RosterModel::Replace(ParsedRoster roster) {
  beginResetModel();
  rows_ = std::move(roster.rows);
  endResetModel();

  clanStatusText_ = QStringLiteral("Онлайн клана: ") + QString::number(rows_.size());
  serverStatusText_ = QStringLiteral("Онлайн сервера: ") + FromCp1251(roster.serverLine);
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

  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  Arrange(rows_, order);
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
