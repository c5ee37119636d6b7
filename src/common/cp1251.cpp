#include "common/cp1251.h"

#include <array>
#include <cstdint>
#include <unordered_map>

namespace quellar {
namespace {

// The upper half of code page 1251 as Windows maps it (bytes below 0x80 are
// ASCII). A fixed table rather than a platform codec: Qt without ICU, as it is
// built for Windows, has no "windows-1251" converter, and the platforms' own
// tables agree with this one byte for byte (0x98, which the code page leaves
// unassigned, passes through as U+0098 on both), so every platform converts
// exactly alike and the Linux tests check what the Windows build does.
constexpr std::array<char16_t, 128> kUpperHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // C0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // C8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // D0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // D8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // E0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // E8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // F0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // F8
};

constexpr char16_t ToUnicode(std::uint8_t byte) {
  return byte < 0x80 ? char16_t{byte} : kUpperHalf[byte - 0x80u];
}

const std::unordered_map<char16_t, char>& FromUnicode() {
  static const auto table = [] {
    std::unordered_map<char16_t, char> map;
    for (int byte = 0; byte < 256; ++byte)
      map.emplace(ToUnicode(static_cast<std::uint8_t>(byte)), static_cast<char>(byte));
    return map;
  }();
  return table;
}

}  // namespace

QString FromCp1251(std::string_view bytes) {
  QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  QChar* out = text.data();
  for (char c : bytes)
    *out++ = QChar(ToUnicode(static_cast<std::uint8_t>(c)));
  return text;
}

std::string ToCp1251(QStringView text) {
  const auto& table = FromUnicode();
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
