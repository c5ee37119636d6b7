#include "roster/roster_model.h"

#include <gtest/gtest.h>

#include <QItemSelectionModel>
#include <QPersistentModelIndex>
#include <QSignalSpy>
#include <stdexcept>
#include <string>
#include <vector>

#include "roster/roster_row_printer.h"
#include "support/printers.h"

namespace quellar {
namespace {

const QLocale kRussian(QLocale::Russian, QLocale::Russia);

// A roster of three members that arrive out of nick order.
const std::string kThreeMembers =
    "1500\r\n"
    "Zed|||300|||12:00 01.02.2009|||Mage\r\n"
    "Ada|||100|||08:30 03.04.2010|||Smith\r\n"
    "Mira|||200|||23:59 05.06.2011|||Hunter\r\n";

QString Cell(const RosterModel& model, int row, int column) {
  return model.data(model.index(row, column)).toString();
}

TEST(RosterModel, hasNoRowsAndEmptyStatusTextsBeforeTheFirstFill) {
  const RosterModel model(kRussian);
  EXPECT_EQ(model.rowCount(), 0);
  EXPECT_EQ(model.clanStatusText(), QString());
  EXPECT_EQ(model.serverStatusText(), QString());
}

TEST(RosterModel, keepsTheLocaleItWasGiven) {
  const RosterModel model(kRussian);
  EXPECT_EQ(model.locale(), kRussian);
}

TEST(RosterModel, hasFourColumnsWithRussianHeaders) {
  const RosterModel model(kRussian);
  ASSERT_EQ(model.columnCount(), 4);
  EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral(u"Ник"));
  EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral(u"Время игры"));
  EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral(u"Регистрация"));
  EXPECT_EQ(model.headerData(3, Qt::Horizontal).toString(), QStringLiteral(u"Профессия"));
  EXPECT_FALSE(model.headerData(4, Qt::Horizontal).isValid());
  EXPECT_FALSE(model.headerData(0, Qt::Horizontal, Qt::EditRole).isValid());
}

TEST(RosterModel, fillResetsTheModelOnceAndAnnouncesTheStatusTextsOnce) {
  RosterModel model(kRussian);
  QSignalSpy aboutToReset(&model, &RosterModel::modelAboutToBeReset);
  QSignalSpy reset(&model, &RosterModel::modelReset);
  QSignalSpy inserted(&model, &RosterModel::rowsInserted);
  QSignalSpy layout(&model, &RosterModel::layoutChanged);
  QSignalSpy statusTexts(&model, &RosterModel::statusTextsChanged);
  model.Show(FillRoster(kThreeMembers, model.locale()));
  EXPECT_EQ(aboutToReset.count(), 1);
  EXPECT_EQ(reset.count(), 1);
  EXPECT_EQ(inserted.count(), 0);
  EXPECT_EQ(layout.count(), 0);
  EXPECT_EQ(statusTexts.count(), 1);
}

TEST(RosterModel, displaysEachColumnDecodedFromWindows1251) {
  RosterModel model(kRussian);
  // "Иван", "1500", "с 01.02.2009", "Маг", with a byte that maps to a control character.
  model.Show(FillRoster("0\r\n\xC8\xE2\xE0\xED|||1500\x98|||\xF1 01.02.2009|||\xCC\xE0\xE3\r\n",
                        model.locale()));
  ASSERT_EQ(model.rowCount(), 1);
  EXPECT_EQ(Cell(model, 0, 0), QStringLiteral(u"Иван"));
  EXPECT_EQ(Cell(model, 0, 1), QStringLiteral(u"1500\u0098"));
  EXPECT_EQ(Cell(model, 0, 2), QStringLiteral(u"с 01.02.2009"));
  EXPECT_EQ(Cell(model, 0, 3), QStringLiteral(u"Маг"));
}

TEST(RosterModel, givesNothingForOtherRolesAndCellsOutsideTheTable) {
  RosterModel model(kRussian);
  model.Show(FillRoster(kThreeMembers, model.locale()));
  EXPECT_FALSE(model.data(model.index(0, 0), Qt::EditRole).isValid());
  EXPECT_FALSE(model.data(model.index(0, 0), Qt::DecorationRole).isValid());
  EXPECT_FALSE(model.data(model.index(3, 0)).isValid());
  EXPECT_FALSE(model.data(model.index(0, 4)).isValid());
  EXPECT_FALSE(model.data(QModelIndex()).isValid());
  EXPECT_EQ(model.rowCount(model.index(0, 0)), 0);
  EXPECT_EQ(model.columnCount(model.index(0, 0)), 0);
}

TEST(RosterModel, cellsAreSelectableButNotEditable) {
  RosterModel model(kRussian);
  model.Show(FillRoster(kThreeMembers, model.locale()));
  const Qt::ItemFlags flags = model.flags(model.index(1, 2));
  EXPECT_TRUE(flags.testFlag(Qt::ItemIsSelectable));
  EXPECT_TRUE(flags.testFlag(Qt::ItemIsEnabled));
  EXPECT_FALSE(flags.testFlag(Qt::ItemIsEditable));
  EXPECT_EQ(model.flags(QModelIndex()), Qt::NoItemFlags);
}

TEST(RosterModel, ordersNicksByItsOwnLocale) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows orders Latin before Cyrillic in both locales";
#endif
  const std::string body = "0\r\nabc|||1|||r|||p\r\n\xE0\xE1\xE2|||2|||s|||q\r\n";
  RosterModel russian(kRussian);
  russian.Show(FillRoster(body, russian.locale()));
  RosterModel american(QLocale(QLocale::English, QLocale::UnitedStates));
  american.Show(FillRoster(body, american.locale()));
  EXPECT_EQ(Cell(russian, 0, 0), QStringLiteral(u"абв"));
  EXPECT_EQ(Cell(american, 0, 0), QStringLiteral(u"abc"));
}

TEST(RosterModel, reorderMovesRowsAndKeepsPersistentIndexesOnTheirRows) {
  RosterModel model(kRussian);
  model.Show(FillRoster(kThreeMembers, model.locale()));  // Ada, Mira, Zed
  const QPersistentModelIndex mira(model.index(1, 3));
  const QPersistentModelIndex zed(model.index(2, 0));
  QSignalSpy aboutToChange(&model, &RosterModel::layoutAboutToBeChanged);
  QSignalSpy changed(&model, &RosterModel::layoutChanged);
  QSignalSpy reset(&model, &RosterModel::modelReset);

  model.Reorder({2, 0, 1});  // Zed, Ada, Mira

  EXPECT_EQ(Cell(model, 0, 0), QStringLiteral(u"Zed"));
  EXPECT_EQ(Cell(model, 1, 0), QStringLiteral(u"Ada"));
  EXPECT_EQ(Cell(model, 2, 0), QStringLiteral(u"Mira"));
  EXPECT_EQ(mira.row(), 2);
  EXPECT_EQ(mira.column(), 3);
  EXPECT_EQ(mira.data().toString(), QStringLiteral(u"Hunter"));
  EXPECT_EQ(zed.row(), 0);
  EXPECT_EQ(aboutToChange.count(), 1);
  EXPECT_EQ(changed.count(), 1);
  EXPECT_EQ(reset.count(), 0);
}

TEST(RosterModel, reorderKeepsTheSelectionOnTheSelectedMember) {
  RosterModel model(kRussian);
  model.Show(FillRoster(kThreeMembers, model.locale()));  // Ada, Mira, Zed
  QItemSelectionModel selection(&model);
  selection.setCurrentIndex(model.index(0, 0),
                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);

  model.Reorder({2, 1, 0});  // Zed, Mira, Ada

  EXPECT_EQ(selection.currentIndex().row(), 2);
  EXPECT_TRUE(selection.isRowSelected(2, {}));
  EXPECT_FALSE(selection.isRowSelected(0, {}));
  EXPECT_EQ(selection.currentIndex().data().toString(), QStringLiteral(u"Ada"));
}

TEST(RosterModel, reorderRejectsAnOrderThatIsNotAPermutationAndChangesNothing) {
  RosterModel model(kRussian);
  model.Show(FillRoster(kThreeMembers, model.locale()));
  const RosterRows before = model.rows();
  QSignalSpy aboutToChange(&model, &RosterModel::layoutAboutToBeChanged);
  EXPECT_THROW(model.Reorder({0, 1}), std::invalid_argument);
  EXPECT_THROW(model.Reorder({0, 1, 1}), std::invalid_argument);
  EXPECT_THROW(model.Reorder({0, 1, 3}), std::invalid_argument);
  EXPECT_EQ(model.rows(), before);
  EXPECT_EQ(aboutToChange.count(), 0);
}

}  // namespace
}  // namespace quellar
