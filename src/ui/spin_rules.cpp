#include "ui/spin_rules.h"

#include <algorithm>
#include <limits>
#include <string>

#include "common/cp1251.h"
#include "common/int_conversion.h"

namespace quellar {
namespace {

std::optional<std::int32_t> ReadInteger(QStringView text) {
  return TryStrToInt(ToCp1251(text));
}

}  // namespace

int SpinRange::ValueOf(QStringView text) const {
  return ReadInteger(text).value_or(min);
}

int SpinRange::Clamp(std::int64_t value) const {
  return static_cast<int>(std::clamp<std::int64_t>(value, min, max));
}

std::optional<QString> SpinRange::CorrectionOnLeave(QStringView text) const {
  const std::optional<std::int32_t> value = ReadInteger(text);
  if (!value || (*value >= min && *value <= max))
    return std::nullopt;
  return QString::number(Clamp(*value));
}

QString SpinRange::Stepped(QStringView text, int delta) const {
  return QString::number(Clamp(std::int64_t{ValueOf(text)} + delta));
}

bool SpinAcceptsCharacter(QStringView typed, QStringView decimalSeparator) {
  if (typed.isEmpty())
    return true;  // keys without text: arrows, Home, End and the like
  if (typed == decimalSeparator)
    return true;
  if (typed.size() != 1)
    return false;
  const char16_t c = typed.front().unicode();
  if (c == u'\r' || c == u'\n')
    return false;  // Enter
  if (c < 0x20 || c == 0x7F)
    return true;  // Backspace, Delete, Ctrl+V and the other editing keys
  return (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' ||
         (decimalSeparator.size() == 1 && c == decimalSeparator.front().unicode());
}

bool SpinAcceptsKey(QStringView typed, Qt::KeyboardModifiers modifiers,
                    QStringView decimalSeparator) {
  const bool control = modifiers.testFlag(Qt::ControlModifier);
  const bool alt = modifiers.testFlag(Qt::AltModifier);
  if (modifiers.testFlag(Qt::MetaModifier) || control != alt)
    return true;
  return SpinAcceptsCharacter(typed, decimalSeparator);
}

int TimerIntervalMs(int minutes, int baseMs) {
  const std::int64_t interval = std::int64_t{minutes} * baseMs;
  if (interval < 1)
    return 0;
  return static_cast<int>(std::min<std::int64_t>(interval, std::numeric_limits<int>::max()));
}

}  // namespace quellar
