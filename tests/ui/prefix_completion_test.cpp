#include "ui/prefix_completion.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "support/printers.h"

namespace quellar {
namespace {

struct MatchCase {
  QString prefix;
  int index;
};

void PrintTo(const MatchCase& c, std::ostream* out) {
  *out << testing::PrintToString(c.prefix) << " matches item " << c.index;
}

class FirstMatch : public testing::TestWithParam<MatchCase> {};

TEST_P(FirstMatch, isTheFirstItemInListOrderThatBeginsWithThePrefixIgnoringCase) {
  const QStringList items = {
      "alpine", "Alpha", "Beta", QStringLiteral(u"Клинок"), QStringLiteral(u"клан"), "ALP"};
  EXPECT_EQ(FirstItemStartingWith(items, GetParam().prefix), GetParam().index);
}

INSTANTIATE_TEST_SUITE_P(PrefixCompletion, FirstMatch,
                         testing::Values(MatchCase{"a", 0}, MatchCase{"AL", 0},
                                         MatchCase{"alph", 1}, MatchCase{"ALPHA", 1},
                                         MatchCase{"b", 2}, MatchCase{QStringLiteral(u"КЛ"), 3},
                                         MatchCase{QStringLiteral(u"кла"), 4}, MatchCase{"x", -1},
                                         MatchCase{"alphas", -1}, MatchCase{"", -1}));

// Types text one character at a time into the focused combo box, as a keyboard would.
void Type(QComboBox& combo, const QString& text) {
  for (QChar ch : text)
    QTest::sendKeyEvent(QTest::Click, &combo, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

class ClanCombo : public testing::Test {
 protected:
  ClanCombo() {
    combo.setEditable(true);
    combo.setInsertPolicy(QComboBox::NoInsert);
    combo.addItems({"Brannock", "brave", QStringLiteral(u"Ёжики"), "Bravo"});
    combo.setCurrentIndex(-1);
    new PrefixCompletion(&combo);
  }

  QLineEdit* edit() { return combo.lineEdit(); }

  QComboBox combo;
};

TEST_F(ClanCombo, hasNoCompleterOfItsOwn) {
  EXPECT_EQ(combo.completer(), nullptr);
  EXPECT_EQ(edit()->completer(), nullptr);
}

TEST_F(ClanCombo, typingCompletesFromTheFirstMatchingItemWithTheRestSelected) {
  Type(combo, "b");
  EXPECT_EQ(combo.currentText(), "brannock");
  EXPECT_EQ(edit()->selectedText(), "rannock");
  Type(combo, "rav");
  EXPECT_EQ(combo.currentText(), "brave");
  EXPECT_EQ(edit()->selectedText(), "e");
  Type(combo, "o");
  EXPECT_EQ(combo.currentText(), "bravo");
  EXPECT_FALSE(edit()->hasSelectedText());
}

TEST_F(ClanCombo, completionIgnoresLetterCaseOfCyrillicToo) {
  Type(combo, QStringLiteral(u"ёЖ"));
  EXPECT_EQ(combo.currentText(), QStringLiteral(u"ёЖики"));
  EXPECT_EQ(edit()->selectedText(), QStringLiteral(u"ики"));
}

TEST_F(ClanCombo, textWithoutMatchStaysAsTyped) {
  Type(combo, "bx");
  EXPECT_EQ(combo.currentText(), "bx");
  EXPECT_FALSE(edit()->hasSelectedText());
}

TEST_F(ClanCombo, deletingCompletesNothing) {
  Type(combo, "bra");
  ASSERT_EQ(combo.currentText(), "brannock");
  QTest::keyClick(&combo, Qt::Key_Backspace);
  EXPECT_EQ(combo.currentText(), "bra");
  QTest::keyClick(&combo, Qt::Key_Backspace);
  EXPECT_EQ(combo.currentText(), "br");
  EXPECT_FALSE(edit()->hasSelectedText());
}

TEST_F(ClanCombo, typingInTheMiddleCompletesNothing) {
  edit()->setText(QStringLiteral("bnnock"));
  edit()->setCursorPosition(1);
  Type(combo, "r");
  EXPECT_EQ(combo.currentText(), "brnnock");
}

TEST_F(ClanCombo, keysSentToTheEditItselfCompleteToo) {
  QTest::sendKeyEvent(QTest::Click, edit(), Qt::Key_unknown, QStringLiteral("B"), Qt::NoModifier);
  EXPECT_EQ(combo.currentText(), "Brannock");
  EXPECT_EQ(edit()->selectedText(), "rannock");
}

}  // namespace
}  // namespace quellar
