#include "common/cp1251.h"

#include <QStringDecoder>
#include <array>
#include <cstdint>
#include <stdexcept>
#include <unordered_map>

namespace quellar {
namespace {

struct Cp1251Tables {
  std::array<char16_t, 256> toUnicode{};
  std::unordered_map<char16_t, char> fromUnicode;

  Cp1251Tables() {
    QStringDecoder decoder("windows-1251");
    if (!decoder.isValid())
      throw std::runtime_error("Qt has no windows-1251 codec");
    for (int byte = 0; byte < 256; ++byte) {
      const char c = static_cast<char>(byte);
      const QString decoded = decoder.decode(QByteArrayView(&c, 1));
      toUnicode[static_cast<std::size_t>(byte)] =
          decoded.size() == 1 ? decoded.front().unicode() : u'?';
      fromUnicode.emplace(toUnicode[static_cast<std::size_t>(byte)], c);
    }
  }
};

const Cp1251Tables& Tables() {
  static const Cp1251Tables tables;
  return tables;
}

}  // namespace

QString FromCp1251(std::string_view bytes) {
  const auto& table = Tables().toUnicode;
  QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  QChar* out = text.data();
  for (char c : bytes)
    *out++ = QChar(table[static_cast<std::uint8_t>(c)]);
  return text;
}

std::string ToCp1251(QStringView text) {
  const auto& table = Tables().fromUnicode;
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(text.size()));
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i].unicode();
    if (QChar::isHighSurrogate(unit) && i + 1 < text.size() &&
        QChar::isLowSurrogate(text[i + 1].unicode())) {
      ++i;  // one character outside the basic plane, one "?"
      bytes.push_back('?');
      continue;
    }
    const auto found = table.find(unit);
    bytes.push_back(found != table.end() ? found->second : '?');
  }
  return bytes;
}

}  // namespace quellar
