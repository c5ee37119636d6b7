#pragma once

#include <QString>
#include <QStringView>
#include <Qt>
#include <cstdint>
#include <optional>

namespace quellar {

// The rules of a numeric spin field that holds whole numbers from min to max.
struct SpinRange {
  int min = 1;
  int max = 60;

  // The field's value: its text read as an integer, or min when it does not read.
  int ValueOf(QStringView text) const;

  // value held within min and max.
  int Clamp(std::int64_t value) const;

  // The text the field takes when it loses the focus: the nearer bound for a
  // number outside the range; nothing for an in-range number or a text that does
  // not read as one (that text stays as typed).
  std::optional<QString> CorrectionOnLeave(QStringView text) const;

  // The text after an arrow step of delta from the text's value, held in range.
  QString Stepped(QStringView text, int delta) const;
};

// Whether a typed character may enter the field: digits, "+", "-", the locale's
// decimal separator, and control characters other than Enter (editing keys).
bool SpinAcceptsCharacter(QStringView typed, QStringView decimalSeparator);

// Whether a key press may reach the field: a chord with Ctrl, Alt or Meta is a
// command (paste, undo, select all) and always may; Ctrl with Alt together types
// a character (AltGr), which SpinAcceptsCharacter judges like any other.
bool SpinAcceptsKey(QStringView typed, Qt::KeyboardModifiers modifiers,
                    QStringView decimalSeparator);

// The timer interval for a period of minutes with a base of baseMs per minute:
// 0 for a period below 1 (no ticks), at most INT32_MAX milliseconds.
int TimerIntervalMs(int minutes, int baseMs);

}  // namespace quellar
