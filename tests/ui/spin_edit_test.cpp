#include "ui/spin_edit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <climits>
#include <optional>

#include "support/printers.h"
#include "ui/spin_rules.h"

namespace quellar {
namespace {

using test::PrintTo;  // names each case in gtest's output

struct ValueCase {
  QString text;
  int value;
};

void PrintTo(const ValueCase& c, std::ostream* out) {
  *out << testing::PrintToString(c.text) << " is " << c.value;
}

class SpinValue : public testing::TestWithParam<ValueCase> {};

TEST_P(SpinValue, isTheTextReadAsAnIntegerOrTheMinimum) {
  EXPECT_EQ(SpinRange{}.ValueOf(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    SpinRules, SpinValue,
    testing::Values(ValueCase{"1", 1}, ValueCase{"60", 60}, ValueCase{"  7", 7}, ValueCase{"+5", 5},
                    ValueCase{"-3", -3}, ValueCase{"0", 0}, ValueCase{"99999", 99999},
                    ValueCase{"$10", 16}, ValueCase{"0x1F", 31}, ValueCase{"", 1},
                    ValueCase{"abc", 1}, ValueCase{"5 ", 1}, ValueCase{"1,5", 1}, ValueCase{"-", 1},
                    ValueCase{QStringLiteral(u"٣"), 1}));

struct LeaveCase {
  QString text;
  std::optional<QString> corrected;
};

void PrintTo(const LeaveCase& c, std::ostream* out) {
  *out << testing::PrintToString(c.text) << " becomes " << testing::PrintToString(c.corrected);
}

class SpinLeave : public testing::TestWithParam<LeaveCase> {};

TEST_P(SpinLeave, correctsOnlyNumbersOutsideTheRange) {
  EXPECT_EQ(SpinRange{}.CorrectionOnLeave(GetParam().text), GetParam().corrected);
}

INSTANTIATE_TEST_SUITE_P(
    SpinRules, SpinLeave,
    testing::Values(LeaveCase{"0", "1"}, LeaveCase{"-5", "1"}, LeaveCase{"61", "60"},
                    LeaveCase{"99999", "60"}, LeaveCase{"-2147483648", "1"},
                    LeaveCase{"1", std::nullopt}, LeaveCase{"30", std::nullopt},
                    LeaveCase{"60", std::nullopt}, LeaveCase{"$10", std::nullopt},
                    LeaveCase{"abc", std::nullopt}, LeaveCase{"", std::nullopt},
                    LeaveCase{"1.5", std::nullopt}));

struct StepCase {
  QString text;
  int delta;
  QString stepped;
};

void PrintTo(const StepCase& c, std::ostream* out) {
  *out << testing::PrintToString(c.text) << " stepped by " << c.delta;
}

class SpinStep : public testing::TestWithParam<StepCase> {};

TEST_P(SpinStep, movesFromTheValueAndStaysInRange) {
  EXPECT_EQ(SpinRange{}.Stepped(GetParam().text, GetParam().delta), GetParam().stepped);
}

INSTANTIATE_TEST_SUITE_P(SpinRules, SpinStep,
                         testing::Values(StepCase{"1", +1, "2"}, StepCase{"2", -1, "1"},
                                         StepCase{"1", -1, "1"}, StepCase{"60", +1, "60"},
                                         StepCase{"abc", +1, "2"}, StepCase{"99", -1, "60"},
                                         StepCase{"-5", +1, "1"}, StepCase{"$A", +1, "11"},
                                         StepCase{"2147483647", +1, "60"},
                                         StepCase{"-2147483648", -1, "1"}));

struct CharacterCase {
  QString typed;
  QString separator;
  bool accepted;
};

void PrintTo(const CharacterCase& c, std::ostream* out) {
  *out << testing::PrintToString(c.typed) << " with separator "
       << testing::PrintToString(c.separator);
}

class SpinCharacter : public testing::TestWithParam<CharacterCase> {};

TEST_P(SpinCharacter, letsOnlyNumberCharactersAndEditingKeysThrough) {
  EXPECT_EQ(SpinAcceptsCharacter(GetParam().typed, GetParam().separator), GetParam().accepted);
}

INSTANTIATE_TEST_SUITE_P(
    SpinRules, SpinCharacter,
    testing::Values(CharacterCase{"0", ",", true}, CharacterCase{"9", ",", true},
                    CharacterCase{"+", ",", true}, CharacterCase{"-", ",", true},
                    CharacterCase{",", ",", true}, CharacterCase{".", ".", true},
                    CharacterCase{".", ",", false}, CharacterCase{"a", ",", false},
                    CharacterCase{" ", ",", false}, CharacterCase{"$", ",", false},
                    CharacterCase{QStringLiteral(u"я"), ",", false},
                    CharacterCase{QStringLiteral(u"٣"), ",", false},
                    CharacterCase{"\r", ",", false}, CharacterCase{"\n", ",", false},
                    CharacterCase{"\b", ",", true}, CharacterCase{"\x16", ",", true},
                    CharacterCase{"\x1b", ",", true}, CharacterCase{"\x7f", ",", true},
                    CharacterCase{"", ",", true}, CharacterCase{"12", ",", false}));

struct KeyCase {
  const char* name;
  QString typed;
  Qt::KeyboardModifiers modifiers;
  bool accepted;
};

class SpinKey : public testing::TestWithParam<KeyCase> {};

TEST_P(SpinKey, letsCommandChordsThroughAndJudgesTypedCharacters) {
  EXPECT_EQ(SpinAcceptsKey(GetParam().typed, GetParam().modifiers, u","), GetParam().accepted);
}

INSTANTIATE_TEST_SUITE_P(
    SpinRules, SpinKey,
    testing::Values(KeyCase{"digit", "5", Qt::NoModifier, true},
                    KeyCase{"letter", "v", Qt::NoModifier, false},
                    KeyCase{"shiftedLetter", "V", Qt::ShiftModifier, false},
                    KeyCase{"controlV", "v", Qt::ControlModifier, true},
                    KeyCase{"controlVAsControlCharacter", "\x16", Qt::ControlModifier, true},
                    KeyCase{"altLetter", "x", Qt::AltModifier, true},
                    KeyCase{"metaLetter", "v", Qt::MetaModifier, true},
                    KeyCase{"altGrLetter", "e", Qt::ControlModifier | Qt::AltModifier, false},
                    KeyCase{"altGrDigit", "2", Qt::ControlModifier | Qt::AltModifier, true},
                    KeyCase{"keypadDigit", "7", Qt::KeypadModifier, true},
                    KeyCase{"keypadEnter", "\r", Qt::KeypadModifier, false}),
    [](const testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

struct IntervalCase {
  int minutes;
  int baseMs;
  int interval;
};

void PrintTo(const IntervalCase& c, std::ostream* out) {
  *out << c.minutes << " minutes of " << c.baseMs << " ms";
}

class TimerInterval : public testing::TestWithParam<IntervalCase> {};

TEST_P(TimerInterval, isMinutesTimesBaseHeldWithinTheTimersRange) {
  EXPECT_EQ(TimerIntervalMs(GetParam().minutes, GetParam().baseMs), GetParam().interval);
}

INSTANTIATE_TEST_SUITE_P(
    SpinRules, TimerInterval,
    testing::Values(IntervalCase{1, 60000, 60000}, IntervalCase{5, 60000, 300000},
                    IntervalCase{60, 60000, 3600000}, IntervalCase{0, 60000, 0},
                    IntervalCase{-1, 60000, 0}, IntervalCase{INT_MIN, 60000, 0},
                    IntervalCase{35791, 60000, 2147460000}, IntervalCase{35792, 60000, INT_MAX},
                    IntervalCase{INT_MAX, 60000, INT_MAX}, IntervalCase{3, 20, 60}));

// Types text one character at a time, as a keyboard would.
void Type(QWidget* target, const QString& text) {
  for (QChar ch : text)
    QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

class SpinField : public testing::Test {
 protected:
  SpinField() : spin(QStringLiteral(",")) {
    spin.resize(41, 22);
    QObject::connect(&spin, &SpinEdit::changed, [this] { changes << spin.text(); });
  }

  QLineEdit* edit() { return spin.lineEdit(); }

  void Leave(Qt::FocusReason reason) {
    QFocusEvent out(QEvent::FocusOut, reason);
    QApplication::sendEvent(edit(), &out);
  }

  SpinEdit spin;
  QStringList changes;
};

TEST_F(SpinField, startsAtOne) {
  EXPECT_EQ(spin.text(), "1");
  EXPECT_EQ(spin.value(), 1);
  EXPECT_EQ(spin.focusProxy(), edit());
}

TEST_F(SpinField, typingDropsEveryCharacterButDigitsSignsAndTheSeparator) {
  edit()->clear();
  changes.clear();
  Type(edit(), QStringLiteral(u"1a2 b+я-,.3"));
  EXPECT_EQ(spin.text(), "12+-,3");
  EXPECT_EQ(changes, (QStringList{"1", "12", "12+", "12+-", "12+-,", "12+-,3"}));
}

TEST_F(SpinField, enterIsDropped) {
  bool finished = false;
  QObject::connect(edit(), &QLineEdit::returnPressed, [&] { finished = true; });
  QTest::keyClick(edit(), Qt::Key_Return);
  QTest::keyClick(edit(), Qt::Key_Enter);
  EXPECT_FALSE(finished);
  EXPECT_EQ(spin.text(), "1");
}

TEST_F(SpinField, editingKeysStillWork) {
  edit()->setText(QStringLiteral("123"));
  QTest::keyClick(edit(), Qt::Key_Backspace);
  EXPECT_EQ(spin.text(), "12");
  QTest::keyClick(edit(), Qt::Key_Home);
  QTest::keyClick(edit(), Qt::Key_Delete);
  EXPECT_EQ(spin.text(), "2");
}

TEST_F(SpinField, pastingInsertsAnyText) {
  edit()->clear();
  QGuiApplication::clipboard()->setText(QStringLiteral("ab 7"));
  QTest::keyClick(edit(), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(spin.text(), "ab 7");
  EXPECT_EQ(spin.value(), 1);
}

TEST_F(SpinField, upAndDownKeysStepWithinTheRange) {
  QTest::keyClick(edit(), Qt::Key_Up);
  EXPECT_EQ(spin.text(), "2");
  QTest::keyClick(edit(), Qt::Key_Down);
  QTest::keyClick(edit(), Qt::Key_Down);
  EXPECT_EQ(spin.text(), "1");
  edit()->setText(QStringLiteral("60"));
  QTest::keyClick(edit(), Qt::Key_Up);
  EXPECT_EQ(spin.text(), "60");
  edit()->setText(QStringLiteral("abc"));
  QTest::keyClick(edit(), Qt::Key_Up);
  EXPECT_EQ(spin.text(), "2");
}

TEST_F(SpinField, arrowButtonsStepAndRepeatAfter400ThenEvery100Milliseconds) {
  QTest::mouseClick(spin.upButton(), Qt::LeftButton);
  QTest::mouseClick(spin.upButton(), Qt::LeftButton);
  EXPECT_EQ(spin.text(), "3");
  QTest::mouseClick(spin.downButton(), Qt::LeftButton);
  EXPECT_EQ(spin.text(), "2");
  for (QToolButton* button : {spin.upButton(), spin.downButton()}) {
    EXPECT_TRUE(button->autoRepeat());
    EXPECT_EQ(button->autoRepeatDelay(), 400);
    EXPECT_EQ(button->autoRepeatInterval(), 100);
    EXPECT_EQ(button->focusPolicy(), Qt::NoFocus);
  }
}

TEST_F(SpinField, leavingClampsANumberOutsideTheRangeAfterReportingTheTypedText) {
  edit()->clear();
  changes.clear();
  Type(edit(), QStringLiteral("0"));
  Leave(Qt::TabFocusReason);
  EXPECT_EQ(spin.text(), "1");
  EXPECT_EQ(changes, (QStringList{"0", "1"}));
  edit()->setText(QStringLiteral("75"));
  Leave(Qt::MouseFocusReason);
  EXPECT_EQ(spin.text(), "60");
}

TEST_F(SpinField, leavingKeepsTextThatIsNoNumber) {
  edit()->setText(QStringLiteral("1,5"));
  Leave(Qt::TabFocusReason);
  EXPECT_EQ(spin.text(), "1,5");
  EXPECT_EQ(spin.value(), 1);
}

TEST_F(SpinField, theWindowLosingActivationCorrectsNothing) {
  edit()->setText(QStringLiteral("0"));
  Leave(Qt::ActiveWindowFocusReason);
  Leave(Qt::PopupFocusReason);
  EXPECT_EQ(spin.text(), "0");
}

}  // namespace
}  // namespace quellar
